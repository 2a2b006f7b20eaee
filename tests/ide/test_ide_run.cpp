// Run control of the IDE window: the four run states with their actions,
// breakpoints, the announced line and the variable view at both speeds, error
// listing, arithmetic faults, and commands arriving while a run is on the stack.
#include "ide_run_fixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

namespace {
// Editor lines 1..6; the loop body ticks three times.
const QStringList LoopScript{
    "int i = 0;", "while (i < 3)", "  tick();", "  i = i + 1;", "endwhile", "message(\"fertig \" + i);",
};
} // namespace

TEST_F(RunTest, StartOnABrokenScriptListsErrorsAndLeavesStepDisabledUntilARunEnds)
{
    EXPECT_EQ(window->runActions(), Idle);
    setScript({"int x = 1;", "x = ;", "tick();"});
    window->AcStartExecute();
    EXPECT_EQ(window->runActions(), IdleAfterFailedStart);
    EXPECT_EQ(window->box.resets, 0) << "nothing is started";
    EXPECT_EQ(window->box.ticks, 0);
    ASSERT_GT(window->lBoxErrors->count(), 0);
    EXPECT_TRUE(window->lBoxErrors->item(0)->text().startsWith("Fehler: Zeile 2 : "));
    EXPECT_EQ(window->tabText(window->tsErrors), QString("Fehler (%1)").arg(window->lBoxErrors->count()));
    EXPECT_EQ(window->PctrlMsg->currentWidget(), window->tsErrors);

    setScript(LoopScript);
    window->SetSpeed(100);
    window->AcStartExecute();
    EXPECT_EQ(window->runActions(), Idle) << "a run that ends leaves the failed-start state";
    EXPECT_EQ(window->box.ticks, 3);
}

TEST_F(RunTest, StepStartsPausedAtTheFirstStatementAndStartRunsToTheEnd)
{
    setScript(LoopScript);
    window->AcStepExecute();
    EXPECT_EQ(window->runActions(), Paused);
    EXPECT_TRUE(window->IsRunning());
    EXPECT_EQ(plugin().CurrentLine(), 1);
    EXPECT_TRUE(window->editor()->isReadOnly()) << "the text cannot change under a running program";
    EXPECT_TRUE(window->items(window->lBoxCodeVarNames).isEmpty()) << "no Return entry while running";
    EXPECT_EQ(window->box.resets, 1);
    EXPECT_EQ(window->statusText(3), "Zeile      1");

    window->AcStepExecute();
    EXPECT_EQ(plugin().CurrentLine(), 2);
    EXPECT_EQ(window->items(window->lBoxCodeVarNames), QStringList{"i"});
    EXPECT_EQ(window->items(window->lBoxCodeVarValues), QStringList{"= 0"});
    EXPECT_FALSE(window->ParseCode()) << "parsing is refused while the program runs";

    window->SetSpeed(100);
    window->AcStartExecute();
    EXPECT_EQ(window->runActions(), Idle);
    EXPECT_FALSE(window->editor()->isReadOnly());
    EXPECT_EQ(plugin().CurrentLine(), -1);
    EXPECT_EQ(window->box.ticks, 3);
    EXPECT_EQ(window->box.resets, 1) << "Start from Paused continues without a new parse";
    EXPECT_EQ(window->items(window->lBoxCodeVarNames), QStringList{"Return"});
    EXPECT_EQ(window->items(window->lBoxCodeVarValues), QStringList{"= 0"});
    EXPECT_EQ(window->box.Return(), "0");
    EXPECT_EQ(window->MemoLog->toPlainText(), "fertig 3");
    EXPECT_EQ(window->tabText(window->tsMsg), "Meldungen (1)");
}

TEST_F(RunTest, PauseBetweenSlicesLeavesThePausedStateAndStopEndsTheProgram)
{
    setScript(LoopScript);
    window->SetSpeed(90); // 100 ms: two slices per step
    std::array<bool, 5> seen{};
    const qint64 started = clock.now;
    clock.onSleep = [&] {
        if (clock.now - started == 10)
            seen = window->runActions();
        if (clock.now - started == 320)
            window->AcPauseExecute();
    };
    window->AcStartExecute();
    EXPECT_EQ(seen, Running);
    EXPECT_EQ(clock.now - started, 320) << "the loop ends within the slice of the pause";
    EXPECT_EQ(window->runActions(), Paused);
    EXPECT_EQ(window->box.ticks, 1) << "steps at 100, 200 and 300 ms: the declaration, the loop, one tick";
    EXPECT_EQ(plugin().CurrentLine(), 4);

    window->AcStopExecute();
    EXPECT_EQ(window->runActions(), Idle);
    EXPECT_EQ(window->items(window->lBoxCodeVarNames), QStringList{"Return"});
    EXPECT_EQ(window->items(window->lBoxCodeVarValues), QStringList{"= "}) << "a stopped run returns nothing";
    window->AcStopExecute(); // on a program that is not running: nothing happens
    EXPECT_EQ(window->runActions(), Idle);
}

TEST_F(RunTest, DelaysAreRoundedUpToWholeSlices)
{
    setScript(LoopScript);
    window->SetSpeed(99); // 10 ms
    QList<qint64> tickTimes;
    const qint64 started = clock.now;
    window->box.onTick = [&] { tickTimes.append(clock.now - started); };
    window->AcStartExecute();
    // Steps at 50, 100, 150 (the first tick), then a tick every third step.
    EXPECT_EQ(tickTimes, QList<qint64>({150, 300, 450}));
}

TEST_F(RunTest, StopWithinASliceEndsTheLoopAtOnce)
{
    setScript(LoopScript);
    window->SetSpeed(0); // one second per step
    const qint64 started = clock.now;
    clock.onSleep = [&] {
        if (clock.now - started == 30)
            window->AcStopExecute();
    };
    window->AcStartExecute();
    EXPECT_EQ(clock.now - started, 30);
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->box.ticks, 0);
}

TEST_F(RunTest, ABreakpointOnTheFirstStatementStopsStepButNotStart)
{
    setScript(LoopScript);
    window->MemoCodeGutterClick(0, 1);
    window->SetSpeed(100);
    window->AcStartExecute();
    EXPECT_EQ(window->box.ticks, 3);
    EXPECT_EQ(window->runActions(), Idle);

    window->PctrlMsg->setCurrentWidget(window->tsMsg);
    window->AcStepExecute();
    EXPECT_EQ(window->runActions(), Paused);
    EXPECT_EQ(plugin().CurrentLine(), 1);
    EXPECT_EQ(window->PctrlMsg->currentWidget(), window->tsBreaks);
}

TEST_F(RunTest, ABreakpointPausesTheRunSelectsItsEntryAndStartGoesOn)
{
    setScript(LoopScript);
    window->MemoCodeGutterClick(0, 6);
    window->MemoCodeGutterClick(0, 3);
    window->SetSpeed(100);
    window->AcStartExecute();
    EXPECT_EQ(window->runActions(), Paused);
    EXPECT_EQ(plugin().CurrentLine(), 3) << "at full speed the marker moves at a breakpoint";
    EXPECT_EQ(window->box.ticks, 0);
    EXPECT_EQ(selectedBreak(), 1);
    EXPECT_EQ(window->PctrlMsg->currentWidget(), window->tsBreaks);

    window->AcStartExecute();
    EXPECT_EQ(window->box.ticks, 1) << "stops at the same line in the next round";
    window->MemoCodeGutterClick(0, 3);
    window->AcStartExecute();
    EXPECT_EQ(plugin().CurrentLine(), 6);
    EXPECT_EQ(selectedBreak(), 0);
    window->AcStartExecute();
    EXPECT_EQ(window->box.ticks, 3);
    EXPECT_EQ(window->runActions(), Idle);
}

TEST_F(RunTest, AtFullSpeedNeitherTheMarkerNorTheVariablesFollowEachStep)
{
    setScript(LoopScript);
    QList<int> linesAtTick;
    QList<int> variablesAtTick;
    window->box.onTick = [&] {
        linesAtTick.append(plugin().CurrentLine());
        variablesAtTick.append(window->lBoxCodeVarNames->count());
    };
    window->SetSpeed(100);
    const int reloadsBefore = window->reloads;
    window->AcStartExecute();
    EXPECT_EQ(linesAtTick, QList<int>({1, 1, 1})) << "only the start announces its line";
    EXPECT_EQ(variablesAtTick, QList<int>({0, 0, 0})) << "the view is refilled at start and end only";
    EXPECT_GE(window->reloads - reloadsBefore, 10) << "the sandbox view follows every step";

    linesAtTick.clear();
    variablesAtTick.clear();
    window->SetSpeed(99);
    window->AcStartExecute();
    EXPECT_EQ(linesAtTick, QList<int>({3, 3, 3}));
    EXPECT_EQ(variablesAtTick, QList<int>({1, 1, 1}));
    EXPECT_EQ(window->statusText(3), "Zeile      6") << "the caret panels follow the marker";
}

TEST_F(RunTest, ARunTimeErrorIsListedWithItsEditorLineAndEndsTheRun)
{
    setScript({"int a = 1;", "tick();", "tick();", "tick();", "tick();", "if (a > 5)", "  int spaet = 1;", "endif",
               "spaet = 2;", "tick();"});
    window->SetSpeed(100);
    window->AcStartExecute();
    ASSERT_EQ(window->lBoxErrors->count(), 1);
    EXPECT_EQ(window->lBoxErrors->item(0)->text(),
              "Fehler in Zeile 7: Zugriffsverletzung: Variable spaet wurde nicht instanziert");
    EXPECT_EQ(window->tabText(window->tsErrors), "Fehler (1)");
    EXPECT_EQ(window->box.ticks, 4);
    EXPECT_EQ(window->runActions(), Idle);

    window->lBoxErrors->setCurrentRow(0);
    window->lBoxErrorsDblClick();
    EXPECT_EQ(window->redMarkedLine, -1) << "a run-time error entry carries no line";
}

TEST_F(RunTest, DoubleClickOnAParseErrorMarksItsLineRedUntilTheCaretMoves)
{
    setScript({"int x = 1;", "tick();", "x = ;", "tick();"});
    EXPECT_FALSE(window->ParseCode());
    window->lBoxErrors->setCurrentRow(0);
    window->lBoxErrorsDblClick();
    EXPECT_EQ(window->redMarkedLine, 3);
    EXPECT_EQ(window->editor()->CaretXY(), (TBufferCoord{1, 3}));

    bool special = false;
    QColor fg, bg;
    window->MemoCodeSpecialLineColors(3, special, fg, bg);
    EXPECT_TRUE(special);
    EXPECT_EQ(bg, QColor(255, 0, 0));
    EXPECT_EQ(fg, QColor(Qt::white));
    special = false;
    window->MemoCodeSpecialLineColors(2, special, fg, bg);
    EXPECT_FALSE(special);

    window->UpdateCaretInfo();
    EXPECT_EQ(window->redMarkedLine, -1);
}

TEST_F(RunTest, WarningsAreListedButTheParseSucceeds)
{
    setScript({"int a = 1;", "if (a > 0)", "  tick();", "endif egal", "tick();"});
    EXPECT_TRUE(window->ParseCode());
    ASSERT_EQ(window->lBoxErrors->count(), 1);
    EXPECT_TRUE(window->lBoxErrors->item(0)->text().startsWith("Warnung: Zeile 4 : "));
    EXPECT_EQ(window->tabText(window->tsErrors), "Fehler (1)");
    EXPECT_EQ(plugin().Executables().Count() > 0, true);
    EXPECT_TRUE(plugin().Executables().isIn(1)) << "executable lines are 1-based in the gutter";

    window->SandboxMessage("hallo");
    EXPECT_TRUE(window->ParseCode());
    EXPECT_EQ(window->tabText(window->tsErrors), "Fehler (1)") << "listed again after a new parse";
    EXPECT_EQ(window->tabText(window->tsMsg), "Meldungen") << "the log is cleared by a parse";
    EXPECT_TRUE(window->MemoLog->toPlainText().isEmpty());
}

TEST_F(RunTest, AnArithmeticFaultEndsTheCommandButTheProgramStaysRunning)
{
    setScript({"int z = 0;", "tick();", "int q = 5 div z;", "tick();"});
    window->SetSpeed(100);
    window->AcStartExecute();
    ASSERT_EQ(dialogs.texts(), QStringList{"Division durch Null"});
    EXPECT_EQ(dialogs.kinds().value(0), TDlgKind::Error);
    EXPECT_TRUE(window->IsRunning());
    EXPECT_EQ(window->runActions(), Running) << "no loop is active, yet the actions still show a run";
    EXPECT_EQ(window->box.ticks, 1);

    window->AcPauseExecute();
    EXPECT_EQ(window->runActions(), Paused);
    window->AcStepExecute();
    EXPECT_EQ(dialogs.texts().size(), 2) << "stepping repeats the fault";
    EXPECT_TRUE(window->IsRunning());
    window->AcStopExecute();
    EXPECT_EQ(window->runActions(), Idle);
    EXPECT_EQ(window->box.ticks, 1);
}

TEST_F(RunTest, SpeedMapsToTheDelayAndTheTrackBar)
{
    window->SetSpeed(100);
    EXPECT_EQ(window->delay(), 0);
    EXPECT_EQ(window->TrackBar->value(), 99);
    window->TrackBar->setValue(50);
    EXPECT_EQ(window->delay(), 500);
    window->TrackBar->setValue(99);
    EXPECT_EQ(window->delay(), 10) << "the track bar's top end is not the highest speed";
    window->SetSpeed(0);
    EXPECT_EQ(window->delay(), 1000);
    EXPECT_EQ(window->TrackBar->value(), 0);
    window->SetSpeed(-7);
    EXPECT_EQ(window->delay(), 1000);
    window->SetSpeed(130);
    EXPECT_EQ(window->delay(), -300);
    EXPECT_EQ(window->TrackBar->value(), 99);
    window->AcDelayMax->trigger();
    EXPECT_EQ(window->delay(), 1000);
    window->AcDelayMin->trigger();
    EXPECT_EQ(window->delay(), 0);

    // A negative delay runs like delay 0: no slices at all.
    setScript(LoopScript);
    window->SetSpeed(130);
    window->AcStartExecute();
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_EQ(window->box.ticks, 3);
}

TEST_F(RunTest, BreakpointsFromActionsGutterAndListKeepTheListInStep)
{
    setScript(LoopScript);
    window->editor()->setCaretXY({1, 2});
    window->AcAddBreakExecute();
    window->AcAddBreakExecute();
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList{"Zeile 2"});
    EXPECT_EQ(window->tabText(window->tsBreaks), "Haltepunkte (1)");

    window->MemoCodeGutterClick(3, 4);
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList({"Zeile 2", "Zeile 4"}));
    window->MemoCodeGutterClick(window->editor()->GutterWidth(), 5);
    EXPECT_EQ(window->lBoxBreaks->count(), 2) << "clicks right of the gutter are ignored";

    // The list's selection wins over the caret when the list has the focus.
    window->show();
    window->FormActivate();
    QApplication::setActiveWindow(window.get());
    window->lBoxBreaks->setFocus();
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->lBoxBreaks->hasFocus(); }));
    window->lBoxBreaks->setCurrentRow(1);
    window->AcRemoveBreakExecute();
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList{"Zeile 2"});

    window->editor()->setFocus();
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->editor()->hasFocus(); }));
    window->AcRemoveBreakExecute();
    EXPECT_EQ(window->lBoxBreaks->count(), 0);
    EXPECT_EQ(window->tabText(window->tsBreaks), "Haltepunkte");

    window->MemoCodeGutterClick(0, 5);
    window->lBoxBreaks->setCurrentRow(0);
    window->lBoxBreaksDblClick();
    EXPECT_EQ(window->redMarkedLine, 5);
    EXPECT_EQ(window->editor()->CaretY(), 5);
}

TEST_F(RunTest, TypedAndDeletedLinesShiftTheBreakpointList)
{
    setScript(LoopScript);
    window->MemoCodeGutterClick(0, 3);
    window->MemoCodeGutterClick(0, 6);
    window->editor()->setCaretXY({1, 2});
    QTest::keyClick(window->editor(), Qt::Key_Return);
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList({"Zeile 4", "Zeile 7"}));
    QTest::keyClick(window->editor(), Qt::Key_Backspace);
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList({"Zeile 3", "Zeile 6"}));
}

TEST_F(RunTest, BreakpointsOnDeletedLinesDisappearAndTheOthersMoveUp)
{
    setScript(LoopScript);
    for (int line : {2, 3, 4, 6})
        window->MemoCodeGutterClick(0, line);
    TMemoCode &editor = *window->editor();
    editor.setSelection({1, 3}, {1, 5}); // lines 3 and 4 whole
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList({"Zeile 2", "Zeile 4"}));
    EXPECT_EQ(window->tabText(window->tsBreaks), "Haltepunkte (2)");

    editor.setSelection({1, 1}, {1, 4}); // the three lines above the last
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(window->items(window->lBoxBreaks), QStringList{"Zeile 1"}) << "no entries at line 0 or below";
    EXPECT_EQ(plugin().Breakpoints().Count(), 1);
}

TEST_F(RunTest, AGutterClickDuringARunTakesEffectAtTheNextLine)
{
    setScript(LoopScript);
    window->SetSpeed(90);
    clock.onSleep = [&] {
        if (clock.sleeps == 1)
            window->MemoCodeGutterClick(0, 4);
    };
    window->AcStartExecute();
    EXPECT_EQ(window->tabText(window->tsBreaks), "Haltepunkte (1)");
    EXPECT_EQ(plugin().CurrentLine(), 4);
    EXPECT_EQ(window->runActions(), Paused);
}

TEST_F(RunTest, ClosingDuringARunStopsFirstAndClosesOnceTheLoopHasUnwound)
{
    setScript(LoopScript);
    window->show();
    window->FormActivate(); // the start-up waiting is over before the run
    const int sleepsBefore = clock.sleeps;
    window->SetSpeed(90);
    clock.onSleep = [&] {
        if (clock.sleeps == sleepsBefore + 3)
            window->close();
    };
    window->AcStartExecute();
    EXPECT_FALSE(window->IsRunning()) << "the run was stopped";
    EXPECT_EQ(window->box.ticks, 0);
    EXPECT_TRUE(window->isVisible()) << "still open while the command unwinds";
    ASSERT_TRUE(grazlo_test::waitFor([&] { return !window->isVisible(); }));
}

TEST_F(RunTest, ASecondStartDuringARunCarriesOnInTheSameLoop)
{
    setScript(LoopScript);
    window->SetSpeed(90);
    bool startedAgain = false;
    clock.onSleep = [&] {
        if (clock.sleeps == 3 && !startedAgain) {
            startedAgain = true;
            window->AcPauseExecute();
            window->AcStartExecute(); // handled inside the running loop
            EXPECT_EQ(window->runActions(), Running);
        }
    };
    window->AcStartExecute();
    EXPECT_TRUE(startedAgain);
    EXPECT_EQ(window->box.ticks, 3);
    EXPECT_EQ(window->box.resets, 1) << "the program was not parsed and started a second time";
    EXPECT_EQ(window->runActions(), Idle);
}
