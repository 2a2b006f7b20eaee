#include "ide/uCoupledLists.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QScrollBar>

#include <algorithm>

namespace {
QList<int> selectedRows(const QListWidget *list)
{
    QList<int> rows;
    for (const QModelIndex &index : list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void copySelection(const QListWidget *from, QListWidget *to)
{
    const QList<int> rows = selectedRows(from);
    if (rows == selectedRows(to))
        return;
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex index = to->model()->index(row, 0);
        selection.select(index, index);
    }
    to->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// Copies what happens in `from` to `to`; copies that change nothing end the echo.
void follow(QListWidget *from, QListWidget *to)
{
    QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                     &QScrollBar::setValue);
    QObject::connect(from, &QListWidget::currentRowChanged, to, [to](int row) {
        if (to->currentRow() != row)
            to->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    });
    QObject::connect(from, &QListWidget::itemSelectionChanged, to, [from, to] { copySelection(from, to); });
}
} // namespace

void CoupleLists(QListWidget *left, QListWidget *right)
{
    // Equal viewport heights, so that both lists reach the same last row: a
    // horizontal bar under only one of them would cost it a row.
    for (QListWidget *list : {left, right})
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    follow(left, right);
    follow(right, left);
}
