#pragma once
// A custom-drawn grid of equally sized cells without fixed rows or columns:
// the owner paints every cell (OnDrawCell) and handles the mouse. Cells are
// laid out from the top-left corner; the area right of and below the last
// cell is left to the background.
#include <QWidget>
#include <functional>

class QPainter;

class TLawnGrid : public QWidget
{
    Q_OBJECT
public:
    using TDrawCellEvent = std::function<void(QPainter &, int ACol, int ARow, const QRect &Rect)>;
    using TMouseEvent = std::function<void(QMouseEvent *)>;

    explicit TLawnGrid(QWidget *parent = nullptr);

    int ColCount() const { return iColCount; }
    int RowCount() const { return iRowCount; }
    // Counts below 1 act as 1: the grid always has at least one cell.
    void setColCount(int n);
    void setRowCount(int n);
    int DefaultColWidth() const { return iColWidth; }
    int DefaultRowHeight() const { return iRowHeight; }
    void setDefaultColWidth(int w);
    void setDefaultRowHeight(int h);
    int GridLineWidth() const { return 0; }

    int Col() const { return iCol; }
    int Row() const { return iRow; }
    // Makes (col, row) the only selected cell; the old and the new cell are redrawn.
    void setSelection(int col, int row);

    QRect CellRect(int col, int row) const;
    // The cell under a point of the grid, false when the point is beside the cells.
    bool MouseToCell(const QPoint &pos, int &col, int &row) const;
    // Schedules a repaint of one cell.
    void InvalidateCell(int col, int row);

    void setOnDrawCell(TDrawCellEvent e) { iOnDrawCell = std::move(e); }
    void setOnMouseDown(TMouseEvent e) { iOnMouseDown = std::move(e); }
    void setOnMouseMove(TMouseEvent e) { iOnMouseMove = std::move(e); }
    void setOnMouseUp(TMouseEvent e) { iOnMouseUp = std::move(e); }

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int iColCount = 10;
    int iRowCount = 10;
    int iColWidth = 30;
    int iRowHeight = 30;
    int iCol = 0;
    int iRow = 0;
    TDrawCellEvent iOnDrawCell;
    TMouseEvent iOnMouseDown, iOnMouseMove, iOnMouseUp;
};
