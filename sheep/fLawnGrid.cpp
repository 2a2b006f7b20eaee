#include "sheep/fLawnGrid.h"

#include "sheep/fLawnGridAccess.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

TLawnGrid::TLawnGrid(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true); // the frame follows the pointer without a pressed button
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    // Before anything asks for the grid's accessible interface, which Qt keeps.
    InstallLawnGridAccessibility();
    setAccessibleName("Rasen");
}

void TLawnGrid::setColCount(int n)
{
    iColCount = std::max(1, n);
    iCol = std::min(iCol, iColCount - 1);
    update();
}

void TLawnGrid::setRowCount(int n)
{
    iRowCount = std::max(1, n);
    iRow = std::min(iRow, iRowCount - 1);
    update();
}

void TLawnGrid::setDefaultColWidth(int w)
{
    iColWidth = std::max(1, w);
    update();
}

void TLawnGrid::setDefaultRowHeight(int h)
{
    iRowHeight = std::max(1, h);
    update();
}

void TLawnGrid::setSelection(int col, int row)
{
    if (col == iCol && row == iRow)
        return;
    InvalidateCell(iCol, iRow);
    iCol = col;
    iRow = row;
    InvalidateCell(iCol, iRow);
    NotifyLawnCellFocus(this);
}

QRect TLawnGrid::CellRect(int col, int row) const
{
    return QRect(col * iColWidth, row * iRowHeight, iColWidth, iRowHeight);
}

bool TLawnGrid::MouseToCell(const QPoint &pos, int &col, int &row) const
{
    if (pos.x() < 0 || pos.y() < 0)
        return false;
    col = pos.x() / iColWidth;
    row = pos.y() / iRowHeight;
    return col < iColCount && row < iRowCount;
}

void TLawnGrid::InvalidateCell(int col, int row) { update(CellRect(col, row)); }

QString TLawnGrid::CellText(int col, int row) const
{
    const QString where = QString("Zeile %1, Spalte %2").arg(row).arg(col);
    return iOnCellText ? where + ": " + iOnCellText(col, row) : where;
}

// Paints the rectangles of the region one by one: a step repaints two cells,
// which may lie far apart, and nothing between them.
void TLawnGrid::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    for (const QRect &area : event->region()) {
        p.fillRect(area, palette().window());
        const int firstCol = std::max(0, area.left() / iColWidth);
        const int lastCol = std::min(iColCount - 1, area.right() / iColWidth);
        const int firstRow = std::max(0, area.top() / iRowHeight);
        const int lastRow = std::min(iRowCount - 1, area.bottom() / iRowHeight);
        for (int row = firstRow; row <= lastRow; ++row)
            for (int col = firstCol; col <= lastCol; ++col)
                if (iOnDrawCell) {
                    p.save();
                    iOnDrawCell(p, col, row, CellRect(col, row));
                    p.restore();
                }
    }
}

void TLawnGrid::mousePressEvent(QMouseEvent *event)
{
    int col, row;
    if (MouseToCell(event->position().toPoint(), col, row))
        setSelection(col, row);
    if (iOnMouseDown)
        iOnMouseDown(event);
}

void TLawnGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (iOnMouseMove)
        iOnMouseMove(event);
}

void TLawnGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (iOnMouseUp)
        iOnMouseUp(event);
}

void TLawnGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

void TLawnGrid::keyPressEvent(QKeyEvent *event)
{
    struct TStep
    {
        Qt::Key key;
        int dCol;
        int dRow;
    };
    static constexpr TStep steps[] = {
        {Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};
    for (const TStep &step : steps)
        if (event->key() == step.key && !(event->modifiers() & ~Qt::KeypadModifier)) {
            setSelection(std::clamp(iCol + step.dCol, 0, iColCount - 1),
                         std::clamp(iRow + step.dRow, 0, iRowCount - 1));
            emit selectionMoved(iCol, iRow);
            return;
        }
    if (iOnKeyDown && iOnKeyDown(event))
        return;
    QWidget::keyPressEvent(event);
}

void TLawnGrid::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    InvalidateCell(iCol, iRow); // the owner may draw the focused cell differently
    NotifyLawnCellFocus(this);
}

void TLawnGrid::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    InvalidateCell(iCol, iRow);
}
