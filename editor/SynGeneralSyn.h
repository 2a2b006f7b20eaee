#pragma once
// The script highlighter: keywords and type names in any letter case, "//"
// comments to the end of the line (quotes do not hide them, as for the parser),
// double-quoted strings, numbers and symbols.
#include <Qsci/qscilexercustom.h>

#include <QSet>
#include <QStringList>

class TSynGeneralSyn : public QsciLexerCustom
{
    Q_OBJECT
public:
    enum Style { Default = 0, Comment, String, Number, Keyword, Symbol, Identifier, StyleCount };

    explicit TSynGeneralSyn(QObject *parent = nullptr);

    const char *language() const override { return "Kelo"; }
    QString description(int style) const override;
    bool caseSensitive() const override { return false; }
    QColor defaultColor(int style) const override;
    void styleText(int start, int end) override;

    QStringList KeyWords() const { return iKeyWordList; }
    void setKeyWords(const QStringList &words);
    // Gives every style the font; keywords get its bold variant.
    void setTextFont(const QFont &font);

    // The style of each byte of one line; exposed for the highlighter's tests.
    QList<Style> styleLine(const QByteArray &line) const;

private:
    int styleToken(const QByteArray &line, int at, Style &style) const;

    QStringList iKeyWordList;
    QSet<QByteArray> iKeyWords; // upper-cased
};
