#include "parser/uKeloLines.h"

#include "base/uCommaText.h"
#include "script/uKeloTypes.h"

#include <algorithm>

void TBracketGroupScan::feed(QStringView part)
{
    for (const QChar c : part) {
        const int i = iFed++;
        if (closed() || !iScan.step(c))
            continue;
        if (!opened()) {
            if (c == u'(') {
                iOpenPos = i;
                iDepth = 1;
            }
            continue;
        }
        if (c == u'(')
            ++iDepth;
        else if (c == u')' && --iDepth == 0)
            iClosePos = i;
    }
}

QString trimCodes(QStringView text) { return trimmedView(text).toString(); }

QString trimCodes(const QString &text)
{
    const bool trimmed = text.isEmpty() || (text.front().unicode() > 32 && text.back().unicode() > 32);
    return trimmed ? text : trimCodes(QStringView(text));
}

bool isCommentLine(QStringView line) { return line.startsWith(u"//"); }

qsizetype commentStart(QStringView line)
{
    // Most lines hold no slash at all: the single-character search settles them.
    const qsizetype slash = findChar(line, u'/');
    return slash < 0 ? slash : line.indexOf(u"//", slash);
}

bool stripComment(QString &line)
{
    const qsizetype at = commentStart(line);
    if (at >= 0)
        line.truncate(at);
    line = trimCodes(line);
    return at >= 0;
}

QStringView firstWordView(QStringView line)
{
    const QChar *space = std::find(line.begin(), line.end(), QChar(u' '));
    return trimmedView(line.first(space - line.begin()));
}

QString firstWord(QStringView line) { return firstWordView(line).toString(); }

bool isValidIdentifier(const QString &name)
{
    const QString word = trimCodes(name);
    if (containsWord(reservedWords(), word) || word.contains(u' ') || word.contains(u','))
        return false;
    bool failed = false;
    StrToType(word, failed);
    if (!failed)
        return false;
    // An empty text is no literal either, but it names nothing.
    failed = false;
    LiteralType(word, failed);
    return failed;
}

QString borrowedString(QStringView text) { return QString::fromRawData(text.data(), text.size()); }

QString loweredWord(QStringView word)
{
    const bool lower =
        std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 128 && !(c >= u'A' && c <= u'Z'); });
    const QString borrowed = borrowedString(word);
    return lower ? borrowed : borrowed.toLower();
}

TOperatorTexts::TOperatorTexts(const QStringList &texts) : iTexts(texts)
{
    Q_ASSERT(texts.size() <= 32);
    for (int k = 0; k < texts.size(); ++k) {
        // An empty text occurs nowhere.
        if (texts[k].isEmpty())
            continue;
        const char16_t c = texts[k][0].unicode();
        (c < 128 ? iStarts[c] : iOthers) |= quint32(1) << k;
    }
}

QList<QStringView> splitOutside(QStringView text, QChar separator)
{
    QList<QStringView> parts;
    int start = 0;
    scanTopLevel(text, [&](int i) {
        if (text[i] == separator) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
        return false;
    });
    parts.append(text.mid(start));
    return parts;
}

TOccurrence judgeMinus(QStringView text, int i)
{
    static const QStringList multiplicative = {"*", "/", "div", "%"};
    if (i == 0)
        return TOccurrence::Pass;
    const int skipped = text.startsWith(u'-') ? 1 : 0;
    const bool joins = !endsWithAny(trimmedView(text.mid(skipped, i - skipped)), multiplicative);
    return joins ? TOccurrence::Take : TOccurrence::Refuse;
}

bool endsWithAny(QStringView text, const QStringList &endings)
{
    for (const QString &ending : endings) {
        if (text.size() > ending.size() && text.endsWith(ending))
            return true;
    }
    return false;
}

bool extractBrackets(QString &text, bool remove, bool &nothingAfter, QString &content)
{
    TBracketGroupScan group;
    group.feed(text);
    if (!group.opened()) {
        content.clear();
        text = trimCodes(text);
        nothingAfter = nothingAfter && text.isEmpty();
        return true;
    }
    if (!group.closed())
        return false;
    const int open = group.openPos();
    const int close = group.closePos();
    content = trimCodes(QStringView(text).mid(open + 1, close - open - 1));
    nothingAfter = nothingAfter && trimCodes(QStringView(text).mid(close + 1)).isEmpty();
    if (remove)
        text.remove(open, close - open + 1);
    text = trimCodes(text);
    return true;
}

namespace {
// Overwrites every character of a string literal, quotes included, by 's'.
void maskLiterals(QString &text)
{
    TStringScan scan;
    for (QChar &c : text) {
        if (!scan.step(c))
            c = u's';
    }
}

// Index of the '(' matching the ')' at close, or -1 when it is unmatched.
int matchingOpenBracket(const QString &text, int close)
{
    int depth = 0;
    for (int i = close; i >= 0; --i) {
        if (text[i] == u')')
            ++depth;
        else if (text[i] == u'(' && --depth == 0)
            return i;
    }
    return -1;
}

bool isIdentifierChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'_';
}

// The identifier that ends before the bracket at open, blanks skipped.
QString nameBefore(const QString &text, int open)
{
    int end = open - 1;
    while (end >= 0 && text[end].unicode() <= 32)
        --end;
    int start = end;
    while (start >= 0 && isIdentifierChar(text[start]))
        --start;
    return text.mid(start + 1, end - start);
}
} // namespace

bool findCallAtCursor(const QString &text, QString &name, int &argIndex, int *openAt)
{
    QString line = text;
    stripComment(line);
    maskLiterals(line);
    int arg = 0;
    for (int i = int(line.size()) - 1; i >= 0; --i) {
        const QChar c = line[i];
        if (c == u',') {
            ++arg;
        } else if (c == u')') {
            i = matchingOpenBracket(line, i);
        } else if (c == u'(') {
            const QString called = nameBefore(line, i);
            if (called.isEmpty())
                return false;
            name = called;
            argIndex = arg;
            if (openAt)
                *openAt = i;
            return true;
        }
    }
    return false;
}

namespace {
QStringList sortedWords(const char *commaText)
{
    QStringList words = ReadCommaText(QString::fromLatin1(commaText));
    words.sort(Qt::CaseInsensitive);
    return words;
}
} // namespace

const QStringList &blockKeywords()
{
    static const QStringList words = sortedWords("IF,ELSE,ELSEIF,ENDIF,WHILE,ENDWHILE,FUNCTION,ENDFUNCTION");
    return words;
}

const QStringList &reservedWords()
{
    static const QStringList words =
        sortedWords("IF,ELSE,ELSEIF,ENDIF,WHILE,ENDWHILE,FUNCTION,ENDFUNCTION,DIV,OR,AND,NOT,REF");
    return words;
}

bool containsWord(const QStringList &words, const QString &word) { return words.contains(word, Qt::CaseInsensitive); }
