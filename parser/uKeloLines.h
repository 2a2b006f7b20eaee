#pragma once
// Line rules of Kelo code: the parser works on text, not on tokens. Every
// scanner that must ignore string literals steps through the text with
// TStringScan, so all of them agree on where a literal begins and ends.
// Positions reported by the search routines are 1-based, as in messages.
#include <QString>
#include <QStringList>
#include <QStringView>

// Character state machine shared by all scanners: tracks whether the scan is
// inside a double-quoted literal and whether a backslash escaped the next
// character there.
struct TStringScan {
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

// Removes every character with a code of 32 or less from both ends.
QString trimCodes(QStringView text);
// As above; a text without such ends is shared, not copied.
QString trimCodes(const QString &text);

bool isCommentLine(QStringView line);
// Where the comment of a line begins: at its first "//", quotes are not looked
// at; -1 without one.
qsizetype commentStart(QStringView line);
// Cuts from the first "//" (quotes are not looked at) and trims; true if cut.
bool stripComment(QString &line);
// As stripComment, without copying.
QStringView codeBeforeComment(QStringView line);
// Text before the first space, trimmed; the whole line, trimmed, without one.
QString firstWord(QStringView line);
// As firstWord, without copying.
QStringView firstWordView(QStringView line);
// As trimCodes, without copying.
QStringView trimmedView(QStringView text);
bool isValidIdentifier(const QString &name);
// A QString that reads the view's characters in place instead of copying them,
// for calls that take a QString but keep nothing of it. It must not outlive
// the characters.
QString borrowedString(QStringView text);

// Leftmost occurrence of op outside literals and brackets; letter case counts.
bool findOperator(QStringView text, QStringView op, int &pos, int &posBehind);
// The first of several operator texts, in list order, that occurs outside
// literals and brackets: its index in ops and its leftmost position. One scan
// serves all texts; later texts are dropped once an earlier one is found.
bool findFirstOperator(QStringView text, const QStringList &ops, int &index, int &pos, int &posBehind);
// Splits at every separator outside literals and brackets, as repeated
// findOperator searches would. The parts are views into text.
QList<QStringView> splitOutside(QStringView text, QChar separator);
// A minus that joins two operands, not the sign of a number. anyMinus tells
// whether a minus occurs outside literals and brackets behind the first
// character at all, so that no part of the text behind it holds one either.
bool findBinaryMinus(QStringView text, int &pos, int &posBehind, bool &anyMinus);
bool findBinaryMinus(QStringView text, int &pos, int &posBehind);
bool endsWithAny(QStringView text, const QStringList &endings);

// Content of the first top-level bracket group; false only when it is not
// closed. nothingAfter, when it comes in true, stays true only if nothing but
// white space follows the group.
bool extractBrackets(QString &text, bool remove, bool &nothingAfter, QString &content);

// The innermost open call in the text left of the caret: its name and the
// 0-based index of the argument being typed.
bool findCallAtCursor(const QString &text, QString &name, int &argIndex);

// Sorted, compared in any letter case; built on first use.
const QStringList &blockKeywords();
const QStringList &reservedWords();
bool containsWord(const QStringList &words, const QString &word);
