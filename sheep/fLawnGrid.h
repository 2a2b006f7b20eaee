#pragma once
// A custom-drawn grid of equally sized cells without fixed rows or columns:
// the owner paints every cell (OnDrawCell) and handles the mouse. Cells are
// laid out from the top-left corner; the area right of and below the last
// cell is left to the background. The grid takes the focus; the arrow keys
// move the selected cell, other keys go to the owner (OnKeyDown). Assistive
// technology sees a table of the cells, each named by OnCellText.
#include <QWidget>
#include <functional>

class QPainter;

class TLawnGrid : public QWidget
{
    Q_OBJECT
public:
    using TDrawCellEvent = std::function<void(QPainter &, int ACol, int ARow, const QRect &Rect)>;
    using TMouseEvent = std::function<void(QMouseEvent *)>;
    // Returns whether the key was handled.
    using TKeyEvent = std::function<bool(QKeyEvent *)>;
    // What a cell shows, in words ("Baum").
    using TCellTextEvent = std::function<QString(int ACol, int ARow)>;

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
    // "Zeile 3, Spalte 4: Baum", numbered from 0 as in the status bar.
    QString CellText(int col, int row) const;

    void setOnDrawCell(TDrawCellEvent e) { iOnDrawCell = std::move(e); }
    void setOnMouseDown(TMouseEvent e) { iOnMouseDown = std::move(e); }
    void setOnMouseMove(TMouseEvent e) { iOnMouseMove = std::move(e); }
    void setOnMouseUp(TMouseEvent e) { iOnMouseUp = std::move(e); }
    void setOnKeyDown(TKeyEvent e) { iOnKeyDown = std::move(e); }
    void setOnCellText(TCellTextEvent e) { iOnCellText = std::move(e); }

signals:
    void resized();
    // The arrow keys moved the selection to (col, row).
    void selectionMoved(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int iColCount = 10;
    int iRowCount = 10;
    int iColWidth = 30;
    int iRowHeight = 30;
    int iCol = 0;
    int iRow = 0;
    TDrawCellEvent iOnDrawCell;
    TMouseEvent iOnMouseDown, iOnMouseMove, iOnMouseUp;
    TKeyEvent iOnKeyDown;
    TCellTextEvent iOnCellText;
};
