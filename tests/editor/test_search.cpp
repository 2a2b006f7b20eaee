// Search and replace of the editor with both engines.
#include "editor/MemoCode.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace {
class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ed.setLines({QStringLiteral("foo Foo food"), QStringLiteral("x1 foo x22")});
        ed.setCaretXY({1, 1});
    }
    TMemoCode ed;
};
} // namespace

TEST_F(SearchTest, FindsWithCaseWholeWordDirectionAndScope)
{
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("foo"), {}, {}), 1);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{1, 1}));
    ed.SearchReplace(QStringLiteral("foo"), {}, {});
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{5, 1})); // case-insensitive
    ed.SearchReplace(QStringLiteral("foo"), {}, ssoMatchCase | ssoWholeWord);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{4, 2})); // not "food"
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("foo"), {}, ssoMatchCase | ssoWholeWord), 0);

    ed.SearchReplace(QStringLiteral("x"), {}, ssoBackwards | ssoEntireScope);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{8, 2}));
    EXPECT_EQ(ed.SearchReplace(QString(), {}, {}), 0);
}

TEST_F(SearchTest, RegexEngineUsesEcmaScriptSyntax)
{
    ed.setSearchEngine(TSynSearchEngine::Regex);
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("x[0-9]+|zzz"), {}, ssoEntireScope), 1);
    EXPECT_EQ(ed.SelText(), QStringLiteral("x1"));
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("x(\\d+)"), QStringLiteral("y\\1"), ssoReplaceAll | ssoEntireScope), 2);
    EXPECT_EQ(ed.LineText(2), QStringLiteral("y1 foo y22"));
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("("), {}, ssoEntireScope), 0); // invalid pattern
}

TEST_F(SearchTest, RegexMatchesInsideWordsAreSkippedForWholeWords)
{
    ed.setLines({QStringLiteral("schafe schaf"), QStringLiteral("Schafbock schaf_2 Schäfchen schaf")});
    ed.setSearchEngine(TSynSearchEngine::Regex);
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("sch.f"), {}, ssoWholeWord | ssoEntireScope), 1);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{8, 1}));
    ed.SearchReplace(QStringLiteral("sch.f"), {}, ssoWholeWord);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{29, 2})) << "not schaf_2 nor the umlaut word";
    ed.SearchReplace(QStringLiteral("sch.f"), {}, ssoWholeWord | ssoBackwards | ssoEntireScope);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{29, 2}));
    ed.setCaretXY({20, 2});
    ed.SearchReplace(QStringLiteral("sch.f"), {}, ssoWholeWord | ssoBackwards);
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{8, 1})) << "backwards past schaf_2 and Schafbock";

    EXPECT_EQ(ed.SearchReplace(QStringLiteral("sch(a)f"), QStringLiteral("k\\1tze"),
                               ssoWholeWord | ssoReplaceAll | ssoEntireScope),
              2);
    EXPECT_EQ(ed.Lines(), QStringList({"schafe katze", "Schafbock schaf_2 Schäfchen katze"}));
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("sch"), {}, ssoWholeWord | ssoEntireScope), 0);
}

TEST_F(SearchTest, PromptedReplaceFollowsEachAnswer)
{
    QList<QPair<int, int>> asked;
    QList<TSynReplaceAction> answers{TSynReplaceAction::raSkip, TSynReplaceAction::raReplace,
                                     TSynReplaceAction::raReplaceAll};
    ed.setOnReplaceText([&](const QString &s, const QString &r, int line, int column) {
        EXPECT_EQ(s, QStringLiteral("foo"));
        EXPECT_EQ(r, QStringLiteral("bar"));
        asked.append({line, column});
        return answers.takeFirst();
    });
    const int n =
        ed.SearchReplace(QStringLiteral("foo"), QStringLiteral("bar"), ssoReplaceAll | ssoPrompt | ssoEntireScope);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(asked, (QList<QPair<int, int>>{{1, 1}, {1, 5}, {1, 9}})); // the fourth is not asked
    EXPECT_EQ(ed.Lines(), (QStringList{QStringLiteral("foo bar bard"), QStringLiteral("x1 bar x22")}));

    ed.undo(); // one step for the whole replacement
    EXPECT_EQ(ed.LineText(1), QStringLiteral("foo Foo food"));
}

TEST_F(SearchTest, CancelStopsAndAReplaceOfOneHandlesOnlyTheFirst)
{
    ed.setOnReplaceText([](const QString &, const QString &, int, int) { return TSynReplaceAction::raCancel; });
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("foo"), QStringLiteral("bar"), ssoReplaceAll | ssoPrompt), 1);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("foo Foo food"));

    ed.setCaretXY({1, 1});
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("foo"), QStringLiteral("bar"), ssoReplace), 1);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("bar Foo food"));
}

TEST_F(SearchTest, ReplacementsThatContainOrMatchNothingEnd)
{
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("foo"), QStringLiteral("foofoo"), ssoReplaceAll | ssoEntireScope), 4);
    EXPECT_EQ(ed.LineText(2), QStringLiteral("x1 foofoo x22"));

    ed.setSearchEngine(TSynSearchEngine::Regex);
    ed.setLines({QStringLiteral("ab")});
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("z*"), QStringLiteral("-"), ssoReplaceAll | ssoEntireScope), 2);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("-a-b"));

    ed.setReadOnly(true);
    EXPECT_EQ(ed.SearchReplace(QStringLiteral("a"), QStringLiteral("b"), ssoReplaceAll | ssoEntireScope), 0);
}

TEST_F(SearchTest, OnlyTheRegexEngineRefusesBrokenPatterns)
{
    const struct
    {
        TSynSearchEngine engine;
        QString pattern;
        bool valid;
    } cases[] = {
        {TSynSearchEngine::Regex, "fo+|x\\d", true}, {TSynSearchEngine::Regex, "(foo", false},
        {TSynSearchEngine::Regex, "[a-", false},     {TSynSearchEngine::Regex, "*x", false},
        {TSynSearchEngine::Plain, "(foo", true},
    };
    for (const auto &c : cases) {
        ed.setSearchEngine(c.engine);
        EXPECT_EQ(ed.SearchPatternValid(c.pattern), c.valid) << c.pattern.toStdString();
    }
}
