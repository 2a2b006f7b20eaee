#pragma once
// The application's main window: the generic script IDE with the sheep's
// world in it — the lawn with the sheep, the score, the environment values,
// the six levels, the lawn editor and lawn files.
#include "ide/fKeloIDE.h"
#include "sheep/fLawnPanel.h"

#include <QPointer>

#include <array>
#include <memory>

class QFrame;
class TfrmAbout;
class TfrmSplash;
class QListWidget;
class TSandboxSheep;

class TfrmGrazloIDE : public TfrmKeloIDE
{
    Q_OBJECT
public:
    explicit TfrmGrazloIDE(QWidget *parent = nullptr);
    ~TfrmGrazloIDE() override;

    TKeloSandBox *sandbox() override;
    void ReloadSandBox() override;
    QWidget *getSplash() override;
    QString getUpdateUrl() override;
    QString getVersion() override;
    void ShowAbout() override;

    bool InEdit() const { return PnGrid->InEdit(); }
    void setInEdit(bool value) { PnGrid->setInEdit(value); }
    TSandboxSheep &Sandbox() { return *sb; }

    std::unique_ptr<TSandboxSheep> sb;
    TLawnIcons ilGrazlo;

    QFrame *PnPoints = nullptr;
    QLabel *LPoints = nullptr;
    TLawnPanel *PnGrid = nullptr;
    QWidget *PnSystem = nullptr;
    QListWidget *ListBoxSystem = nullptr;
    QListWidget *LBoxSysVars = nullptr;
    QListWidget *lBoxSysVarNames = nullptr;

    QAction *AcGreenEdit = nullptr;
    std::array<QAction *, 6> AcLv{};
    QMenu *miLevels = nullptr;
    QAction *miEditGreen = nullptr;
    QAction *miLoadGreen = nullptr;

protected:
    void FormCreate() override;
    QWidget *SandboxFocusWidget() override;
    // "Programm beendet. Punkte: 42".
    QString EndOfRunText() override;
    // A lawn file (.glw) goes into the lawn, anything else into the editor.
    void OpenCommandLineFile(const QString &path) override;
    void SandboxRestored() override;

private:
    void createSandbox();
    void createLawnView();
    void createSystemPanel();
    void createLawnMenu();
    void SandboxRefresh();
    // Rebuilds the environment values list from the sandbox.
    void UpdateSysVars();
    void showCell(int col, int row);
    void nameSystemPanel();

    // Cleared when the window they point to is destroyed.
    QPointer<TfrmSplash> splash;
    QPointer<TfrmAbout> about;
};
