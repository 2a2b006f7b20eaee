#pragma once
// The lawn view of the sheep window (PnGrid): the lawn grid `dg` with the
// sheep on it and, while editing, the lawn editor tool bar above it: pens,
// "neuer Rasen", the size field and loading and storing of lawn files.
#include "script/uKeloTypes.h"
#include "sheep/uTile.h"

#include <QIcon>
#include <QRegion>
#include <QVector>
#include <QWidget>
#include <functional>

class QAction;
class QActionGroup;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QToolBar;
class QToolButton;
class TLawnGrid;
class TSandboxSheep;

// Icons of the lawn commands, drawn from the tile pictures themselves.
struct TLawnIcons
{
    QIcon level, load, store, edit, newGreen, lawnFile, green, dirt, tree, closeEdit;
    static TLawnIcons Create();
};

class TLawnPanel : public QWidget
{
    Q_OBJECT
public:
    // The largest side the size field accepts from the keyboard.
    static constexpr int MaxTypedSize = 100;

    TLawnPanel(TSandboxSheep &sb, const TLawnIcons &icons, QWidget *parent = nullptr);

    bool InEdit() const { return iEdit; }
    // Entering runs the before-edit hook first (the window stops a running script).
    void setInEdit(bool value);
    void setOnBeforeEdit(std::function<void()> hook) { iOnBeforeEdit = std::move(hook); }

    TTileType TilePen() const { return tilePen; }
    QString GreenLoaded() const { return greenLoaded; }

    // Level 1 to 6 of the "Meisterschaft" menu.
    void Level(int n);
    void LoadLevel(const QString &text);
    void LoadGreen(const QString &FileName);
    void StoreGreen(const QString &FileName);
    // The sandbox's refresh: repaints the cells whose picture changed, at once.
    // Its cost does not grow with the lawn: it looks at the cells the sheep
    // left and entered, and compares the whole lawn only when the amount of
    // uncut grass changed elsewhere (the lawn regrew). Code that changes
    // tiles in any other way calls FollowLawnSize.
    void SandboxRefresh();
    // Makes the grid follow the lawn's size and repaints it.
    void FollowLawnSize();
    // Repaints every cell that changed, after the sandbox's world was put
    // back wholesale.
    void RepaintLawn() { repaintChanges(true); }

    void tbLoadGreenClick();
    void tbStoreGreenClick();
    void ShowButtonPopup(QToolButton *button);

    QToolBar *ToolBarGreen = nullptr;
    TLawnGrid *dg = nullptr;
    QToolButton *tbNewGreen = nullptr;
    QToolButton *tbLoadGreen = nullptr;
    QToolButton *tbStoreGreen = nullptr;
    QToolButton *tbGreen = nullptr;
    QToolButton *tbDirt = nullptr;
    QToolButton *tbTree = nullptr;
    QToolButton *tbToolsHide = nullptr;
    QLabel *LSizecap = nullptr;
    QLineEdit *EdSize = nullptr;
    QMenu *PopupLoadGreen = nullptr;
    QMenu *PopupStoreGreen = nullptr;

    QAction *AcGreenLoad = nullptr;
    QAction *AcGreenStore = nullptr;
    QAction *AcNewGreen = nullptr;
    QAction *AcSetGreen = nullptr;
    QAction *AcSetDirt = nullptr;
    QAction *AcSetTree = nullptr;
    QAction *AcCloseEdit = nullptr;

signals:
    // The pointer, or the frame moved by the keys, is over the lawn cell (col, row).
    void cellHovered(int col, int row);
    // A level or lawn file was loaded, or the lawn was edited here.
    void lawnChanged();

private:
    void createActions();
    void createToolBar();
    QToolButton *addButton(QAction *action);
    void createGrid();

    void PnGridResize();
    void dgDrawCell(QPainter &canvas, int ACol, int ARow, const QRect &Rect);
    void dgMouseDown(QMouseEvent *event);
    void dgMouseMove(QMouseEvent *event);
    void dgMouseUp();
    // Space paints the framed cell and Esc leaves the lawn editor.
    bool dgKeyDown(QKeyEvent *event);
    QString dgCellText(int ACol, int ARow) const;
    void EdSizeChange();
    void resizeKeepingHiddenTiles(int side);
    void forgetHiddenTiles();
    void showLawnSize();
    void lawnEdited();
    void lawnReplaced();
    void AcNewGreenExecute();
    void AcGreenLoadExecute();
    void AcGreenStoreExecute();
    void paintTo(int col, int row);
    bool lawnCellAt(const QPoint &pos, int &col, int &row) const;
    bool reportFileResult(bool ok, const QString &error);

    // What each cell showed when last painted, to repaint only what changed;
    // `green` is the number of painted tiles of uncut grass.
    struct TPicture
    {
        QVector<quint8> tiles;
        int cols = 0;
        int rows = 0;
        int green = 0;
        QPoint sheep{-1, -1};
        TDirection dir = tdSouth;
    };
    TPicture currentPicture() const;
    bool takeTile(const QPoint &cell);
    QRegion takeChangedTiles();
    void repaintChanges(bool wholeLawn);

    TSandboxSheep &sb;
    TField &field;
    const TLawnIcons icons;
    std::function<void()> iOnBeforeEdit;
    bool iEdit = false;
    bool mDown = false;
    TTileType tilePen = ttGreen;
    QString greenLoaded;
    QPoint lastPainted{-1, -1};
    TPicture painted;
    // While editing: the lawn including the tiles a smaller size hides, so
    // that growing the size again brings them back. Empty outside a resize.
    TField hiddenLawn;
};
