// The function list and the parameter hint of the IDE window.
#include "ide_run_fixture.h"

#include "ide/uKeloCompletion.h"

#include <QTest>

namespace {
const QStringList Functions{
    "function f(int a, int b, string s): int", "  result = a;", "endfunction", "function g(): void", "endfunction", "",
};

class CompletionTest : public RunTest
{
protected:
    TKeloCompletion &completion() { return *window->findChild<TKeloCompletion *>(); }
    TMemoCode &ed() { return *window->editor(); }
    void parse(const QStringList &extra = {})
    {
        setScript(Functions + extra);
        ASSERT_TRUE(window->ParseCode()) << window->items(window->lBoxErrors).join('|').toStdString();
    }
    // Puts the caret at the end of the last line and types text.
    void type(const QString &text)
    {
        ed().setCaretXY({int(ed().LineText(ed().LineCount()).size()) + 1, ed().LineCount()});
        QTest::keyClicks(&ed(), text);
    }
    // The parser allows one script function per name; a second g as a sandbox could declare it.
    void addOverloadOfG()
    {
        auto g = std::make_unique<TFunction>();
        g->setName(QStringLiteral("g"));
        g->AddParameter(std::make_unique<TDeclaration>(QStringLiteral("n"), TType::int_));
        window->program()->AddFunction(std::move(g));
    }
    void openList() { QTest::keyClick(&ed(), Qt::Key_Space, Qt::ControlModifier); }
    void openHint() { QTest::keyClick(&ed(), Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier); }
};
} // namespace

TEST_F(CompletionTest, ListsTheBuiltInsAtOnceAndTheScriptsFunctionsAfterAParse)
{
    TSynCompletionProposal *list = completion().SynComp();
    EXPECT_EQ(list->InsertList(), (QStringList{"exit", "message", "tick", "ticks"}));
    parse();
    EXPECT_EQ(list->InsertList(), (QStringList{"exit", "message", "tick", "ticks", "f", "g"}));
    EXPECT_EQ(list->ItemList()[4], QStringLiteral("\\style{+B}f\\style{-B}(int a, b, string s): int"));
    EXPECT_EQ(list->ItemList()[5], QStringLiteral("\\style{+B}g\\style{-B}: void"));
}

TEST_F(CompletionTest, TheListFiltersByThePrefixAndInsertsOnlyTheName)
{
    parse();
    type("x = ti");
    openList();
    TSynCompletionProposal *list = completion().SynComp();
    ASSERT_TRUE(list->Active());
    EXPECT_EQ(list->DisplayedLines().size(), 2); // tick, ticks
    QTest::keyClick(&ed(), Qt::Key_Down);
    QTest::keyClick(&ed(), Qt::Key_Return);
    EXPECT_FALSE(list->Active());
    EXPECT_EQ(ed().LineText(ed().LineCount()), QStringLiteral("x = ticks"));

    type(" + F"); // any letter case matches
    openList();
    EXPECT_EQ(list->DisplayedLines(), QStringList{"\\style{+B}f\\style{-B}(int a, b, string s): int"});
    QTest::keyClicks(&ed(), "("); // an end-of-token character completes first
    EXPECT_EQ(ed().LineText(ed().LineCount()), QStringLiteral("x = ticks + f("));

    type(" q");
    openList();
    EXPECT_FALSE(list->Active()); // nothing matches
}

TEST_F(CompletionTest, TheHintShowsTheArgumentUnderTheCaretInBold)
{
    parse();
    type("x = f(1, ");
    openHint();
    TSynCompletionProposal *hint = completion().SynParams();
    ASSERT_TRUE(hint->Active());
    EXPECT_EQ(hint->DisplayedLines(), QStringList{"int a \\style{+B}int b\\style{-B} string s"});
    QTest::keyClicks(&ed(), "2, ");
    EXPECT_EQ(hint->DisplayedLines(), QStringList{"int a int b \\style{+B}string s\\style{-B}"});

    const int y = ed().LineHeight() / 2;
    QTest::mouseClick(ed().viewport(), Qt::LeftButton, {}, QPoint(ed().GutterWidth() + 20, y));
    EXPECT_FALSE(hint->Active()); // a click into the editor closes it
}

TEST_F(CompletionTest, OverloadsGiveOneLineEachAndUnknownNamesNoHint)
{
    parse();
    addOverloadOfG();
    type("g(");
    openHint();
    TSynCompletionProposal *hint = completion().SynParams();
    EXPECT_EQ(hint->DisplayedLines(),
              (QStringList{"\\style{+B}<ohne Parameter>\\style{-B}", "\\style{+B}int n\\style{-B}"}));
    QTest::keyClick(&ed(), Qt::Key_Escape);
    EXPECT_FALSE(hint->Active());

    type(");");
    type("h(");
    openHint();
    EXPECT_FALSE(hint->Active());
}

TEST_F(CompletionTest, TheHintOpensAfterTheTimerOnlyIfNothingElseWasTyped)
{
    parse();
    TSynCompletionProposal *hint = completion().SynParams();
    type("f(");
    EXPECT_TRUE(hint->TriggerTimer()->isActive());
    EXPECT_EQ(hint->TriggerTimer()->interval(), 1200);
    QTest::keyClicks(&ed(), "1");
    EXPECT_FALSE(hint->TriggerTimer()->isActive());
    type(", g(");
    emit hint->TriggerTimer()->timeout({});
    EXPECT_EQ(hint->DisplayedLines(), QStringList{"\\style{+B}<ohne Parameter>\\style{-B}"});

    type("."); // the list has no timer
    EXPECT_FALSE(completion().SynComp()->TriggerTimer()->isActive());
}

TEST_F(CompletionTest, NeitherPopUpOpensWhileAScriptRuns)
{
    parse({"tick();", "tick();"});
    window->AcStepExecute();
    ASSERT_TRUE(window->IsRunning());
    ed().setCaretXY({5, 1});
    openList();
    openHint();
    EXPECT_FALSE(completion().SynComp()->Active());
    EXPECT_FALSE(completion().SynParams()->Active());
    window->AcStopExecute();
}

TEST(FormattedText, SplitsIntoBoldRuns)
{
    EXPECT_EQ(FormattedRuns("\\style{+B}f\\style{-B}(int a): int"),
              (QList<TFormattedRun>{{"f", true}, {"(int a): int", false}}));
    EXPECT_EQ(FormattedRuns("a\\style{+B}b"), (QList<TFormattedRun>{{"a", false}, {"b", true}}));
}
