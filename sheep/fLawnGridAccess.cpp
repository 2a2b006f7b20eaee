#include "sheep/fLawnGridAccess.h"

#include "ide/uAccessibility.h"
#include "sheep/fLawnGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

class TLawnTableAccessible;

// One cell; it lives in its table's cache and asks the grid for everything.
class TLawnCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    TLawnCellAccessible(TLawnGrid *grid, int col, int row) : iGrid(grid), iCol(col), iRow(row) {}

    bool isValid() const override { return iGrid && iCol < iGrid->ColCount() && iRow < iGrid->RowCount(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(iGrid.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? iGrid->CellText(iCol, iRow) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = iGrid->CellRect(iCol, iRow);
        return QRect(iGrid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = s.focusable = true;
        s.selected = isSelected();
        s.focused = s.selected && iGrid->hasFocus();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override { return isValid() && iGrid->Col() == iCol && iGrid->Row() == iRow; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return iCol; }
    int rowIndex() const override { return iRow; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<TLawnGrid> iGrid;
    int iCol;
    int iRow;
};

class TLawnTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit TLawnTableAccessible(TLawnGrid *grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~TLawnTableAccessible() override
    {
        for (QAccessible::Id id : std::as_const(iCells))
            QAccessible::deleteAccessibleInterface(id);
    }

    TLawnGrid *grid() const { return static_cast<TLawnGrid *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const QAccessibleTableCellInterface *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
        return cell ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        int col, row;
        if (!grid()->MouseToCell(grid()->mapFromGlobal(QPoint(x, y)), col, row))
            return nullptr;
        return cellAt(row, col);
    }
    QAccessibleInterface *focusChild() const override
    {
        return grid()->hasFocus() ? cellAt(grid()->Row(), grid()->Col()) : nullptr;
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const int key = row * 0x10000 + column;
        if (const auto found = iCells.constFind(key); found != iCells.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto *cell = new TLawnCellAccessible(grid(), column, row);
        iCells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface *> selectedCells() const override { return {cellAt(grid()->Row(), grid()->Col())}; }
    QString columnDescription(int column) const override { return QStringLiteral("Spalte %1").arg(column); }
    QString rowDescription(int row) const override { return QStringLiteral("Zeile %1").arg(row); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->ColCount(); }
    int rowCount() const override { return grid()->RowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    // Cell interfaces by row and column, created on first request.
    mutable QHash<int, QAccessible::Id> iCells;
};

QAccessibleInterface *lawnGridFactory(const QString &className, QObject *object)
{
    auto *grid = qobject_cast<TLawnGrid *>(object);
    if (!grid || className != QLatin1String(TLawnGrid::staticMetaObject.className()))
        return nullptr;
    return new TLawnTableAccessible(grid);
}

} // namespace

void InstallLawnGridAccessibility() { InstallAccessibleFactory(lawnGridFactory); }

void NotifyLawnCellFocus(TLawnGrid *grid)
{
    if (!QAccessible::isActive() || !grid->hasFocus())
        return;
    QAccessibleEvent event(grid, QAccessible::Focus);
    event.setChild(grid->Row() * grid->ColCount() + grid->Col());
    QAccessible::updateAccessibility(&event);
}
