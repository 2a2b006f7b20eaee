#include "sheep/uLawnPicture.h"

#include "base/uFileBytes.h"
#include "base/uRuntimeFolders.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

void TSheepPath::Follow(const TSheep &sheep)
{
    if (sheep.Pos.x() < 0 || (!iCells.isEmpty() && iCells.back() == sheep.Pos))
        return;
    if (iCells.size() >= MaxCells) {
        iTruncated = true;
        return;
    }
    iCells.append(sheep.Pos);
}

bool LoadRuntimeTileImages()
{
    const TRuntimeFolders &folders = RuntimeFolders();
    return LoadTileImages(QFileInfo(folders.SettingsFile).path(), folders.DataFolder);
}

int LawnPictureCellSize(int cols, int rows)
{
    const int largest = std::max({cols, rows, 1});
    return std::clamp(2000 / largest, 1, 30);
}

namespace {

QPointF cellCentre(const QPoint &cell, int size) { return QPointF((cell.x() + 0.5) * size, (cell.y() + 0.5) * size); }

// A bright line with a dark edge reads on grass, dirt and trees alike.
void drawPath(QPainter &canvas, const QList<QPoint> &path, int size)
{
    if (path.isEmpty())
        return;
    QPainterPath line(cellCentre(path.front(), size));
    for (const QPoint &cell : path)
        line.lineTo(cellCentre(cell, size));
    const qreal width = std::max(1.0, size / 6.0);
    canvas.setRenderHint(QPainter::Antialiasing, true);
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(QPen(QColor(60, 20, 0, 160), width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    canvas.drawPath(line);
    canvas.setPen(QPen(QColor(255, 200, 0, 220), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    canvas.drawPath(line);
    canvas.setBrush(QColor(255, 255, 255));
    canvas.drawEllipse(cellCentre(path.front(), size), width * 1.2, width * 1.2);
    canvas.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage DrawLawnPicture(const TField &field, const TSheep &sheep, const QList<QPoint> &path)
{
    const int size = LawnPictureCellSize(field.ColCount(), field.RowCount());
    QImage picture(std::max(1, field.ColCount() * size), std::max(1, field.RowCount() * size), QImage::Format_RGB32);
    picture.fill(QColor(255, 255, 255));
    QPainter canvas(&picture);
    for (int row = 0; row < field.RowCount(); ++row)
        for (int col = 0; col < field.ColCount(); ++col)
            field.Cell(col, row).Draw(canvas, QRect(col * size, row * size, size, size));
    drawPath(canvas, path, size);
    if (field.Valid(sheep.Pos.x(), sheep.Pos.y()))
        DrawTileImage(canvas, QRect(sheep.Pos.x() * size, sheep.Pos.y() * size, size, size), SheepImage(sheep.Dir));
    return picture;
}

QByteArray PngBytes(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        return {};
    return png;
}

bool SaveLawnPicture(const QString &path, const QImage &picture, QString &error)
{
    const QByteArray png = PngBytes(picture);
    if (png.isEmpty()) {
        error = QStringLiteral("Das Bild für \"%1\" kann nicht erzeugt werden.").arg(path);
        return false;
    }
    const TWriteResult written = WriteFileBytes(path, png);
    if (!written)
        error = WriteFailureText(path, written);
    return bool(written);
}
