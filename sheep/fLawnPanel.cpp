#include "sheep/fLawnPanel.h"

#include "ide/uDialogs.h"
#include "sheep/fLawnGrid.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTile.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString GreensFolder = "Greens";
const QString GreenFilter = "GrazloGreen (*.glw);;Alle Dateien (*)";

// A tile kind painted as a 16 x 16 picture, the way the lawn shows it.
QPixmap tilePicture(TTileType kind)
{
    QPixmap pm(16, 16);
    QPainter p(&pm);
    TTile(kind).Draw(p, QRect(0, 0, 16, 16));
    p.setPen(QColor(0, 80, 0));
    p.drawRect(0, 0, 15, 15);
    return pm;
}

// A tile picture with a small sign drawn over its lower right corner.
QIcon markedTile(TTileType kind, const QIcon &sign)
{
    QPixmap pm = tilePicture(kind);
    QPainter p(&pm);
    p.drawPixmap(6, 6, sign.pixmap(10, 10));
    return QIcon(pm);
}

// A tile in words, as the environment values name cut and uncut grass.
QString tileWords(TTileType kind)
{
    switch (kind) {
    case ttDirt:
        return "Weg";
    case ttGreen:
        return "ungemähter Rasen";
    case ttShortGreen:
        return "gemähter Rasen";
    case ttTree:
        return "Baum";
    case ttMark:
        return "Markierung";
    }
    return {};
}

QString headingWords(TDirection dir)
{
    static const char *const words[] = {"Norden", "Osten", "Süden", "Westen"};
    return QString("Schaf, schaut nach ") + words[WrapDirection(int(dir))];
}

// A small lawn of four tiles: the picture of a level.
QIcon levelPicture()
{
    QPixmap pm(16, 16);
    QPainter p(&pm);
    const TTileType kinds[4] = {ttGreen, ttTree, ttDirt, ttShortGreen};
    for (int i = 0; i < 4; ++i) {
        TTile(kinds[i]).Draw(p, QRect((i % 2) * 8, (i / 2) * 8, 8, 8));
    }
    return QIcon(pm);
}

} // namespace

TLawnIcons TLawnIcons::Create()
{
    QStyle *style = QApplication::style();
    TLawnIcons i;
    i.load = style->standardIcon(QStyle::SP_DialogOpenButton);
    i.store = style->standardIcon(QStyle::SP_DialogSaveButton);
    i.green = QIcon(tilePicture(ttGreen));
    i.dirt = QIcon(tilePicture(ttDirt));
    i.tree = QIcon(tilePicture(ttTree));
    i.lawnFile = QIcon(tilePicture(ttShortGreen));
    i.level = levelPicture();
    i.edit = markedTile(ttGreen, style->standardIcon(QStyle::SP_FileDialogDetailedView));
    i.newGreen = markedTile(ttGreen, style->standardIcon(QStyle::SP_FileIcon));
    i.closeEdit = style->standardIcon(QStyle::SP_DialogApplyButton);
    return i;
}

TLawnPanel::TLawnPanel(TSandboxSheep &sandbox, const TLawnIcons &lawnIcons, QWidget *parent)
    : QWidget(parent), sb(sandbox), field(sandbox.Field()), icons(lawnIcons)
{
    setObjectName("PnGrid");
    createActions();
    createToolBar();
    createGrid();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBarGreen);
    layout->addWidget(dg, 1);
    ToolBarGreen->setVisible(false);
    // Never narrower than the lawn tools, or "Übernehmen" would hide in the overflow.
    setMinimumWidth(ToolBarGreen->sizeHint().width());
    painted = currentPicture();
}

void TLawnPanel::createActions()
{
    auto make = [this](const QString &caption, const QString &hint, const QIcon &icon) {
        auto *a = new QAction(icon, caption, this);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        return a;
    };
    AcGreenLoad = make("Laden", "Rasen Laden", icons.load);
    AcGreenStore = make("Speichern", "Rasen Speichern", icons.store);
    AcNewGreen = make("neuer Rasen", "neuer Rasen", icons.newGreen);
    AcSetGreen = make("Rasen", "Rasen", icons.green);
    AcSetDirt = make("Weg", "Weg", icons.dirt);
    AcSetTree = make("Baum", "Baum", icons.tree);
    AcCloseEdit = make("Übernehmen", "Beendet die Bearbeitung des Rasens", icons.closeEdit);

    auto *pens = new QActionGroup(this);
    pens->setExclusive(true);
    const std::pair<QAction *, TTileType> penKinds[] = {
        {AcSetGreen, ttGreen}, {AcSetDirt, ttDirt}, {AcSetTree, ttTree}};
    for (auto [action, kind] : penKinds) {
        action->setCheckable(true);
        pens->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind = kind] { tilePen = kind; });
    }
    AcSetGreen->setChecked(true);

    connect(AcGreenLoad, &QAction::triggered, this, &TLawnPanel::AcGreenLoadExecute);
    connect(AcGreenStore, &QAction::triggered, this, &TLawnPanel::AcGreenStoreExecute);
    connect(AcNewGreen, &QAction::triggered, this, &TLawnPanel::AcNewGreenExecute);
    connect(AcCloseEdit, &QAction::triggered, this, [this] { setInEdit(false); });
}

QToolButton *TLawnPanel::addButton(QAction *action)
{
    auto *button = new QToolButton(ToolBarGreen);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    ToolBarGreen->addWidget(button);
    return button;
}

void TLawnPanel::createToolBar()
{
    ToolBarGreen = new QToolBar("Rasen bearbeiten", this);
    ToolBarGreen->setIconSize(QSize(16, 16));
    ToolBarGreen->setMovable(false);
    // Tight, so that "Übernehmen" stays visible in the lawn column's default width.
    ToolBarGreen->setContentsMargins(0, 0, 0, 0);
    ToolBarGreen->layout()->setSpacing(0);
    tbNewGreen = addButton(AcNewGreen);

    // The two file buttons show their drop-down lists instead of running the action.
    tbLoadGreen = new QToolButton(ToolBarGreen);
    tbStoreGreen = new QToolButton(ToolBarGreen);
    for (auto [button, action] : {std::pair{tbLoadGreen, AcGreenLoad}, std::pair{tbStoreGreen, AcGreenStore}}) {
        button->setIcon(action->icon());
        button->setToolTip(action->toolTip());
        button->setAutoRaise(true);
        ToolBarGreen->addWidget(button);
    }
    tbLoadGreen->setAccessibleName("Rasen laden");
    tbStoreGreen->setAccessibleName("Rasen speichern");
    connect(tbLoadGreen, &QToolButton::clicked, this, &TLawnPanel::tbLoadGreenClick);
    connect(tbStoreGreen, &QToolButton::clicked, this, &TLawnPanel::tbStoreGreenClick);
    PopupLoadGreen = new QMenu(this);
    PopupStoreGreen = new QMenu(this);

    ToolBarGreen->addSeparator();
    tbGreen = addButton(AcSetGreen);
    tbDirt = addButton(AcSetDirt);
    tbTree = addButton(AcSetTree);
    ToolBarGreen->addSeparator();

    auto *sizePanel = new QWidget(ToolBarGreen);
    sizePanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *sizeLayout = new QHBoxLayout(sizePanel);
    sizeLayout->setContentsMargins(2, 0, 2, 0);
    LSizecap = new QLabel("Größe", sizePanel);
    EdSize = new QLineEdit("10", sizePanel);
    EdSize->setAlignment(Qt::AlignRight);
    EdSize->setMaxLength(3);
    EdSize->setFixedWidth(EdSize->fontMetrics().horizontalAdvance("000") + 10);
    EdSize->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), EdSize));
    EdSize->setToolTip(QString("Seitenlänge des Rasens (1 bis %1)").arg(MaxTypedSize));
    sizeLayout->addWidget(LSizecap);
    sizeLayout->addWidget(EdSize);
    LSizecap->setBuddy(EdSize);
    ToolBarGreen->addWidget(sizePanel);
    connect(EdSize, &QLineEdit::textChanged, this, &TLawnPanel::EdSizeChange);
    connect(EdSize, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Typed numbers stop at the upper bound; the program may set larger ones.
        if (text.toInt() > MaxTypedSize)
            EdSize->setText(QString::number(MaxTypedSize));
    });

    ToolBarGreen->addSeparator();
    tbToolsHide = addButton(AcCloseEdit);
    tbToolsHide->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The lawn tools are reached with Tab from the lawn.
    for (QToolButton *button : ToolBarGreen->findChildren<QToolButton *>())
        button->setFocusPolicy(Qt::TabFocus);
}

void TLawnPanel::createGrid()
{
    dg = new TLawnGrid(this);
    dg->setObjectName("dg");
    dg->setMinimumSize(100, 100); // a splitter must not squeeze the lawn out of sight
    dg->setColCount(field.ColCount());
    dg->setRowCount(field.RowCount());
    dg->setOnDrawCell([this](QPainter &p, int c, int r, const QRect &rect) { dgDrawCell(p, c, r, rect); });
    dg->setOnMouseDown([this](QMouseEvent *e) { dgMouseDown(e); });
    dg->setOnMouseMove([this](QMouseEvent *e) { dgMouseMove(e); });
    dg->setOnMouseUp([this](QMouseEvent *) { dgMouseUp(); });
    dg->setOnKeyDown([this](QKeyEvent *e) { return dgKeyDown(e); });
    dg->setOnCellText([this](int c, int r) { return dgCellText(c, r); });
    connect(dg, &TLawnGrid::selectionMoved, this, &TLawnPanel::cellHovered);
    connect(dg, &TLawnGrid::resized, this, &TLawnPanel::PnGridResize);
}

void TLawnPanel::PnGridResize()
{
    const int line = dg->GridLineWidth();
    const int cell = std::min(dg->width() / dg->ColCount() - line, dg->height() / dg->RowCount() - line);
    dg->setDefaultColWidth(cell);
    dg->setDefaultRowHeight(cell);
}

void TLawnPanel::dgDrawCell(QPainter &canvas, int ACol, int ARow, const QRect &Rect)
{
    if (!field.Valid(ACol, ARow))
        return; // a cell beside the lawn keeps the background
    field.Cell(ACol, ARow).Draw(canvas, Rect);
    if (ACol == dg->Col() && ARow == dg->Row()) {
        canvas.setPen(QColor(255, 0, 0));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(Rect.adjusted(0, 0, -1, -1));
        // The keyboard's place: a dashed second frame while the lawn has the focus.
        if (dg->hasFocus()) {
            canvas.setPen(QPen(QColor(255, 0, 0), 1, Qt::DashLine));
            canvas.drawRect(Rect.adjusted(2, 2, -3, -3));
        }
    }
    const TSheep sheep = sb.Sheep();
    if (sheep.Pos == QPoint(ACol, ARow))
        DrawTileImage(canvas, Rect, SheepImage(sheep.Dir));
}

bool TLawnPanel::lawnCellAt(const QPoint &pos, int &col, int &row) const
{
    return dg->MouseToCell(pos, col, row) && field.Valid(col, row);
}

// Paints the pen into every cell on the way from the last painted one, so a
// quick drag, whose pointer skips cells between two move events, leaves no gaps.
void TLawnPanel::paintTo(int col, int row)
{
    const QPoint from = lastPainted.x() < 0 ? QPoint(col, row) : lastPainted;
    const int steps = std::max(std::abs(col - from.x()), std::abs(row - from.y()));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps ? double(i) / steps : 1.0;
        const int c = from.x() + qRound((col - from.x()) * t);
        const int r = from.y() + qRound((row - from.y()) * t);
        if (field.Valid(c, r))
            field.setTileType(c, r, tilePen);
    }
    lastPainted = QPoint(col, row);
    lawnEdited();
}

void TLawnPanel::dgMouseDown(QMouseEvent *event)
{
    int col, row;
    lastPainted = QPoint(-1, -1);
    if (iEdit && lawnCellAt(event->position().toPoint(), col, row))
        paintTo(col, row);
    mDown = true;
}

void TLawnPanel::dgMouseMove(QMouseEvent *event)
{
    int col, row;
    if (!lawnCellAt(event->position().toPoint(), col, row))
        return;
    if (mDown && iEdit)
        paintTo(col, row);
    emit cellHovered(col, row);
    dg->setSelection(col, row);
}

void TLawnPanel::dgMouseUp() { mDown = false; }

bool TLawnPanel::dgKeyDown(QKeyEvent *event)
{
    if (!iEdit || event->modifiers() != Qt::NoModifier)
        return false;
    if (event->key() == Qt::Key_Space) {
        lastPainted = QPoint(-1, -1);
        if (field.Valid(dg->Col(), dg->Row()))
            paintTo(dg->Col(), dg->Row());
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        setInEdit(false);
        return true;
    }
    return false;
}

QString TLawnPanel::dgCellText(int ACol, int ARow) const
{
    if (!field.Valid(ACol, ARow))
        return {};
    const QString tile = tileWords(field.Cell(ACol, ARow).TileType());
    const TSheep sheep = sb.Sheep();
    return sheep.Pos == QPoint(ACol, ARow) ? headingWords(sheep.Dir) + ", " + tile : tile;
}

void TLawnPanel::setInEdit(bool value)
{
    forgetHiddenTiles();
    if (value) {
        if (iOnBeforeEdit)
            iOnBeforeEdit();
        dg->setSelection(0, 0);
        dg->update();
    }
    iEdit = value;
    ToolBarGreen->setVisible(value);
}

void TLawnPanel::EdSizeChange()
{
    if (!iEdit)
        return;
    bool ok = false;
    const int n = EdSize->text().toInt(&ok);
    // No number, 0, or the lawn already has that square size: nothing to do.
    if (!ok || n <= 0 || (n == field.ColCount() && n == field.RowCount()))
        return;
    resizeKeepingHiddenTiles(n);
    FollowLawnSize();
}

// A smaller size hides tiles instead of dropping them: the visible lawn is
// laid over what earlier sizes hid, and the new size is cut from the whole.
void TLawnPanel::resizeKeepingHiddenTiles(int side)
{
    hiddenLawn.SetSize(std::max(hiddenLawn.ColCount(), field.ColCount()),
                       std::max(hiddenLawn.RowCount(), field.RowCount()));
    for (int row = 0; row < field.RowCount(); ++row)
        for (int col = 0; col < field.ColCount(); ++col)
            hiddenLawn.setTileType(col, row, field.Cell(col, row).TileType());
    field = hiddenLawn;
    field.SetSize(side, side);
}

void TLawnPanel::forgetHiddenTiles() { hiddenLawn = TField(); }

// A loaded lawn keeps its own shape: the size field shows its row count
// without running the size rule.
void TLawnPanel::showLawnSize()
{
    const QSignalBlocker quiet(EdSize);
    EdSize->setText(QString::number(field.RowCount()));
}

void TLawnPanel::FollowLawnSize()
{
    dg->setColCount(field.ColCount());
    dg->setRowCount(field.RowCount());
    PnGridResize();
    painted = currentPicture();
    dg->update();
    emit lawnChanged();
}

void TLawnPanel::lawnEdited()
{
    repaintChanges(true);
    emit lawnChanged();
}

// A new lawn replaces everything, also the tiles an earlier size hid.
void TLawnPanel::lawnReplaced()
{
    forgetHiddenTiles();
    FollowLawnSize();
    showLawnSize();
}

void TLawnPanel::AcNewGreenExecute()
{
    if (!iEdit)
        return;
    field.Init();
    forgetHiddenTiles();
    lawnEdited();
    greenLoaded.clear();
}

void TLawnPanel::Level(int n)
{
    if (ApplyLevel(field, n))
        lawnReplaced();
}

void TLawnPanel::LoadLevel(const QString &text)
{
    field.Load(ReadCommaText(text));
    lawnReplaced();
}

// Lawn file errors are shown; the window state stays as the field left it.
bool TLawnPanel::reportFileResult(bool ok, const QString &error)
{
    if (!ok)
        Dialogs().message(this, TDlgKind::Error, "Fehler", error);
    return ok;
}

void TLawnPanel::LoadGreen(const QString &FileName)
{
    if (!QFileInfo::exists(FileName))
        return;
    QString error;
    if (!reportFileResult(field.Load(FileName, error), error))
        return;
    greenLoaded = FileName;
    lawnReplaced();
}

void TLawnPanel::StoreGreen(const QString &FileName)
{
    QString error;
    const bool stored = field.Store(FileName, error);
    lawnEdited(); // storing regrows the lawn, also when the write failed
    if (reportFileResult(stored, error))
        greenLoaded = FileName;
}

void TLawnPanel::AcGreenLoadExecute()
{
    const QString name = Dialogs().openFileName(this, "Rasen Laden", GreensFolder, GreenFilter);
    if (!name.isEmpty())
        LoadGreen(name);
}

void TLawnPanel::AcGreenStoreExecute()
{
    const QString name = Dialogs().saveFileName(this, "Rasen Speichern", GreensFolder, GreenFilter, "glw");
    if (!name.isEmpty())
        StoreGreen(name);
}

// "&" would otherwise underline the next letter of a file name.
static QString menuCaption(const QString &path) { return QString(path).replace("&", "&&"); }

void TLawnPanel::tbLoadGreenClick()
{
    PopupLoadGreen->clear();
    QDir greens(GreensFolder);
    const QStringList files = greens.exists() ? greens.entryList({"*.glw"}, QDir::Files, QDir::Name) : QStringList();
    if (!files.isEmpty()) {
        PopupLoadGreen->addAction(icons.load, "Auswahl", AcGreenLoad, &QAction::trigger);
        PopupLoadGreen->addSeparator();
    }
    for (const QString &file : files) {
        const QString path = GreensFolder + "/" + file;
        PopupLoadGreen->addAction(icons.lawnFile, menuCaption(path), this, [this, path] { LoadGreen(path); });
    }
    if (PopupLoadGreen->isEmpty())
        AcGreenLoad->trigger();
    else
        ShowButtonPopup(tbLoadGreen);
}

void TLawnPanel::tbStoreGreenClick()
{
    if (greenLoaded.isEmpty() || !QFileInfo::exists(greenLoaded)) {
        AcGreenStore->trigger();
        return;
    }
    PopupStoreGreen->clear();
    PopupStoreGreen->addAction(icons.store, "Auswahl", AcGreenStore, &QAction::trigger);
    PopupStoreGreen->addSeparator();
    const QString path = greenLoaded;
    PopupStoreGreen->addAction(icons.lawnFile, menuCaption(path), this, [this, path] { StoreGreen(path); });
    ShowButtonPopup(tbStoreGreen);
}

void TLawnPanel::ShowButtonPopup(QToolButton *button)
{
    QMenu *menu = button == tbLoadGreen ? PopupLoadGreen : button == tbStoreGreen ? PopupStoreGreen : nullptr;
    if (!menu)
        return;
    const QRect r = button->geometry();
    menu->popup(button->parentWidget()->mapToGlobal(QPoint(r.left(), r.bottom() + 1)));
}

TLawnPanel::TPicture TLawnPanel::currentPicture() const
{
    TPicture pic;
    pic.cols = field.ColCount();
    pic.rows = field.RowCount();
    pic.tiles.reserve(pic.cols * pic.rows);
    for (int r = 0; r < pic.rows; ++r)
        for (int c = 0; c < pic.cols; ++c)
            pic.tiles.append(field.Cell(c, r).TileType());
    pic.green = field.GetCount(ttGreen);
    const TSheep sheep = sb.Sheep();
    pic.sheep = sheep.Pos;
    pic.dir = sheep.Dir;
    return pic;
}

// Takes the tile of one cell into the picture; true when it differed.
bool TLawnPanel::takeTile(const QPoint &cell)
{
    if (!field.Valid(cell.x(), cell.y()))
        return false;
    quint8 &shown = painted.tiles[cell.y() * painted.cols + cell.x()];
    const TTileType now = field.Cell(cell.x(), cell.y()).TileType();
    if (shown == now)
        return false;
    painted.green += (now == ttGreen) - (shown == ttGreen);
    shown = now;
    return true;
}

// Takes every tile into the picture; returns the cells that differed.
QRegion TLawnPanel::takeChangedTiles()
{
    QRegion changed;
    for (int r = 0; r < painted.rows; ++r)
        for (int c = 0; c < painted.cols; ++c)
            if (takeTile(QPoint(c, r)))
                changed += dg->CellRect(c, r);
    return changed;
}

void TLawnPanel::SandboxRefresh() { repaintChanges(false); }

// The sandbox changes tiles only under the sheep, except when the lawn
// regrows, which always adds uncut grass; edits here may change any tile.
void TLawnPanel::repaintChanges(bool wholeLawn)
{
    if (painted.cols != field.ColCount() || painted.rows != field.RowCount()) {
        FollowLawnSize();
        return;
    }
    const TSheep sheep = sb.Sheep();
    QRegion changed;
    for (const QPoint &cell : {painted.sheep, sheep.Pos})
        if (takeTile(cell))
            changed += dg->CellRect(cell.x(), cell.y());
    if (wholeLawn || painted.green != field.GetCount(ttGreen))
        changed += takeChangedTiles();
    if (painted.sheep != sheep.Pos || painted.dir != sheep.Dir) {
        changed += dg->CellRect(painted.sheep.x(), painted.sheep.y());
        changed += dg->CellRect(sheep.Pos.x(), sheep.Pos.y());
        painted.sheep = sheep.Pos;
        painted.dir = sheep.Dir;
    }
    if (!changed.isEmpty())
        dg->repaint(changed);
}
