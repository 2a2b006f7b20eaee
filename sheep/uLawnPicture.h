#pragma once
// The lawn as a picture for those who were not watching: the tiles as the IDE
// paints them, the way the sheep went drawn over them, the sheep on top.
#include "sheep/uSandboxSheep.h"

#include <QImage>
#include <QList>
#include <QPoint>

// The cells the sheep entered, in order. Long runs keep only the beginning,
// so an endless walk cannot fill the memory.
class TSheepPath
{
public:
    static constexpr int MaxCells = 10000;

    // Notes the sheep's cell when it differs from the last one noted.
    void Follow(const TSheep &sheep);
    const QList<QPoint> &Cells() const { return iCells; }
    bool Truncated() const { return iTruncated; }

private:
    QList<QPoint> iCells;
    bool iTruncated = false;
};

// Loads the tile pictures as the IDE does, from the running form's settings
// and data folder, so that a headless tool finds them from any working folder.
bool LoadRuntimeTileImages();

// Cell edge in pixels for a lawn of this size: the pictures' own 30 pixels,
// smaller for large lawns so the picture stays at most about 2000 pixels wide.
int LawnPictureCellSize(int cols, int rows);

QImage DrawLawnPicture(const TField &field, const TSheep &sheep, const QList<QPoint> &path);

// The picture as PNG bytes; empty when it cannot be encoded.
QByteArray PngBytes(const QImage &picture);

// Writes the picture as PNG through a temporary file that replaces `path`
// only when complete; false with a German message otherwise.
bool SaveLawnPicture(const QString &path, const QImage &picture, QString &error);
