// The function list and the parameter hint of the IDE window.
#include "ide_run_fixture.h"

#include "ide/uKeloCompletion.h"

#include <QScrollBar>
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

// The list refilters with every key as soon as the key's character stands in the text.
TEST_F(CompletionTest, TheOpenListFiltersByEveryTypedKey)
{
    const struct
    {
        QString typed;
        Qt::Key finish;
        QString line;
    } cases[] = {
        {"ticks", Qt::Key_Return, "x = ticks"}, // not tick, the first match for "tick"
        {"tic", Qt::Key_Tab, "x = tick"},
        {"tiq", Qt::Key_ParenLeft, "x = tiq("}, // nothing matches: the list is gone, the word stays
        {"mes", Qt::Key_ParenLeft, "x = message("},
    };
    parse();
    TSynCompletionProposal *list = completion().SynComp();
    for (const auto &c : cases) {
        type("");
        QTest::keyClick(&ed(), Qt::Key_Return);
        QTest::keyClicks(&ed(), "x = ");
        openList();
        ASSERT_TRUE(list->Active());
        QTest::keyClicks(&ed(), c.typed);
        c.finish == Qt::Key_ParenLeft ? QTest::keyClicks(&ed(), "(") : QTest::keyClick(&ed(), c.finish);
        EXPECT_EQ(ed().LineText(ed().LineCount()), c.line) << c.typed.toStdString();
        list->CancelCompletion();
    }
}

TEST_F(CompletionTest, EachOpeningSelectsTheFirstMatchAndCaretJumpsCloseTheList)
{
    parse();
    TSynCompletionProposal *list = completion().SynComp();
    for (Qt::Key jump : {Qt::Key_Escape, Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right}) {
        type("");
        openList();
        EXPECT_EQ(list->SelectedRow(), 0);
        QTest::keyClick(&ed(), Qt::Key_Down);
        QTest::keyClick(&ed(), Qt::Key_Down);
        QTest::keyClick(&ed(), jump);
        EXPECT_FALSE(list->Active()) << QKeySequence(jump).toString().toStdString();
    }
}

TEST_F(CompletionTest, AListLongerThanItsWindowShowsAScrollBar)
{
    parse();
    TSynCompletionProposal *list = completion().SynComp();
    auto scrollBar = [&] { return list->PopupWindow()->findChild<QScrollBar *>(); };
    type("");
    openList();
    ASSERT_NE(scrollBar(), nullptr);
    EXPECT_FALSE(scrollBar()->isVisible()) << "six entries fit";
    list->CancelCompletion();
    for (int i = 0; i < 10; ++i) {
        list->InsertList().append(QStringLiteral("extra%1").arg(i));
        list->ItemList().append(QStringLiteral("extra%1").arg(i));
    }
    openList();
    EXPECT_TRUE(scrollBar()->isVisible());
    EXPECT_EQ(scrollBar()->maximum(), 6);
    for (int i = 0; i < 15; ++i)
        QTest::keyClick(&ed(), Qt::Key_Down);
    EXPECT_EQ(scrollBar()->value(), 6) << "the bar follows the selected row";
}

TEST_F(CompletionTest, TheHintStaysUnderItsCallsBracket)
{
    parse();
    type("x = f(1");
    openHint();
    TSynCompletionProposal *hint = completion().SynParams();
    const auto xOf = [&](int column) { return ed().mapToGlobal(ed().BufferToPixels({column, ed().CaretY()})).x(); };
    EXPECT_EQ(hint->PopupWindow()->x(), xOf(6));
    QTest::keyClicks(&ed(), ", 22,");
    EXPECT_EQ(hint->PopupWindow()->x(), xOf(6)) << "the caret is at " << xOf(ed().CaretX());
    EXPECT_EQ(hint->DisplayedLines(), QStringList{"int a int b \\style{+B}string s\\style{-B}"})
        << "bold moves on at the comma";
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
