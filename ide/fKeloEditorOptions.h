#pragma once
// The editor options window: one check box per behaviour option of the source
// editor, "Standard wiederherstellen", and OK to apply the choice and store it
// in section "editor" of the settings file. Closing only hides it.
#include "editor/MemoCode.h"

#include <QMap>
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;

struct TOptionInfo
{
    const char *ident;   // settings key: the option's name without its prefix
    const char *caption; // the check box's German text
};

// One entry per option, in bit order.
extern const TOptionInfo EditorOptionInfos[SynEditorOptionCount];

class TfrmKeloEditorOptions : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmKeloEditorOptions(QWidget *parent = nullptr);

    TMemoCode *Editor() const { return iEditor; }
    // Stores the editor and shows its current options.
    void setEditor(TMemoCode *editor);
    // Ticks exactly the boxes of the options in the set; the editor is untouched.
    void Load(TSynEditorOptions options);

    void BtOkClick();
    void BtDefaultClick();
    void BtCancelClick();
    void LinkLabelAbout1LinkClick(const QString &link);

    QCheckBox *OptionBox(TSynEditorOption option) const { return Options.value(option); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    QWidget *createOptionsPage();
    QWidget *createHotkeysPage();
    QWidget *createAboutPage();
    QWidget *bottomPanel(const QString &name, QList<QPushButton *> leftButtons, QList<QPushButton *> rightButtons);
    QPushButton *button(const QString &name, const QString &caption, void (TfrmKeloEditorOptions::*handler)());
    void writeSettings(TSynEditorOptions options);

    TMemoCode *iEditor = nullptr;
    QMap<TSynEditorOption, QCheckBox *> Options;
    bool iPlaced = false;

    QTabWidget *pctrl = nullptr;
    QWidget *tsOptions = nullptr;
    QWidget *tsHotkeys = nullptr;
    QWidget *tsAboutSynedit = nullptr;
    QScrollArea *ScrollBoxOptions = nullptr;
    QPushButton *BtDefault = nullptr;
    QPushButton *BtCancel = nullptr;
    QPushButton *BtOk = nullptr;
    QLabel *LKeysTodo = nullptr;
    QPushButton *BtOkKeys = nullptr;
    QPlainTextEdit *Memo = nullptr;
    QLabel *LinkLabelAbout1 = nullptr;
    QLabel *LinkLabelAbout2 = nullptr;
    QPushButton *BtOkAbout = nullptr;
    QAction *AcClose2 = nullptr;
};
