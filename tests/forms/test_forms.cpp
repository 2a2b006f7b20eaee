// The splash panel, the About window and the pictures they carry.
#include "forms/fAbout.h"
#include "forms/fPictures.h"
#include "forms/fSplash.h"

#include <QAction>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
bool isDark(QRgb pixel) { return qAlpha(pixel) > 200 && qGray(pixel) < 60; }

bool isWhite(QRgb pixel) { return qAlpha(pixel) > 200 && qGray(pixel) > 240; }

// Share of the opaque pixels in area that pass test.
double shareOf(const QImage &image, const QRect &area, bool (*test)(QRgb))
{
    int opaque = 0;
    int passed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > 200) {
                ++opaque;
                passed += test(pixel) ? 1 : 0;
            }
        }
    return opaque == 0 ? 0.0 : double(passed) / opaque;
}

// The label's rectangle inside its window.
QRect placed(const QWidget *w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Receives the URLs the About window asks the system to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};
} // namespace

TEST(Pictures, SheepIsWhiteWithItsBlackHeadToTheRightOnTransparency)
{
    for (const QPixmap &pixmap : {ProductPicture(), ProductIcon()}) {
        const QImage image = pixmap.toImage();
        const int w = image.width();
        const int h = image.height();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(w - 1, h - 1)), 0);
        EXPECT_GT(shareOf(image, QRect(0, 0, w * 6 / 10, h), isWhite), 0.6) << w;     // fleece
        EXPECT_GT(shareOf(image, QRect(w * 8 / 10, 0, w / 10, h), isDark), 0.1) << w; // head, right
        EXPECT_EQ(shareOf(image, QRect(0, 0, w * 6 / 10, h), isDark), 0.0) << w;      // nothing dark left
    }
    EXPECT_EQ(ProductPicture().size(), QSize(150, 108));
    EXPECT_EQ(ProductIcon().size(), QSize(35, 35));
    EXPECT_EQ(MakerLogo().size(), QSize(21, 15));
    EXPECT_TRUE(ProductWindowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST(Splash, LayoutAndTexts)
{
    TfrmSplash splash;
    EXPECT_EQ(splash.size(), QSize(398, 108));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(splash.Pn->geometry(), splash.rect());
    EXPECT_EQ(splash.Pn->lineWidth(), 1);

    EXPECT_EQ(splash.LText->text(), QStringLiteral("Grazlo"));
    EXPECT_EQ(splash.LText->font().pixelSize(), 25);
    EXPECT_EQ(splash.Label4->text(), QStringLiteral("Software zum spielerischen Lernen"));
    EXPECT_EQ(splash.Label4->font().pixelSize(), 11);
    EXPECT_EQ(splash.LSearch->text(), QStringLiteral("...suche nach Updates"));
    EXPECT_EQ(splash.LSearch->font().pixelSize(), 13);
    EXPECT_EQ(placed(splash.Image1), QRect(0, 0, 150, 108));
    // The three texts stand right of the picture, one below the other.
    for (const QLabel *label : {splash.LText, splash.Label4, splash.LSearch})
        EXPECT_GT(placed(label).left(), placed(splash.Image1).right()) << label->text().toStdString();
    EXPECT_LT(placed(splash.LText).bottom(), placed(splash.Label4).bottom());
    EXPECT_LT(placed(splash.Label4).bottom(), placed(splash.LSearch).bottom());
}

TEST(Splash, MakerLineSitsInTheBottomRightCornerInsideTheWindow)
{
    TfrmSplash splash;
    TfrmAbout about(QStringLiteral("2.0"), QStringLiteral("http://h/"));
    for (QWidget *window : {static_cast<QWidget *>(&splash), static_cast<QWidget *>(&about)}) {
        QLabel *label = window == &splash ? splash.Label1 : about.Label1;
        QLabel *logo = window == &splash ? splash.Image2 : about.Image2;
        const QRect text = placed(label);
        const QRect image = placed(logo);
        EXPECT_EQ(label->text(), QStringLiteral("by Brimvale"));
        EXPECT_EQ(image.size(), QSize(21, 15));
        EXPECT_TRUE(window->rect().contains(text));
        EXPECT_TRUE(window->rect().contains(image));
        EXPECT_LE(text.right(), image.left()); // left of the logo
        EXPECT_GT(image.right(), window->width() - 10);
        EXPECT_GT(image.bottom(), window->height() - 10);
    }
}

TEST(Splash, SearchLabelFollowsItsVisibilityAndLongTextsFit)
{
    TfrmSplash splash;
    splash.show();
    splash.LSearch->setVisible(false);
    EXPECT_FALSE(splash.LSearch->isVisible());
    splash.LSearch->setVisible(true);
    EXPECT_TRUE(splash.LSearch->isVisible());
    // The slogan must not run into the maker's line or out of the panel.
    EXPECT_LE(placed(splash.Label4).right(), splash.width());
    EXPECT_FALSE(placed(splash.LSearch).intersects(placed(splash.Label1)));
}

TEST(About, CaptionLayoutAndVersion)
{
    TfrmAbout about(QStringLiteral("2.0"), QStringLiteral("http://update.example/"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("about Grazlo"));
    EXPECT_EQ(about.size(), QSize(377, 130));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(about.LVersion->text(), QStringLiteral("Grazlo v2.0"));
    EXPECT_EQ(placed(about.LVersion).topLeft(), QPoint(56, 16));
    EXPECT_EQ(placed(about.Label4).topLeft(), QPoint(56, 32));
    EXPECT_EQ(about.Label3->text(), QStringLiteral("Updates und Infos unter:"));
    EXPECT_EQ(placed(about.Label3).topLeft(), QPoint(8, 56));
    EXPECT_EQ(placed(about.LinkLabel1).topLeft(), QPoint(8, 81));
    EXPECT_EQ(placed(about.Image1), QRect(8, 8, 35, 35));
    EXPECT_EQ(about.AcClose2->text(), QStringLiteral("AcClose"));
}

TEST(About, LinkShowsAndOpensTheInformationPage)
{
    const QString url = QStringLiteral("http://update.example/info?a=1&b=2");
    TfrmAbout about(QStringLiteral("2.0"), url);
    QTextDocument doc;
    doc.setHtml(about.LinkLabel1->text());
    EXPECT_EQ(doc.toPlainText(), url);

    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    about.LinkLabel1LinkClick(url);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.first(), QUrl(url));
}

TEST(About, EscapeHidesAndTheWindowCanBeShownAgainCentred)
{
    TfrmAbout about(QStringLiteral("2.0"), QStringLiteral("http://h/"));
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QPoint centre = about.screen()->availableGeometry().center();
    EXPECT_LE((about.frameGeometry().center() - centre).manhattanLength(), 2);

    about.activateWindow();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());

    about.move(10, 10); // moved by the user: a second showing keeps the place
    about.show();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.pos(), QPoint(10, 10));
}

#include "test_forms.moc"
#include "tests/support/Printers.h"
