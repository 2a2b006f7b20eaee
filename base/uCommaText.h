#pragma once
// Comma text: the list-of-items text of lawn rows, lawn files, level layouts
// and parameter hints. Items are separated by commas or blanks (codes 1 to
// 32); an item with a comma, a quote or a blank is written between double
// quotes, a quote inside doubled.
#include <QString>
#include <QStringList>

#include <functional>

QStringList ReadCommaText(const QString &text);
QString WriteCommaText(const QStringList &items);
// Visits the items of a comma text in order; the visitor returns false to
// stop early (so a row of a million items costs nothing beyond those needed).
void ForEachCommaItem(const QString &text, const std::function<bool(const QString &)> &visit);
