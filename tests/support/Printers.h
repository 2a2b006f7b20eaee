// Readable Qt texts in GoogleTest failure messages: quoted UTF-8 instead of the
// byte dumps GoogleTest prints for types it does not know. Include it in every
// test that compares QString or QStringList, so that all translation units of a
// test program print them the same way.
#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            *os << ", ";
        PrintTo(texts[i], os);
    }
    *os << '}';
}
