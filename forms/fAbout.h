#pragma once
// The About window: product icon, name and version, slogan, the address of
// the product's information page and the maker. Esc hides it.
#include <QWidget>

class QAction;
class QLabel;

class TfrmAbout : public QWidget
{
    Q_OBJECT
public:
    // version is appended to the caption "Grazlo v"; infoUrl is the link's
    // text and target.
    TfrmAbout(const QString &version, const QString &infoUrl, QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *LVersion = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *LinkLabel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Image2 = nullptr;
    QAction *AcClose2 = nullptr;

    // Opens the link target with the system's default handler.
    void LinkLabel1LinkClick(const QString &link);
    void AcClose2Execute();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate(const QString &version);

    QString iInfoUrl;
    bool iPlaced = false;
};
