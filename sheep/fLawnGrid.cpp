#include "sheep/fLawnGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

TLawnGrid::TLawnGrid(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true); // the frame follows the pointer without a pressed button
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
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
