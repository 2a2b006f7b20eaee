#include "ide/uGutterImages.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor Blue(0, 64, 224);
const QColor Red(220, 30, 30);

QImage blankImage()
{
    QImage img(11, 14, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void drawDisc(QPainter &p, const QColor &color)
{
    p.setPen(QPen(color.darker(140), 1));
    p.setBrush(color);
    p.drawEllipse(QRectF(0.5, 2.5, 10, 10));
}

void drawArrow(QPainter &p, qreal scale)
{
    const QPointF c(5.5, 7.5);
    QPolygonF arrow({{-4.5, -1.8}, {0, -1.8}, {0, -4.5}, {4.5, 0}, {0, 4.5}, {0, 1.8}, {-4.5, 1.8}});
    for (QPointF &pt : arrow)
        pt = c + pt * scale;
    p.setPen(QPen(Blue.darker(150), 0.8));
    p.setBrush(Blue);
    p.drawPolygon(arrow);
}

QImage drawImage(int index)
{
    QImage img = blankImage();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QPointF(5.5, 7.5), 2.2, 2.2);
        break;
    case 1:
        drawArrow(p, 1.0);
        break;
    case 2:
        drawDisc(p, Red);
        drawArrow(p, 0.85);
        break;
    case 3:
        drawDisc(p, Red);
        p.setPen(QPen(QColor(40, 230, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{3, 7.5}, {5, 9.8}, {8.2, 5}}));
        break;
    case 4:
        drawDisc(p, Red);
        p.setPen(QPen(QColor(255, 230, 0), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 5.5), QPointF(7.5, 9.5));
        p.drawLine(QPointF(7.5, 5.5), QPointF(3.5, 9.5));
        break;
    default:
        drawDisc(p, QColor(160, 160, 160));
        break;
    }
    return img;
}
} // namespace

const QList<QImage> &GutterImages()
{
    static const QList<QImage> images = [] {
        QList<QImage> list;
        for (int i = 0; i < 6; ++i)
            list.append(drawImage(i));
        return list;
    }();
    return images;
}
