#pragma once
// Line rules of Kelo code: the parser works on text, not on tokens. Every
// scanner that must ignore string literals steps through the text with
// TStringScan, so all of them agree on where a literal begins and ends.
// Positions reported by the search routines are 1-based, as in messages.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <array>
#include <bit>

// Character state machine shared by all scanners: tracks whether the scan is
// inside a double-quoted literal and whether a backslash escaped the next
// character there.
struct TStringScan
{
    bool inString = false;
    bool escaped = false;

    // Advances over c; true when c is code, i.e. neither part of a literal nor
    // one of its quotes.
    bool step(QChar c)
    {
        if (inString && c == u'\\' && !escaped) {
            escaped = true;
            return false;
        }
        if (c == u'"' && !escaped) {
            inString = !inString;
            return false;
        }
        escaped = false;
        return !inString;
    }
};

// Follows the first top-level bracket group of a text that may arrive in
// pieces (a block header that runs over several lines).
class TBracketGroupScan
{
public:
    void feed(QStringView part);
    bool opened() const { return iOpenPos >= 0; }
    bool closed() const { return iClosePos >= 0; }
    // 0-based positions of the group's brackets in all text fed so far; -1 if none.
    int openPos() const { return iOpenPos; }
    int closePos() const { return iClosePos; }

private:
    TStringScan iScan;
    int iDepth = 0;
    int iFed = 0;
    int iOpenPos = -1;
    int iClosePos = -1;
};

// Removes every character with a code of 32 or less from both ends, without copying.
inline QStringView trimmedView(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// Index of the first c in text, or -1. The library's indexOf takes its general
// substring path even for one character, which costs more on short texts.
inline qsizetype findChar(QStringView text, QChar c)
{
    const QChar *at = std::find(text.begin(), text.end(), c);
    return at == text.end() ? -1 : at - text.begin();
}

// As trimmedView, as a copy.
QString trimCodes(QStringView text);
// As above; a text without such ends is shared, not copied.
QString trimCodes(const QString &text);

bool isCommentLine(QStringView line);
// Where the comment of a line begins: at its first "//", quotes are not looked
// at; -1 without one.
qsizetype commentStart(QStringView line);
// Cuts from the first "//" (quotes are not looked at) and trims; true if cut.
bool stripComment(QString &line);
// Text before the first space, trimmed; the whole line, trimmed, without one.
QString firstWord(QStringView line);
// As firstWord, without copying.
QStringView firstWordView(QStringView line);
bool isValidIdentifier(const QString &name);
// As QString::toLower, read in place when that changes nothing: an ASCII word
// without capitals.
QString loweredWord(QStringView word);
// A QString that reads the view's characters in place instead of copying them,
// for calls that take a QString but keep nothing of it. It must not outlive
// the characters, and must not be hashed: the library's hash reads a few bytes
// past the end, which is harmless but alarms memory checkers for unaligned text.
QString borrowedString(QStringView text);

// Calls visit(index) for every code character at bracket depth 0 that is not a
// bracket itself, until visit returns true.
template <typename Visit> void scanTopLevel(QStringView text, Visit visit)
{
    TStringScan scan;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!scan.step(c))
            continue;
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (depth == 0 && visit(int(i)))
            return;
    }
}

// Whether op occurs in text at 0-based position i; op is short, so a plain
// comparison beats the library's general one.
inline bool startsAt(QStringView text, int i, QStringView op)
{
    return op.size() <= text.size() - i && std::equal(op.begin(), op.end(), text.begin() + i);
}

// Operator texts, at most 32, with the characters they begin with, so that one
// scan looks for any subset of them. Sets of texts are bit masks by index.
class TOperatorTexts
{
public:
    explicit TOperatorTexts(const QStringList &texts);
    qsizetype size() const { return iTexts.size(); }
    const QString &operator[](int k) const { return iTexts[k]; }
    quint32 startingWith(QChar c) const { return c.unicode() < 128 ? iStarts[c.unicode()] : iOthers; }

private:
    QStringList iTexts;
    std::array<quint32, 128> iStarts{};
    quint32 iOthers = 0;
};

// What a search makes of a place where a wanted text occurs: found there, not
// there but maybe further on, or not to be looked for any more.
enum class TOccurrence { Take, Pass, Refuse };

// The wanted text of lowest index that occurs outside literals and brackets
// at a place judge takes, and in at its leftmost such place (0-based); -1 when
// there is none. One scan serves all texts: higher ones are dropped once a
// text is found, and the scan ends when nothing is left to look for.
template <typename Judge>
int findFirstTaken(QStringView text, const TOperatorTexts &ops, quint32 wanted, int &at, Judge judge)
{
    int found = -1;
    scanTopLevel(text, [&](int i) {
        for (quint32 here = ops.startingWith(text[i]) & wanted; here != 0; here &= here - 1) {
            const int k = std::countr_zero(here);
            if (!startsAt(text, i, ops[k]))
                continue;
            const TOccurrence occurrence = judge(k, i);
            if (occurrence == TOccurrence::Pass)
                continue;
            wanted &= ~(quint32(1) << k);
            if (occurrence == TOccurrence::Refuse)
                continue;
            found = k;
            at = i;
            wanted &= (quint32(1) << k) - 1;
            break;
        }
        return wanted == 0;
    });
    return found;
}

// Splits at every separator outside literals and brackets. The parts are views into text.
QList<QStringView> splitOutside(QStringView text, QChar separator);
// Whether a minus at 0-based position i joins two operands rather than being
// the sign of a number: a leading minus is a sign, so a later one may still
// join; the first one behind it joins unless it follows a multiplicative
// operator, and then none does.
TOccurrence judgeMinus(QStringView text, int i);
bool endsWithAny(QStringView text, const QStringList &endings);

// Content of the first top-level bracket group; false only when it is not
// closed. nothingAfter, when it comes in true, stays true only if nothing but
// white space follows the group.
bool extractBrackets(QString &text, bool remove, bool &nothingAfter, QString &content);

// The innermost open call in the text left of the caret: its name, the
// 0-based index of the argument being typed and, if asked, the 0-based
// position of its opening bracket in the text.
bool findCallAtCursor(const QString &text, QString &name, int &argIndex, int *openAt = nullptr);

// Sorted, compared in any letter case; built on first use.
const QStringList &blockKeywords();
const QStringList &reservedWords();
bool containsWord(const QStringList &words, const QString &word);
