#include "ide/uIdList.h"

int TIdList::Add(int value)
{
    const int at = IndexOf(value);
    if (at >= 0)
        return at;
    iItems.append(value);
    return Count() - 1;
}

int TIdList::Remove(int value)
{
    const int at = IndexOf(value);
    if (at >= 0)
        iItems.removeAt(at);
    return at;
}

void TIdList::Delete(int index)
{
    if (index >= 0 && index < Count())
        iItems.removeAt(index);
}

void TIdList::Inc(int offset, int delta)
{
    for (int &item : iItems)
        if (item >= offset)
            item += delta;
}

void TIdList::DeleteRange(int first, int count)
{
    iItems.removeIf([first, count](int item) { return item >= first && item < first + count; });
    Inc(first + count, -count);
}
