#pragma once
// A list of integers used as a set of line numbers: keeps the order in which
// values were added, adds a value only once, and shifts values by an offset.
#include <QList>

class TIdList
{
public:
    int Count() const { return int(iItems.size()); }
    int Items(int index) const { return iItems.at(index); }
    int IndexOf(int value) const { return int(iItems.indexOf(value)); }
    bool isIn(int value) const { return iItems.contains(value); }

    // Appends the value unless present; the index of the new or existing entry.
    int Add(int value);
    // Removes the first occurrence; its former index, or -1.
    int Remove(int value);
    void Delete(int index);
    void Clear() { iItems.clear(); }
    // Adds delta to every entry greater than or equal to offset.
    void Inc(int offset, int delta);
    // Removes the entries first .. first + count - 1 and moves the later ones
    // up by count, so no entry lands on another or below first.
    void DeleteRange(int first, int count);

    QList<int>::const_iterator begin() const { return iItems.cbegin(); }
    QList<int>::const_iterator end() const { return iItems.cend(); }

private:
    QList<int> iItems;
};
