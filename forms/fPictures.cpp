#include "forms/fPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {
// The sheep is designed on a 150 × 108 canvas and scaled to fit any size.
constexpr QSizeF SheepCanvas(150, 108);
const QColor WoolEdge(150, 150, 150);
const QColor WoolCurl(205, 205, 205);

// The fleece: a cloud of overlapping bumps around an oval body.
QPainterPath Fleece()
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QPointF centre(64, 54);
    path.addEllipse(centre, 46, 34);
    constexpr int bumps = 16;
    for (int i = 0; i < bumps; ++i) {
        const double angle = 2 * std::numbers::pi * i / bumps;
        const QPointF at(centre.x() + 44 * std::cos(angle), centre.y() + 32 * std::sin(angle));
        const double radius = i % 2 == 0 ? 11.5 : 9.5;
        path.addEllipse(at, radius, radius);
    }
    return path.simplified();
}

void DrawWoolCurls(QPainter &p, double minWidth)
{
    p.setPen(QPen(WoolCurl, std::max(1.6, minWidth), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF curls[] = {{40, 38}, {62, 30}, {84, 40}, {34, 62}, {56, 52}, {78, 62}, {48, 76}, {70, 80}};
    for (const QPointF &c : curls)
        p.drawArc(QRectF(c.x() - 6, c.y() - 5, 12, 10), 20 * 16, 220 * 16);
}

// Head and ears, drawn before the fleece so that they grow out of the wool.
void DrawHead(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(25, 25, 25));
    for (const double side : {-1.0, 1.0}) {
        p.save();
        p.translate(119, 54 + side * 9);
        p.rotate(side * 112);
        p.drawEllipse(QRectF(-2, -4, 17, 8)); // ears point out and a little back
        p.restore();
    }
    QPainterPath head;
    head.moveTo(104, 44);
    head.cubicTo(122, 37, 143, 44, 143, 54);
    head.cubicTo(143, 64, 122, 71, 104, 64);
    head.closeSubpath();
    p.drawPath(head);
    // Eyes at the sides of the head.
    p.setBrush(QColor(225, 225, 225));
    p.drawEllipse(QPointF(129, 47.2), 2.0, 1.4);
    p.drawEllipse(QPointF(129, 60.8), 2.0, 1.4);
}

// scale is device pixels per canvas unit: small pictures get lines of at
// least about one device pixel, so the white fleece keeps its outline.
void DrawSheep(QPainter &p, double scale)
{
    DrawHead(p);
    p.setBrush(Qt::white);
    p.setPen(QPen(WoolEdge, std::max(2.0, 1.1 / scale)));
    p.drawPath(Fleece());
    DrawWoolCurls(p, 0.7 / scale);
}

QPixmap SheepPixmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintProductSheep(p, size);
    return pixmap;
}
} // namespace

void PaintProductSheep(QPainter &p, QSizeF size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(size.width() / SheepCanvas.width(), size.height() / SheepCanvas.height());
    p.translate((size.width() - SheepCanvas.width() * scale) / 2, (size.height() - SheepCanvas.height() * scale) / 2);
    p.scale(scale, scale);
    DrawSheep(p, scale);
    p.restore();
}

QPixmap ProductPicture() { return SheepPixmap(QSize(150, 108)); }

QPixmap ProductIcon() { return SheepPixmap(QSize(35, 35)); }

QPixmap MakerLogo()
{
    QPixmap pixmap(21, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 0.5, 20, 14);
    QPainterPath clip;
    clip.addRoundedRect(frame, 3, 3);
    p.setClipPath(clip);
    p.fillRect(frame, QColor(86, 152, 222));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 64));
    p.drawEllipse(QPointF(15.5, 4.5), 2.5, 2.5);
    QPainterPath vale;
    vale.moveTo(0, 9);
    vale.cubicTo(4, 5, 7, 6, 10.5, 11);
    vale.cubicTo(13, 7, 17, 6, 21, 8);
    vale.lineTo(21, 15);
    vale.lineTo(0, 15);
    vale.closeSubpath();
    p.setBrush(QColor(64, 156, 64));
    p.drawPath(vale);
    p.setClipping(false);
    p.setPen(QPen(QColor(30, 70, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 3, 3);
    return pixmap;
}

QIcon ProductWindowIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(SheepPixmap(QSize(size, size)));
    return icon;
}
