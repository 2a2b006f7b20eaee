#include "forms/fSplash.h"

#include "forms/fPictures.h"

#include <QFrame>
#include <QLabel>

namespace {
constexpr int SplashWidth = 398;
constexpr int SplashHeight = 108;
constexpr int MakerMargin = 5;
} // namespace

QFont FormFont(int pixelSize)
{
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    return font;
}

QLabel *PlacedLabel(QWidget *parent, const QString &text, int left, int top, int pixelSize)
{
    auto *label = new QLabel(text, parent);
    label->setFont(FormFont(pixelSize));
    label->adjustSize();
    label->move(left, top);
    return label;
}

void PlaceMakerLine(QWidget *parent, QLabel *&label, QLabel *&image)
{
    image = new QLabel(parent);
    image->setPixmap(MakerLogo());
    image->setFixedSize(21, 15);
    image->move(parent->width() - image->width() - MakerMargin, parent->height() - image->height() - MakerMargin);
    label = new QLabel(QStringLiteral("by Brimvale"), parent);
    label->setFont(FormFont(11));
    label->adjustSize();
    // Bottom-aligned with the logo, a small gap to its left.
    label->move(image->x() - label->width() - 4, image->y() + image->height() - label->height());
}

void PaintWhite(QWidget *widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

TfrmSplash::TfrmSplash(QWidget *parent) : QWidget(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(SplashWidth, SplashHeight);
    setFont(FormFont(16));
    PaintWhite(this);

    Pn = new QFrame(this);
    Pn->setFrameStyle(QFrame::Box | QFrame::Plain);
    Pn->setLineWidth(1);
    Pn->setGeometry(rect());

    Image1 = new QLabel(Pn);
    Image1->setPixmap(ProductPicture());
    Image1->setGeometry(0, 0, 150, SplashHeight);

    LText = PlacedLabel(Pn, QStringLiteral("Grazlo"), 160, 16, 25);
    Label4 = PlacedLabel(Pn, QStringLiteral("Software zum spielerischen Lernen"), 160, 48, 11);
    LSearch = PlacedLabel(Pn, QStringLiteral("...suche nach Updates"), 160, 65, 13);
    PlaceMakerLine(Pn, Label1, Image2);
}
