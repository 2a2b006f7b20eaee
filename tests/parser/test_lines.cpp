// Line rules: comment cut, first word, bracket scanning outside string
// literals, the caret scanner of the parameter hints.
#include "parser/uKeloParser.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

TEST(LineRules, CommentCutIgnoresQuotesAndTrims)
{
    QString line = QStringLiteral("string s = \"http://x\";");
    EXPECT_TRUE(stripComment(line));
    EXPECT_EQ(line, QStringLiteral("string s = \"http:"));

    QString plain = QStringLiteral(" \tx = 1;\x01 ");
    EXPECT_FALSE(stripComment(plain));
    EXPECT_EQ(plain, QStringLiteral("x = 1;"));

    EXPECT_TRUE(isCommentLine(QStringLiteral("// note")));
    EXPECT_FALSE(isCommentLine(QStringLiteral("x = 1; // note")));
}

TEST(LineRules, FirstWordSplitsAtSpaceOnly)
{
    EXPECT_EQ(firstWord(QStringLiteral("IF (x)")), QStringLiteral("IF"));
    EXPECT_EQ(firstWord(QStringLiteral("if(x > 0)")), QStringLiteral("if(x"));
    EXPECT_EQ(firstWord(QStringLiteral("endif")), QStringLiteral("endif"));
    // A tab never separates words.
    EXPECT_EQ(firstWord(QStringLiteral("int\tx = 1;")), QStringLiteral("int\tx"));
}

TEST(LineRules, DirectivesSwitchSoftModeBySubstring)
{
    TKeloParser parser;
    EXPECT_FALSE(parser.checkDirective(QStringLiteral("x = 1; // plain comment")));
    EXPECT_TRUE(parser.checkDirective(QStringLiteral("x = 1; //! note")));
    EXPECT_FALSE(parser.Softmode());
    EXPECT_TRUE(parser.checkDirective(QStringLiteral("//!soft=10")));
    EXPECT_TRUE(parser.Softmode());
    EXPECT_TRUE(parser.checkDirective(QStringLiteral("//! other directive")));
    EXPECT_TRUE(parser.Softmode()) << "a directive without soft= keeps the flag";
    EXPECT_TRUE(parser.checkDirective(QStringLiteral("//!soft=yes")));
    EXPECT_FALSE(parser.Softmode());
    parser.checkDirective(QStringLiteral("x = 1; //!soft=1"));
    EXPECT_TRUE(parser.Softmode());
    parser.checkDirective(QStringLiteral("//!soft=0"));
    EXPECT_FALSE(parser.Softmode());
}

TEST(LineRules, EndingsMustBeShorterThanTheTextAndMatchInCase)
{
    EXPECT_TRUE(endsWithAny(QStringLiteral("a div"), {"div"}));
    EXPECT_FALSE(endsWithAny(QStringLiteral("div"), {"div"})) << "must be longer than the ending";
    EXPECT_FALSE(endsWithAny(QStringLiteral("a DIV"), {"div"}));
}

TEST(LineRules, BracketGroups)
{
    QString text = QStringLiteral("(a + (b)");
    QString content = QStringLiteral("untouched");
    bool after = true;
    EXPECT_FALSE(extractBrackets(text, true, after, content));
    EXPECT_EQ(text, QStringLiteral("(a + (b)"));

    text = QStringLiteral(" x > 0 ");
    after = true;
    EXPECT_TRUE(extractBrackets(text, false, after, content));
    EXPECT_TRUE(content.isEmpty());
    EXPECT_EQ(text, QStringLiteral("x > 0"));
    EXPECT_FALSE(after);

    text = QStringLiteral("(a) b");
    after = true;
    EXPECT_TRUE(extractBrackets(text, false, after, content));
    EXPECT_EQ(content, QStringLiteral("a"));
    EXPECT_FALSE(after);

    text = QStringLiteral("move ( \")(\" , f(1) )  ");
    after = true;
    EXPECT_TRUE(extractBrackets(text, true, after, content));
    EXPECT_EQ(content, QStringLiteral("\")(\" , f(1)"));
    EXPECT_EQ(text, QStringLiteral("move"));
    EXPECT_TRUE(after);

    // A flag that comes in false stays false.
    text = QStringLiteral("(a)");
    after = false;
    EXPECT_TRUE(extractBrackets(text, false, after, content));
    EXPECT_FALSE(after);
}

TEST(LineRules, BracketGroupScanFollowsTextInPieces)
{
    TBracketGroupScan scan;
    scan.feed(u"if (a and \"(\"");
    EXPECT_TRUE(scan.opened());
    EXPECT_FALSE(scan.closed());
    scan.feed(u" b)");
    EXPECT_TRUE(scan.closed());
    EXPECT_EQ(scan.openPos(), 3);
    EXPECT_EQ(scan.closePos(), 15);
}

TEST(LineRules, CallAroundTheCaret)
{
    QString name;
    int index = -1;
    ASSERT_TRUE(findCallAtCursor(QStringLiteral("x = move(getTile(1, 2), "), name, index));
    EXPECT_EQ(name, QStringLiteral("move"));
    EXPECT_EQ(index, 1);

    ASSERT_TRUE(findCallAtCursor(QStringLiteral("foo(a,(b), "), name, index));
    EXPECT_EQ(name, QStringLiteral("foo"));
    EXPECT_EQ(index, 2);

    ASSERT_TRUE(findCallAtCursor(QStringLiteral("message (\"a, (b\", "), name, index));
    EXPECT_EQ(name, QStringLiteral("message"));
    EXPECT_EQ(index, 1);

    name = QStringLiteral("kept");
    EXPECT_FALSE(findCallAtCursor(QStringLiteral("(a, b"), name, index));
    EXPECT_FALSE(findCallAtCursor(QStringLiteral("f(a)"), name, index));
    EXPECT_FALSE(findCallAtCursor(QStringLiteral("a))(("), name, index));
    EXPECT_FALSE(findCallAtCursor(QString(), name, index));
    EXPECT_EQ(name, QStringLiteral("kept"));
}

TEST(LineRules, KeywordListsAreSortedAndCaseBlind)
{
    EXPECT_EQ(blockKeywords().size(), 8);
    EXPECT_EQ(reservedWords().size(), 13);
    EXPECT_TRUE(std::is_sorted(reservedWords().begin(), reservedWords().end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
    EXPECT_TRUE(containsWord(blockKeywords(), QStringLiteral("EndWhile")));
    EXPECT_FALSE(containsWord(blockKeywords(), QStringLiteral("div")));
    EXPECT_TRUE(containsWord(reservedWords(), QStringLiteral("div")));
}

TEST(ParserMessages, NumberedFromCurrentLineAndCarryTheLine)
{
    TKeloParser parser;
    parser.curLineNr = 4;
    parser.addError(QStringLiteral("ungültige Anweisung"));
    parser.curLineNr = 0;
    parser.addWarning(QStringLiteral("code nach else Schlüsselwort wird ignoriert"));
    ASSERT_EQ(parser.ErrorLog().size(), 1);
    EXPECT_EQ(parser.ErrorLog()[0].Text, QStringLiteral("Fehler: Zeile 5 : ungültige Anweisung"));
    EXPECT_EQ(parser.ErrorLog()[0].Line, 5);
    ASSERT_EQ(parser.Warnings().size(), 1);
    EXPECT_EQ(parser.Warnings()[0].Text,
              QStringLiteral("Warnung: Zeile 1 : code nach else Schlüsselwort wird ignoriert"));
    EXPECT_EQ(parser.Warnings()[0].Line, 1);
    parser.Init();
    EXPECT_EQ(parser.ErrorLog().size(), 1) << "Init leaves the message lists alone";
}
