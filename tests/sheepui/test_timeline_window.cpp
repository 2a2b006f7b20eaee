// Going back in the sheep window: the back commands' enabled states, every
// earlier moment shown as the live run showed it, the timeline "Verlauf" and
// its keys, and what ends the timeline.
#include "editor/MemoCode.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uTimelineBar.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/uSandboxSheep.h"
#include "tests/support/ListItems.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WindowWorkFolder.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TTestWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcParse, TfrmKeloIDE::AcParseExecute, TfrmKeloIDE::AcPause, TfrmKeloIDE::AcRunBack,
        TfrmKeloIDE::AcStart, TfrmKeloIDE::AcStartExecute, TfrmKeloIDE::AcStep, TfrmKeloIDE::AcStepBack,
        TfrmKeloIDE::AcStop, TfrmKeloIDE::BtStepBack, TfrmKeloIDE::GoToStep, TfrmKeloIDE::lBoxCodeVarNames,
        TfrmKeloIDE::lBoxCodeVarValues, TfrmKeloIDE::lBoxErrors, TfrmKeloIDE::MemoCodeGutterClick, TfrmKeloIDE::MemoLog,
        TfrmKeloIDE::PauseProgram, TfrmKeloIDE::PctrlMsg, TfrmKeloIDE::PnTimeline, TfrmKeloIDE::StepProgram;
};

// Everything the window shows of a moment of the run, one item a line.
QString view(TTestWindow &w)
{
    QStringList lines;
    const TField &field = w.Sandbox().Field();
    for (int row = 0; row < field.RowCount(); ++row)
        lines << field.Rows(row).Serialize();
    lines << QString("Schaf %1,%2").arg(w.Sandbox().zPosX()).arg(w.Sandbox().zPosY());
    lines << w.LPoints->text() << itemsOf(w.LBoxSysVars).join(' ');
    lines << itemsOf(w.lBoxCodeVarNames).join(' ') << itemsOf(w.lBoxCodeVarValues).join(' ');
    lines << "Zeile " + QString::number(w.plugin()->CurrentLine());
    for (int tab = 0; tab < w.PctrlMsg->count(); ++tab)
        lines << w.PctrlMsg->tabText(tab);
    lines << w.MemoLog->toPlainText() << itemsOf(w.lBoxErrors);
    for (const QAction *action : {w.AcStart, w.AcStop, w.AcPause, w.AcStep, w.AcParse})
        lines << action->text() + (action->isEnabled() ? " an" : " aus");
    lines << (w.editor()->isReadOnly() ? "schreibgeschützt" : "editierbar");
    return lines.join('\n');
}

// Starts as often as breakpoints stop the run, until it ends.
void runToEnd(TTestWindow &w)
{
    do
        w.AcStartExecute();
    while (w.IsRunning());
}

QString timelineLabel(TTestWindow &w) { return w.PnTimeline->isHidden() ? QString() : w.PnTimeline->LStep->text(); }

// Enabled states of Shift+F7, Shift+F5 and the button, then the timeline.
QString backState(TTestWindow &w)
{
    return QString("%1%2%3 %4")
        .arg(w.AcStepBack->isEnabled())
        .arg(w.AcRunBack->isEnabled())
        .arg(w.BtStepBack->isEnabled())
        .arg(timelineLabel(w));
}

std::unique_ptr<TTestWindow> newWindow()
{
    auto w = std::make_unique<TTestWindow>();
    w->SetSpeed(100);
    w->AcLv[2]->trigger();
    return w;
}

class TimelineWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        setDialogs(&dialogs);
        window = newWindow();
    }
    void TearDown() override
    {
        window.reset();
        setDialogs(nullptr);
    }
    TWindowWorkFolder work;
    TScriptedDialogs dialogs;
    std::unique_ptr<TTestWindow> window;
};

const QStringList Walk = {"start(0, 0);", "move(1);", "turnLeft();", "move(1);", "message(\"fertig\");"};

// One letter a command: s Step, r Start until the end, x Stop, e edit the
// text, l load Level 2, p Parse.
void act(TTestWindow &w, const QString &commands)
{
    const QMap<QChar, std::function<void()>> command = {
        {'s', [&] { w.StepProgram(); }},      {'r', [&] { runToEnd(w); }},
        {'x', [&] { w.StopProgram(); }},      {'e', [&] { w.editor()->setLines(Walk + QStringList{"turnLeft();"}); }},
        {'l', [&] { w.AcLv[1]->trigger(); }}, {'p', [&] { w.AcParseExecute(); }}};
    for (QChar c : commands)
        command[c]();
}

} // namespace

TEST_F(TimelineWindow, BackCommandsAndTimelineFollowTheRunUntilScriptOrLawnChange)
{
    // sssx: stopped after two steps.
    const QList<std::pair<QString, QString>> cases = {{"", "000 "},
                                                      {"s", "000 Schritt 0 von 0"},
                                                      {"ssss", "111 Schritt 3 von 3"},
                                                      {"r", "111 Schritt 6 von 6"},
                                                      {"sssx", "111 Schritt 2 von 2"},
                                                      {"re", "000 "},
                                                      {"ssssl", "000 "},
                                                      {"rp", "000 "}};
    for (const auto &[commands, expected] : cases) {
        auto w = newWindow();
        w->editor()->setLines(Walk);
        act(*w, commands);
        EXPECT_EQ(backState(*w), expected) << commands.toStdString();
    }
    EXPECT_EQ(window->AcStepBack->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F7));
    EXPECT_EQ(window->AcRunBack->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F5));
}

// Stopped at a breakpoint, every earlier moment, the breakpoint again and the
// end with its run-time error look as they did when single-stepped.
TEST_F(TimelineWindow, StepBackAfterABreakpointShowsEveryEarlierMomentAsItWasShown)
{
    // Line 1 lacks its semicolon (a warning); line 6 recurses into a run-time error.
    const QStringList script = QString("int n = 3|function halb(ref int x): void|  x = x div 2;|endfunction|"
                                       "function tief(int k): int|  result = tief(k - 1);|endfunction|"
                                       "start(1, 1);|while (n > 0)|  message(\"noch \" + n);|  move(n);|"
                                       "  mark();|  turnLeft();|  halb(ref n);|endwhile|int z = tief(2);")
                                   .split('|');
    window->editor()->setLines(script);
    runToEnd(*window); // so that the runs below start alike
    QStringList shown;
    do {
        window->StepProgram();
        shown << view(*window);
    } while (window->IsRunning());
    ASSERT_TRUE(itemsOf(window->lBoxErrors).last().startsWith("Fehler in Zeile 6: ")) << view(*window).toStdString();

    window->plugin()->Breakpoints().Add(11);
    window->AcStartExecute();
    const qint64 atBreak = window->PnTimeline->Position();
    ASSERT_GT(atBreak, 3);
    EXPECT_EQ(view(*window), shown[atBreak]);
    for (qint64 k = atBreak - 1; k >= 0; --k) {
        window->AcStepBack->trigger();
        EXPECT_EQ(view(*window), shown[k]) << "moment " << k;
        EXPECT_EQ(timelineLabel(*window), QString("Schritt %1 von %2").arg(k).arg(atBreak));
    }
    EXPECT_FALSE(window->AcStepBack->isEnabled());

    window->AcStartExecute(); // from the start to the breakpoint again
    EXPECT_EQ(view(*window), shown[atBreak]);
    window->plugin()->Breakpoints().Remove(11);
    window->AcStartExecute();
    EXPECT_EQ(view(*window), shown.last()) << "the same error, shown the same way";
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(TimelineWindow, RunBackAndTheTimelineKeysChooseMoments)
{
    window->editor()->setLines(
        {"int i = 0;", "start(0, 0);", "while (i < 3)", "  move(1);", "  i = i + 1;", "endwhile"});
    window->plugin()->Breakpoints().Add(4); // announced at the moments 3, 6 and 9
    runToEnd(*window);
    EXPECT_EQ(timelineLabel(*window), "Schritt 13 von 13");
    EXPECT_EQ(window->PnTimeline->Slider->Marks(), QList<int>({3, 6, 9}));
    window->MemoCodeGutterClick(0, 5);
    EXPECT_EQ(window->PnTimeline->Slider->Marks(), QList<int>({3, 4, 6, 7, 9, 10}));
    window->MemoCodeGutterClick(0, 5);
    // Run back goes from breakpoint to breakpoint; the slider's keys anywhere.
    const auto runBack = [&] { window->AcRunBack->trigger(); };
    const auto key = [&](Qt::Key key) { return [&, key] { QTest::keyClick(window->PnTimeline->Slider, key); }; };
    const QList<std::pair<std::function<void()>, int>> moves = {{runBack, 9},           {runBack, 6},
                                                                {runBack, 3},           {runBack, 0},
                                                                {key(Qt::Key_End), 13}, {key(Qt::Key_Left), 12},
                                                                {key(Qt::Key_Home), 0}, {key(Qt::Key_PageUp), 10}};
    for (const auto &[act, step] : moves) {
        act();
        QCoreApplication::processEvents();
        EXPECT_EQ(backState(*window), QString(step > 0 ? "111 " : "000 ") + QString("Schritt %1 von 13").arg(step));
        EXPECT_EQ(window->IsRunning(), step < 13) << step;
    }
}

// Like typing after an undo: going on from an earlier moment replaces the
// later steps; an arithmetic fault's box appears once, in the live run.
TEST_F(TimelineWindow, GoingOnFromAnEarlierMomentReplacesTheLaterSteps)
{
    window->editor()->setLines({"start(0, 0);", "move(2);", "message(\"vorher\");", "int x = 5 div (zSteps - 2);"});
    window->AcStartExecute();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(backState(*window), "000 ") << "nothing to go back to while the run goes on";
    window->PauseProgram();
    EXPECT_EQ(timelineLabel(*window), "Schritt 4 von 4");

    window->AcStepBack->trigger();
    EXPECT_EQ(window->plugin()->CurrentLine(), 4);
    window->GoToStep(4); // where the fault struck, without its box
    EXPECT_EQ(window->plugin()->CurrentLine(), 4);
    EXPECT_EQ(window->MemoLog->toPlainText(), "vorher");
    EXPECT_TRUE(window->AcStop->isEnabled());
    window->GoToStep(1);
    window->StepProgram();
    EXPECT_EQ(timelineLabel(*window), "Schritt 2 von 2");
    EXPECT_EQ(dialogs.shown.size(), 1);
}
