#include "sheep/uTile.h"

#include "base/uIniFile.h"
#include "base/uModalHook.h"
#include "base/uTextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

// ---------------------------------------------------------------- TTile

void TTile::GrowUp()
{
    if (iTileType == ttShortGreen || iTileType == ttMark)
        iTileType = ttGreen;
}

QString TTile::Serialize() const { return QString::number(iTileType); }

void TTile::setSerialize(const QString &text)
{
    bool ok = false;
    const int code = text.toInt(&ok, 10);
    if (ok && code >= 0 && code < TileTypeCount)
        iTileType = static_cast<TTileType>(code);
}

QColor TTile::FillColor(TTileType tt)
{
    switch (tt) {
    case ttDirt:
        return QColor(170, 119, 119);
    case ttShortGreen:
    case ttMark:
        return QColor(68, 221, 68);
    case ttGreen:
    case ttTree:
        break;
    }
    return QColor(17, 170, 17);
}

void TTile::Draw(QPainter &canvas, const QRect &Rect) const
{
    canvas.fillRect(Rect, FillColor(iTileType));
    switch (iTileType) {
    case ttDirt:
        DrawTileImage(canvas, Rect, TileImage(TImageKey::Way));
        break;
    case ttTree:
        DrawTileImage(canvas, Rect, TileImage(TImageKey::Tree));
        break;
    case ttMark:
        DrawTileImage(canvas, Rect, TileImage(TImageKey::Mark));
        break;
    case ttGreen:
    case ttShortGreen:
        break;
    }
}

// ---------------------------------------------------------------- TTileList

void TTileList::setTiles(int Index, const TTile &tile)
{
    TTile &old = iTiles.at(Index);
    --iCounts[old.TileType()];
    old = tile;
    ++iCounts[tile.TileType()];
}

void TTileList::setTileType(int Index, TTileType tt) { setTiles(Index, TTile(tt)); }

void TTileList::SetCount(int Value)
{
    const auto target = static_cast<size_t>(std::max(Value, 0));
    while (iTiles.size() < target)
        Append(TTile());
    while (iTiles.size() > target) {
        --iCounts[iTiles.back().TileType()];
        iTiles.pop_back();
    }
}

void TTileList::Append(const TTile &tile)
{
    iTiles.push_back(tile);
    ++iCounts[tile.TileType()];
}

void TTileList::Clear()
{
    iTiles.clear();
    iCounts.fill(0);
}

void TTileList::Init()
{
    for (TTile &tile : iTiles)
        tile.Init();
    iCounts.fill(0);
    iCounts[ttGreen] = Count();
}

void TTileList::GrowUp()
{
    for (TTile &tile : iTiles)
        tile.GrowUp();
    iCounts[ttGreen] += iCounts[ttShortGreen] + iCounts[ttMark];
    iCounts[ttShortGreen] = 0;
    iCounts[ttMark] = 0;
}

QString TTileList::Serialize() const
{
    QStringList codes;
    codes.reserve(Count());
    for (const TTile &tile : iTiles)
        codes.append(tile.Serialize());
    return WriteCommaText(codes);
}

void TTileList::setSerialize(const QString &text) { ReadRow(text, -1); }

void TTileList::ReadRow(const QString &text, int maxTiles)
{
    Clear();
    ForEachCommaItem(text, [this, maxTiles](const QString &item) {
        if (maxTiles >= 0 && Count() >= maxTiles)
            return false;
        TTile tile;
        tile.setSerialize(item);
        Append(tile);
        return true;
    });
}

// ---------------------------------------------------------------- TField

bool TField::Valid(int ACol, int ARow) const
{
    return ACol >= 0 && ACol < ColCount() && ARow >= 0 && ARow < RowCount();
}

int TField::GetCount(TTileType tt) const
{
    int count = 0;
    for (const TTileList &row : iRows)
        count += row.GetCount(tt);
    return count;
}

void TField::SetSize(int Cols, int Rows)
{
    iRows.resize(static_cast<size_t>(std::max(Rows, 0)));
    for (TTileList &row : iRows)
        row.SetCount(Cols);
}

void TField::Init()
{
    for (TTileList &row : iRows)
        row.Init();
}

void TField::GrowUp()
{
    for (TTileList &row : iRows)
        row.GrowUp();
}

void TField::Load(const QStringList &sl)
{
    iRows.clear();
    iRows.resize(sl.size());
    // Rows below the first are cut to its width anyway, so they are read
    // only that far.
    for (qsizetype i = 0; i < sl.size(); ++i)
        iRows[i].ReadRow(sl[i], i == 0 ? -1 : ColCount());
    SetSize(ColCount(), RowCount());
}

namespace {

int countItemsUpTo(const QString &text, int limit)
{
    int count = 0;
    ForEachCommaItem(text, [&count, limit](const QString &) { return ++count <= limit; });
    return count;
}

} // namespace

bool TField::Load(const QString &FileName, QString &error)
{
    TTextLines text;
    if (!ReadTextFile(FileName, text, error, MaxFileBytes))
        return false;
    const QStringList lines = text.ListLines();
    if (lines.size() > MaxSize || (!lines.isEmpty() && countItemsUpTo(lines.front(), MaxSize) > MaxSize)) {
        error = QStringLiteral("Der Rasen in \"%1\" ist zu groß: erlaubt sind höchstens %2 × %2 Felder.")
                    .arg(FileName)
                    .arg(MaxSize);
        return false;
    }
    Load(lines);
    return true;
}

bool TField::Store(const QString &FileName, QString &error)
{
    QStringList lines;
    lines.reserve(RowCount() + 1);
    for (TTileList &row : iRows) {
        row.GrowUp();
        lines.append(row.Serialize());
    }
    lines.append(QString()); // every line, the last one too, ends with CR LF
    TTextFormat format{TTextEncoding::Windows1252, TLineBreak::CrLf};
    return WriteTextFile(FileName, lines, format, error);
}

// ---------------------------------------------------------------- levels

QString LevelLayout(int level)
{
    static const char *const layouts[] = {
        // 2: a field with a strip of grass in the middle
        R"("0,0,0,0,0,0,0,0,0,0","0,0,0,0,0,0,0,0,0,0","0,0,0,0,0,0,0,0,0,0","0,0,0,0,0,0,0,0,0,0",)"
        R"("0,0,1,1,1,1,1,1,0,0","0,0,1,1,1,1,1,1,0,0","0,0,0,0,0,0,0,0,0,0","0,0,0,0,0,0,0,0,0,0",)"
        R"("0,0,0,0,0,0,0,0,0,0","0,0,0,0,0,0,0,0,0,0")",
        // 3: one tree in a meadow
        R"("1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1",)"
        R"("1,1,1,1,3,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1",)"
        R"("1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1")",
        // 4: a ring of trees around a path
        R"("1,1,1,1,1,1,1,1,1,1","1,1,3,3,3,3,3,3,1,1","1,1,3,1,1,1,1,3,1,1","1,1,3,0,0,0,0,3,1,1",)"
        R"("1,1,1,0,0,0,0,1,1,1","1,1,3,0,0,0,0,3,1,1","1,1,3,1,1,1,1,3,1,1","1,1,3,3,3,3,3,3,1,1",)"
        R"("1,1,1,1,1,1,1,1,1,1","1,1,1,1,1,1,1,1,1,1")",
        // 5: paths and scattered trees
        R"("0,0,0,0,0,1,1,1,1,1","1,1,1,1,0,0,1,3,1,1","1,1,3,1,1,0,1,1,3,1","1,1,1,1,1,0,1,1,1,1",)"
        R"("1,3,3,0,0,0,0,0,0,0","1,3,1,0,1,1,3,1,1,1","1,1,1,0,1,1,1,1,1,1","1,0,0,0,3,1,1,1,1,3",)"
        R"("1,0,1,1,1,1,1,1,3,3","1,0,1,1,1,1,1,3,3,3")",
        // 6: a forest
        R"("1,1,3,0,0,0,0,0,0,1","1,1,3,0,0,0,3,3,0,0","1,1,3,3,3,3,3,3,3,0","1,1,1,3,0,0,0,0,3,0",)"
        R"("0,0,0,0,0,3,3,0,3,0","1,1,1,3,3,3,3,0,3,0","1,1,1,1,3,3,3,0,3,0","1,1,1,1,1,3,3,0,3,0",)"
        R"("1,1,1,1,1,1,3,0,3,0","1,1,1,1,1,1,3,0,0,0")",
    };
    if (level < 2 || level > 6)
        return {};
    return QString::fromLatin1(layouts[level - 2]);
}

bool ApplyLevel(TField &field, int level)
{
    if (level == 1) {
        field.Init();
        field.SetSize(DefaultLawnSize, DefaultLawnSize);
        return true;
    }
    const QString layout = LevelLayout(level);
    if (layout.isEmpty())
        return false;
    field.Load(ReadCommaText(layout));
    return true;
}

// ---------------------------------------------------------------- pictures

namespace {

struct TImageEntry
{
    const char *key;
    const char *fileName;
    QRgb transparentColor;
    bool transparent;
};

constexpr std::array<TImageEntry, ImageCount> kImageEntries = {{
    {"SheepNorth", "schaf_north.bmp", qRgb(0, 0, 255), true},
    {"SheepEast", "schaf_east.bmp", qRgb(0, 0, 255), true},
    {"SheepSouth", "schaf_south.bmp", qRgb(0, 0, 255), true},
    {"SheepWest", "schaf_west.bmp", qRgb(0, 0, 255), true},
    {"Tree", "baum.bmp", qRgb(0, 0, 255), true},
    {"Way", "weg.bmp", qRgb(0, 0, 255), false},
    {"Mark", "mark.bmp", qRgb(68, 221, 68), false},
}};

std::array<QImage, ImageCount> &images()
{
    static std::array<QImage, ImageCount> loaded;
    return loaded;
}

// Pixels of exactly the transparent colour become fully transparent.
QImage withTransparency(const QImage &bitmap, const TImageEntry &entry)
{
    if (!entry.transparent)
        return bitmap.convertToFormat(QImage::Format_RGB32);
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & RGB_MASK) == (entry.transparentColor & RGB_MASK))
                line[x] = 0;
    }
    return image;
}

QStringList imagePaths(const QString &settingsDir, const QString &defaultFolder)
{
    // A missing settings file reads as empty, so every key keeps its default.
    const TIniFile settings(QDir(settingsDir).filePath(QStringLiteral("grazlo.ini")));
    const QString section = QStringLiteral("ressources");

    QString folder = settings.ReadString(section, QStringLiteral("path"), defaultFolder);
    if (!folder.endsWith(u'/') && !folder.endsWith(QDir::separator()))
        folder += u'/';
    QStringList paths;
    for (const TImageEntry &entry : kImageEntries) {
        const QString key = QString::fromLatin1(entry.key);
        paths.append(folder + settings.ReadString(section, key, QString::fromLatin1(entry.fileName)));
    }
    return paths;
}

} // namespace

bool LoadTileImages(const QString &settingsDir, const QString &defaultFolder)
{
    auto &loaded = images();
    loaded.fill(QImage());
    const QStringList paths = imagePaths(settingsDir, defaultFolder);
    const bool allThere =
        std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QFileInfo(p).isFile(); });
    std::array<QImage, ImageCount> decoded;
    bool ok = allThere;
    for (size_t i = 0; ok && i < kImageEntries.size(); ++i) {
        QImage bitmap(paths[i], "BMP");
        ok = !bitmap.isNull();
        decoded[i] = withTransparency(bitmap, kImageEntries[i]);
    }
    if (!ok) {
        ShowModal(QStringLiteral("Fehler: Fehlende Dateien!"), TModalKind::Warning);
        return false;
    }
    loaded = decoded;
    return true;
}

const QImage &TileImage(TImageKey key) { return images()[static_cast<size_t>(key)]; }

const QImage &SheepImage(TDirection dir) { return images()[static_cast<size_t>(dir) % 4]; }

void DrawTileImage(QPainter &canvas, const QRect &rect, const QImage &image)
{
    if (image.isNull())
        return;
    const bool smooth = canvas.testRenderHint(QPainter::SmoothPixmapTransform);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(rect, image);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
