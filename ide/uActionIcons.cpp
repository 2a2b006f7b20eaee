#include "ide/uActionIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
// Draws on a 16 x 16 grid; disabled drawings use greys of the same lightness.
class TIconPainter
{
public:
    TIconPainter(QPainter &p, bool disabled) : p(p), disabled(disabled) {}

    QColor c(QColor color) const
    {
        if (!disabled)
            return color;
        const int grey = 150 + qGray(color.rgb()) * 90 / 255;
        return QColor(grey, grey, grey, color.alpha());
    }
    void fillOutline(const QPainterPath &path, QColor fill, QColor outline = QColor(40, 40, 40))
    {
        p.setPen(QPen(c(outline), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(c(fill));
        p.drawPath(path);
    }
    void line(QPointF a, QPointF b, QColor color, qreal width = 1.6)
    {
        p.setPen(QPen(c(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(a, b);
    }
    void polyline(std::initializer_list<QPointF> points, QColor color, qreal width = 1.6)
    {
        p.setPen(QPen(c(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QList<QPointF>(points));
    }
    void text(const QRectF &r, const QString &t, QColor color, int pixelSize, bool bold = true)
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(pixelSize);
        f.setBold(bold);
        p.setFont(f);
        p.setPen(c(color));
        p.drawText(r, Qt::AlignCenter, t);
    }

    QPainter &p;
    bool disabled;
};

const QColor Green(46, 160, 67);
const QColor Red(214, 48, 49);
const QColor Blue(41, 98, 200);
const QColor Yellow(245, 196, 48);
const QColor Paper(250, 250, 250);
const QColor Ink(40, 40, 40);

QPainterPath rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 1)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath ellipse(QPointF centre, qreal r)
{
    QPainterPath path;
    path.addEllipse(centre, r, r);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void page(TIconPainter &ip, qreal x = 3.5, qreal y = 1.5)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + 6.5, y);
    path.lineTo(x + 9, y + 2.5);
    path.lineTo(x + 9, y + 13);
    path.lineTo(x, y + 13);
    path.closeSubpath();
    ip.fillOutline(path, Paper);
}

void disk(TIconPainter &ip)
{
    ip.fillOutline(rect(1.5, 1.5, 13, 13, 1.5), Blue);
    ip.fillOutline(rect(4.5, 1.5, 7, 4.5, 0), Paper);
    ip.fillOutline(rect(3.5, 9, 9, 5.5, 0), QColor(220, 220, 220));
}

void magnifier(TIconPainter &ip, QPointF centre = {6.5, 6.5})
{
    ip.line(centre + QPointF(3, 3), centre + QPointF(7.5, 7.5), QColor(120, 80, 40), 2.6);
    ip.fillOutline(ellipse(centre, 4.5), QColor(200, 230, 255));
}

void arrow(TIconPainter &ip, bool right, QColor color)
{
    if (right)
        ip.fillOutline(polygon({{8, 9}, {12, 12.5}, {8, 16}}), color);
    else
        ip.fillOutline(polygon({{12, 9}, {8, 12.5}, {12, 16}}), color);
}

void breakpointDisc(TIconPainter &ip, bool add)
{
    ip.fillOutline(ellipse({7, 7}, 5.5), Red);
    const QColor sign = add ? Green : Ink;
    ip.line({10, 12.5}, {15, 12.5}, sign, 2.2);
    if (add)
        ip.line({12.5, 10}, {12.5, 15}, sign, 2.2);
}

void draw(TActionIcon which, TIconPainter &ip)
{
    switch (which) {
    case TActionIcon::Close:
        ip.fillOutline(rect(2.5, 1.5, 8, 13, 0), QColor(170, 120, 70));
        ip.fillOutline(polygon({{10.5, 8}, {15, 8}, {15, 6}, {15, 10}, {15, 8}}), Red);
        ip.line({9, 8}, {15, 8}, Red, 2);
        ip.polyline({{12.5, 5.5}, {15, 8}, {12.5, 10.5}}, Red, 2);
        break;
    case TActionIcon::New:
        page(ip);
        ip.fillOutline(ellipse({12.5, 3.5}, 2.5), Yellow);
        break;
    case TActionIcon::Load:
        ip.fillOutline(polygon({{1.5, 4}, {6, 4}, {7.5, 5.5}, {13.5, 5.5}, {13.5, 13.5}, {1.5, 13.5}}), Yellow);
        ip.fillOutline(polygon({{3.5, 8}, {15.5, 8}, {13.5, 13.5}, {1.5, 13.5}}), QColor(250, 215, 100));
        break;
    case TActionIcon::Save:
        disk(ip);
        break;
    case TActionIcon::SaveAs:
        disk(ip);
        ip.line({9, 15}, {15, 9}, Ink, 2.2);
        ip.line({14, 8}, {16, 10}, Red, 2.2);
        break;
    case TActionIcon::Find:
        magnifier(ip);
        break;
    case TActionIcon::FindReplace:
        page(ip, 1.5, 1.5);
        ip.line({3.5, 5}, {8.5, 5}, Ink, 1);
        ip.line({3.5, 8}, {8.5, 8}, Ink, 1);
        magnifier(ip, {10.5, 9.5});
        break;
    case TActionIcon::FindPrev:
        magnifier(ip, {9.5, 5.5});
        arrow(ip, false, Green);
        break;
    case TActionIcon::FindNext:
        magnifier(ip, {6.5, 5.5});
        arrow(ip, true, Green);
        break;
    case TActionIcon::FontPlus:
        ip.text(QRectF(0, 0, 11, 16), QStringLiteral("A"), Ink, 14);
        ip.line({10, 5}, {15, 5}, Green, 2);
        ip.line({12.5, 2.5}, {12.5, 7.5}, Green, 2);
        break;
    case TActionIcon::FontMinus:
        ip.text(QRectF(0, 2, 11, 14), QStringLiteral("A"), Ink, 11);
        ip.line({10, 5}, {15, 5}, Red, 2);
        break;
    case TActionIcon::AddBreak:
        breakpointDisc(ip, true);
        break;
    case TActionIcon::RemoveBreak:
        breakpointDisc(ip, false);
        break;
    case TActionIcon::Start:
        ip.fillOutline(polygon({{3.5, 1.5}, {14, 8}, {3.5, 14.5}}), Green);
        break;
    case TActionIcon::Stop:
        ip.fillOutline(rect(2.5, 2.5, 11, 11, 1.5), Red);
        break;
    case TActionIcon::Pause:
        ip.fillOutline(rect(3, 2.5, 3.5, 11, 0.5), Blue);
        ip.fillOutline(rect(9.5, 2.5, 3.5, 11, 0.5), Blue);
        break;
    case TActionIcon::Step:
        ip.fillOutline(polygon({{2.5, 2.5}, {10, 8}, {2.5, 13.5}}), Green);
        ip.fillOutline(rect(11, 2.5, 3, 11, 0.5), Blue);
        break;
    case TActionIcon::StepBack:
        ip.fillOutline(polygon({{13.5, 2.5}, {6, 8}, {13.5, 13.5}}), Green);
        ip.fillOutline(rect(2, 2.5, 3, 11, 0.5), Blue);
        break;
    case TActionIcon::RunBack:
        ip.fillOutline(polygon({{14.5, 2.5}, {7, 8}, {14.5, 13.5}}), Green);
        ip.fillOutline(ellipse({4.5, 8}, 3.5), Red);
        break;
    case TActionIcon::Parse:
        page(ip, 1.5, 1.5);
        ip.polyline({{6, 9.5}, {9, 13}, {15, 5}}, Green, 2.6);
        break;
    case TActionIcon::Help:
        ip.fillOutline(ellipse({8, 8}, 6.5), Blue);
        ip.text(QRectF(0, 0, 16, 16), QStringLiteral("?"), Paper, 11);
        break;
    case TActionIcon::About:
        ip.fillOutline(ellipse({8, 8}, 6.5), Green);
        ip.text(QRectF(0, 0, 16, 16), QStringLiteral("i"), Paper, 11);
        break;
    case TActionIcon::EditorOptions:
        page(ip, 1.5, 1.5);
        ip.fillOutline(ellipse({11.5, 11.5}, 3.5), QColor(160, 160, 160));
        ip.fillOutline(ellipse({11.5, 11.5}, 1.2), Paper);
        break;
    case TActionIcon::DebugCode:
        ip.fillOutline(ellipse({8, 9}, 5), QColor(120, 80, 40));
        ip.line({8, 4}, {8, 14}, Ink, 1);
        ip.line({2, 6}, {5, 8}, Ink, 1.2);
        ip.line({14, 6}, {11, 8}, Ink, 1.2);
        break;
    case TActionIcon::DelayMax:
        ip.fillOutline(ellipse({8, 8}, 6.5), Paper);
        ip.line({8, 8}, {8, 3.5}, Ink, 1.6);
        ip.line({8, 8}, {11, 9.5}, Ink, 1.6);
        break;
    case TActionIcon::DelayMin:
        ip.fillOutline(polygon({{1.5, 2.5}, {8, 8}, {1.5, 13.5}}), Green);
        ip.fillOutline(polygon({{8, 2.5}, {14.5, 8}, {8, 13.5}}), Green);
        break;
    case TActionIcon::Copy:
        page(ip, 1.5, 1.5);
        page(ip, 5.5, 3.5);
        break;
    case TActionIcon::Paste:
        ip.fillOutline(rect(2.5, 2.5, 10, 12, 1), QColor(170, 120, 70));
        ip.fillOutline(rect(5, 1.5, 5, 3, 0.5), QColor(200, 200, 200));
        page(ip, 6.5, 6.5);
        break;
    case TActionIcon::Cut:
        ip.line({4, 1.5}, {11, 10}, Ink, 1.6);
        ip.line({12, 1.5}, {5, 10}, Ink, 1.6);
        ip.fillOutline(ellipse({4.5, 12}, 2.5), Red);
        ip.fillOutline(ellipse({11.5, 12}, 2.5), Red);
        break;
    case TActionIcon::SelectAll:
        ip.fillOutline(rect(1.5, 1.5, 13, 13, 0), QColor(200, 220, 255), Blue);
        ip.line({4, 5}, {12, 5}, Ink, 1);
        ip.line({4, 8}, {12, 8}, Ink, 1);
        ip.line({4, 11}, {10, 11}, Ink, 1);
        break;
    }
}

QPixmap render(TActionIcon which, int size, bool disabled)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    TIconPainter ip(p, disabled);
    draw(which, ip);
    return pixmap;
}
} // namespace

QIcon ActionIcon(TActionIcon which)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        icon.addPixmap(render(which, size, false), QIcon::Normal);
        icon.addPixmap(render(which, size, true), QIcon::Disabled);
    }
    return icon;
}
