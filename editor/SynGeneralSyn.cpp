#include "editor/SynGeneralSyn.h"

#include "parser/uKeloLines.h"

#include <Qsci/qsciscintilla.h>

TSynGeneralSyn::TSynGeneralSyn(QObject *parent) : QsciLexerCustom(parent)
{
    setDefaultPaper(Qt::white);
    setPaper(Qt::white);
}

QString TSynGeneralSyn::description(int style) const
{
    static const char *const names[StyleCount] = {"Default", "Comment", "String",    "Number",
                                                  "Keyword", "Symbol",  "Identifier"};
    return style >= 0 && style < StyleCount ? QString::fromLatin1(names[style]) : QString();
}

QColor TSynGeneralSyn::defaultColor(int style) const
{
    switch (style) {
    case Comment:
        return QColor(0, 159, 0);
    case String:
    case Number:
        return QColor(0, 0, 255);
    case Symbol:
        return QColor(128, 128, 128);
    default:
        return Qt::black;
    }
}

void TSynGeneralSyn::setKeyWords(const QStringList &words)
{
    iKeyWordList = words;
    iKeyWords.clear();
    for (const QString &w : words)
        iKeyWords.insert(w.toUpper().toUtf8());
    if (editor())
        editor()->recolor();
}

void TSynGeneralSyn::setTextFont(const QFont &font)
{
    setDefaultFont(font);
    setFont(font, -1);
    QFont bold(font);
    bold.setBold(true);
    setFont(bold, Keyword);
}

static bool isIdentByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the token starting at `at`, and its style.
int TSynGeneralSyn::styleToken(const QByteArray &line, int at, Style &style) const
{
    const int n = line.size();
    const char c = line[at];
    if (c == '"') {
        style = String;
        const int close = line.indexOf('"', at + 1);
        return close < 0 ? n - at : close + 1 - at;
    }
    int end = at + 1;
    if (isDigit(c)) {
        style = Number;
        while (end < n && (isDigit(line[end]) || line[end] == '.'))
            ++end;
        return end - at;
    }
    if (isIdentByte(c)) {
        while (end < n && isIdentByte(line[end]))
            ++end;
        style = iKeyWords.contains(line.mid(at, end - at).toUpper()) ? Keyword : Identifier;
        return end - at;
    }
    style = (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? Default : Symbol;
    return 1;
}

// Bytes before the comment. The parser cuts a line at its first "//", inside
// quotes too, and the colours must show what it will see.
static int codeBytes(const QByteArray &line)
{
    const QString text = QString::fromUtf8(line);
    const qsizetype at = commentStart(text);
    return at < 0 ? int(line.size()) : int(QStringView(text).left(at).toUtf8().size());
}

QList<TSynGeneralSyn::Style> TSynGeneralSyn::styleLine(const QByteArray &line) const
{
    const QByteArray code = line.left(codeBytes(line));
    QList<Style> styles;
    styles.reserve(line.size());
    for (int at = 0; at < code.size();) {
        Style style = Default;
        const int len = styleToken(code, at, style);
        styles.insert(styles.size(), len, style);
        at += len;
    }
    styles.insert(styles.size(), line.size() - code.size(), Comment);
    return styles;
}

// Styles whole lines: no token spans a line break, so restarting at the line
// start is always safe.
void TSynGeneralSyn::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed || end <= start)
        return;
    const int firstLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    start = int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine));
    const QByteArray text = ed->bytes(start, end).left(end - start);
    startStyling(start);
    int lineStart = 0;
    while (lineStart < text.size()) {
        int lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != '\n' && text[lineEnd] != '\r')
            ++lineEnd;
        const QList<Style> styles = styleLine(text.mid(lineStart, lineEnd - lineStart));
        for (qsizetype at = 0; at < styles.size();) {
            qsizetype run = at + 1;
            while (run < styles.size() && styles[run] == styles[at])
                ++run;
            setStyling(int(run - at), styles[at]);
            at = run;
        }
        int next = lineEnd;
        while (next < text.size() && (text[next] == '\n' || text[next] == '\r'))
            ++next;
        if (next > lineEnd)
            setStyling(next - lineEnd, Default);
        lineStart = next;
    }
}
