#pragma once
// The lawn: tiles, rows of tiles and the whole field, their comma-text form,
// lawn files, the built-in levels and the tile pictures they are painted with.
//
// Every row keeps a count of its tiles per kind, updated by each operation
// that changes a tile, so the field's counts (and with them the score, which
// the window asks for after every step) cost one addition per row.
#include "base/uCommaText.h"
#include "script/uKeloTypes.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QPainter;
class QRect;

constexpr int TileTypeCount = 5;
// Columns and rows of a new lawn and of level 1.
constexpr int DefaultLawnSize = 10;

class TTile
{
public:
    TTile() { Init(); }
    explicit TTile(TTileType tt) : iTileType(tt) {}

    TTileType TileType() const { return iTileType; }
    void setTileType(TTileType tt) { iTileType = tt; }

    void Init() { iTileType = ttGreen; }
    // Cut grass grows back: cut grass and marks become uncut grass.
    void GrowUp();
    QString Serialize() const;
    // A code 0 to 4 sets the kind; any other text leaves it unchanged.
    void setSerialize(const QString &text);
    // Fills Rect with the kind's colour and stretches its picture over it.
    void Draw(QPainter &canvas, const QRect &Rect) const;

    static QColor FillColor(TTileType tt);

private:
    TTileType iTileType;
};

// One lawn row, left to right.
class TTileList
{
public:
    int Count() const { return static_cast<int>(iTiles.size()); }
    // Index out of range throws std::out_of_range.
    const TTile &Tiles(int Index) const { return iTiles.at(Index); }
    void setTiles(int Index, const TTile &tile);
    void setTileType(int Index, TTileType tt);

    int GetCount(TTileType tt) const { return iCounts[tt]; }
    // Appends uncut grass or removes tiles at the right end; negative acts as 0.
    void SetCount(int Value);
    void Append(const TTile &tile);
    void Clear();
    void Init();
    void GrowUp();
    QString Serialize() const;
    void setSerialize(const QString &text);
    // As setSerialize, but reads at most maxTiles items (-1: all).
    void ReadRow(const QString &text, int maxTiles);

private:
    std::vector<TTile> iTiles;
    std::array<int, TileTypeCount> iCounts{};
};

class TField
{
public:
    // Largest number of columns and of rows a lawn file may have.
    static constexpr int MaxSize = 1000;
    // Larger lawn files are refused before they are read.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

    int ColCount() const { return iRows.empty() ? 0 : iRows.front().Count(); }
    int RowCount() const { return static_cast<int>(iRows.size()); }
    bool Valid(int ACol, int ARow) const;

    // Indices out of range throw std::out_of_range; callers test Valid first.
    const TTile &Cell(int aCol, int aRow) const { return Rows(aRow).Tiles(aCol); }
    void setCell(int aCol, int aRow, const TTile &tile) { Rows(aRow).setTiles(aCol, tile); }
    void setTileType(int aCol, int aRow, TTileType tt) { Rows(aRow).setTileType(aCol, tt); }
    const TTileList &Rows(int Index) const { return iRows.at(Index); }
    TTileList &Rows(int Index) { return iRows.at(Index); }
    void setRows(int Index, const TTileList &row) { iRows.at(Index) = row; }

    int GetCount(TTileType tt) const;
    void SetSize(int Cols, int Rows);
    void Init();
    void GrowUp();

    // Replaces the field from row texts; ragged rows are cut or padded to
    // the first row's width.
    void Load(const QStringList &sl);
    // Reads a lawn file. On failure (unreadable, too large, more than
    // MaxSize columns or rows) returns false with a German message in
    // `error` and leaves the field unchanged.
    bool Load(const QString &FileName, QString &error);
    // Regrows the live field, then writes one row text per line, each ended
    // by CR LF. Returns false with a German message when writing failed.
    bool Store(const QString &FileName, QString &error);

private:
    std::vector<TTileList> iRows;
};

// The stored layout of level 2 to 6 (outer comma text of row texts); empty
// for any other number.
QString LevelLayout(int level);
// Applies level 1 to 6 as the level menu does: level 1 turns the field into
// uncut grass and sizes it 10 x 10, the others load their layout. Other
// numbers change nothing and return false.
bool ApplyLevel(TField &field, int level);

// The seven pictures, in this order; the sheep pictures in heading order.
enum class TImageKey { SheepNorth, SheepEast, SheepSouth, SheepWest, Tree, Way, Mark };
constexpr int ImageCount = 7;

// Reads "grazlo.ini" (section "ressources") from settingsDir and loads the
// seven pictures from the folder named by its key "path", defaultFolder when
// absent. When a file is missing or unreadable, warns "Fehler: Fehlende
// Dateien!" through the modal hook and leaves every picture empty.
bool LoadTileImages(const QString &settingsDir, const QString &defaultFolder = QStringLiteral("."));
// The picture ready to draw: transparent pixels already cleared. Empty when
// not loaded.
const QImage &TileImage(TImageKey key);
const QImage &SheepImage(TDirection dir);
// Stretches a picture over rect without smoothing, so pixel art stays crisp.
void DrawTileImage(QPainter &canvas, const QRect &rect, const QImage &image);
