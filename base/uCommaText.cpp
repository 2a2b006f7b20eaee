#include "base/uCommaText.h"

#include <algorithm>

namespace {

// Codes up to the space are blanks and control characters.
constexpr char16_t LastBlankCode = 32;

bool isBlank(QChar ch) { return ch.unicode() >= 1 && ch.unicode() <= LastBlankCode; }

bool endsUnquotedItem(QChar ch) { return ch == u',' || ch.unicode() <= LastBlankCode; }

// Reads a quoted item starting at the opening quote; pos ends after the
// closing quote (or at the end when there is none).
QString readQuoted(QStringView text, qsizetype &pos)
{
    QString item;
    ++pos;
    while (pos < text.size()) {
        const QChar ch = text[pos++];
        if (ch != u'"') {
            item += ch;
        } else if (pos < text.size() && text[pos] == u'"') {
            item += ch;
            ++pos;
        } else {
            break;
        }
    }
    return item;
}

void skipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
}

bool needsQuotes(const QString &item)
{
    return std::any_of(item.begin(), item.end(),
                       [](QChar ch) { return ch == u',' || ch == u'"' || ch.unicode() <= LastBlankCode; });
}

} // namespace

void ForEachCommaItem(const QString &text, const std::function<bool(const QString &)> &visit)
{
    // A NUL ends the text, as it ends a zero-terminated string; it would
    // otherwise stop every item without consuming anything.
    const qsizetype nul = text.indexOf(QChar(0));
    const QStringView view = QStringView(text).left(nul < 0 ? text.size() : nul);
    qsizetype pos = 0;
    skipBlanks(view, pos);
    while (pos < view.size()) {
        QString item;
        if (view[pos] == u'"') {
            item = readQuoted(view, pos);
        } else {
            const qsizetype start = pos;
            while (pos < view.size() && !endsUnquotedItem(view[pos]))
                ++pos;
            item = view.mid(start, pos - start).toString();
        }
        if (!visit(item))
            return;
        skipBlanks(view, pos);
        if (pos < view.size() && view[pos] == u',') {
            if (pos == view.size() - 1 && !visit(QString()))
                return;
            ++pos;
            skipBlanks(view, pos);
        }
    }
}

QStringList ReadCommaText(const QString &text)
{
    QStringList items;
    ForEachCommaItem(text, [&items](const QString &item) {
        items.append(item);
        return true;
    });
    return items;
}

QString WriteCommaText(const QStringList &items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QStringList written;
    written.reserve(items.size());
    for (const QString &item : items) {
        if (needsQuotes(item))
            written.append(u'"' + QString(item).replace(u"\""_qs, u"\"\""_qs) + u'"');
        else
            written.append(item);
    }
    return written.join(u',');
}
