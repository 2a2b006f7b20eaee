// The texts of a list box's entries, in order: what the window tests compare.
#pragma once

#include <QListWidget>
#include <QStringList>

inline QStringList itemsOf(const QListWidget *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->item(i)->text();
    return items;
}
