#include "forms/fAbout.h"

#include "forms/fPictures.h"
#include "forms/fSplash.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QScreen>
#include <QUrl>

namespace {
constexpr int AboutWidth = 377;
constexpr int AboutHeight = 130;
} // namespace

TfrmAbout::TfrmAbout(const QString &version, const QString &infoUrl, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      iInfoUrl(infoUrl)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about Grazlo"));
    setFixedSize(AboutWidth, AboutHeight);
    setFont(FormFont(13));
    PaintWhite(this);

    Image1 = new QLabel(this);
    Image1->setPixmap(ProductIcon());
    Image1->setGeometry(8, 8, 35, 35);
    LVersion = PlacedLabel(this, QStringLiteral("Grazlo v"), 56, 16, 13);
    Label4 = PlacedLabel(this, QStringLiteral("Software zum spielerischen Lernen"), 56, 32, 11);
    Label3 = PlacedLabel(this, QStringLiteral("Updates und Infos unter:"), 8, 56, 13);
    const QString escaped = infoUrl.toHtmlEscaped();
    LinkLabel1 = PlacedLabel(this, QStringLiteral("<a href=\"%1\">%1</a>").arg(escaped), 8, 81, 13);
    LinkLabel1->setTextFormat(Qt::RichText);
    LinkLabel1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    LinkLabel1->adjustSize();
    connect(LinkLabel1, &QLabel::linkActivated, this, &TfrmAbout::LinkLabel1LinkClick);
    PlaceMakerLine(this, Label1, Image2);

    AcClose2 = new QAction(QStringLiteral("AcClose"), this);
    AcClose2->setShortcut(QKeySequence(Qt::Key_Escape));
    AcClose2->setShortcutContext(Qt::WindowShortcut);
    addAction(AcClose2);
    connect(AcClose2, &QAction::triggered, this, &TfrmAbout::AcClose2Execute);

    FormCreate(version);
}

void TfrmAbout::FormCreate(const QString &version)
{
    LVersion->setText(LVersion->text() + version);
    LVersion->adjustSize();
}

void TfrmAbout::LinkLabel1LinkClick(const QString &)
{
    // A system without a handler for the address simply does nothing.
    QDesktopServices::openUrl(QUrl(iInfoUrl));
}

void TfrmAbout::AcClose2Execute() { hide(); }

void TfrmAbout::showEvent(QShowEvent *event)
{
    if (!iPlaced) {
        iPlaced = true;
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}
