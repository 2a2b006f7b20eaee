#pragma once
// Two lists that show one entry in two columns (the variable view's names and
// values) must never show different entries side by side.
class QListWidget;

// Keeps the lists in step: scrolling, the current row and the selection of
// either, by wheel, keys, scroll bar or mouse, are copied to the other.
void CoupleLists(QListWidget *left, QListWidget *right);
