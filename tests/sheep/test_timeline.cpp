// Going back in a run: a moment rebuilt by running again from the start must be
// the moment the live run showed, in every detail the window shows.
#include "base/uTextFile.h"
#include "parser/uKeloParser.h"
#include "sandbox/uRunTimeline.h"
#include "script/uKeloExpression.h"
#include "sheep/uSandboxSheep.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A run on a level driven as the window drives it; `shown` is what it shows.
struct TTravelledRun
{
    TTravelledRun(const QStringList &script, int level)
    {
        SeedRandom(7);
        sb.Field().SetSize(10, 10);
        ApplyLevel(sb.Field(), level);
        sb.setOnMsg([this](const QString &msg) { shown.Messages.append(msg); });
        shown.Program = std::make_unique<TProgram>();
        sb.AddFunctions(shown.Program.get());
        std::unique_ptr<TKeloMessageList> errors, warnings;
        EXPECT_TRUE(parseScript(script, shown.Program.get(), errors, warnings)) << script.join('\n').toStdString();
        sb.setStd();
        timeline = std::make_unique<TRunTimeline>(script, sb.SaveWorld());
        wire();
        shown.Program->Run();
    }
    bool running() const { return shown.Program->State() == TProgramState::running; }
    void forward(qint64 steps)
    {
        try {
            for (qint64 i = 0; i < steps && running(); ++i) {
                timeline->StepTaken();
                shown.Program->Next();
            }
        } catch (const TArithmeticFault &) { // ends the run as a continuous run ends
        }
    }
    void goTo(qint64 step)
    {
        ASSERT_TRUE(timeline->Rebuild(sb, step, shown));
        wire();
    }
    void wire()
    {
        shown.Program->setOnLineNumber([this](TProgram *, int line) { shown.Line = line; });
        shown.Program->setOnCodeError([this](TProgram *, int line, const QString &msg) {
            shown.Errors.append({line, msg});
        });
    }
    QString snapshot() const
    {
        QStringList lines;
        for (int row = 0; row < sb.Field().RowCount(); ++row)
            lines << sb.Field().Rows(row).Serialize();
        lines << "Punkte: " + QString::number(sb.Punkte(running()));
        for (const TSheepValue &value : SheepValues())
            lines << value.Name + " = " + value.Read(sb);
        QList<const TCode *> scopes{shown.Program.get()};
        for (const auto &function : shown.Program->FunctionList())
            scopes << function.get();
        for (const TCode *scope : scopes)
            for (const auto &variable : scope->VarList())
                lines << variable->Name() + " = " + variable->Value();
        lines << (running() ? "Zeile " + QString::number(shown.Line + 1) : "Return = " + shown.Program->Return());
        lines << shown.Messages;
        for (const TRunErrorEntry &error : shown.Errors)
            lines << QString("Fehler in Zeile %1: %2").arg(error.Line + 1).arg(error.Text);
        return lines.join('\n');
    }

    TSandboxSheep sb;
    std::unique_ptr<TRunTimeline> timeline;
    TMoment shown;
};

// The shipped examples on their levels, the golden runner scripts (but
// string-limit, which grows a text to 16 MB, and parse-errors, which has no run)
// and scripts with random, reference parameters and an error inside a function.
QList<std::tuple<QString, QStringList, int>> scripts()
{
    QList<std::tuple<QString, QStringList, int>> cases;
    for (const QString folder : {"/resources/runtime/Code/", "/tests/app/data/"}) {
        const QString path = GRAZLO_SOURCE_DIR + folder;
        for (const QString &file : QDir(path).entryList({"*.gzc"})) {
            TTextLines text;
            QString error;
            EXPECT_TRUE(ReadTextFile(path + file, text, error)) << error.toStdString();
            const int level = folder.startsWith("/t") ? 3 : file.startsWith("level") ? file.mid(5, 1).toInt() : 1;
            if (file != "string-limit.gzc" && file != "parse-errors.gzc")
                cases.append({file, text.Lines, level});
        }
    }
    for (const auto &[name, text, level] :
         {std::tuple{"random walk",
                     "int i = 0;|start(random(10), random(10));|while (i < 40)|  if (random(2) == 0)|    turnLeft();|"
                     "  endif|  move(random(3));|  mark();|  message(\"bei \" + zPosX + \",\" + zPosY);|"
                     "  i = i + 1;|endwhile",
                     3},
          {"reference parameters",
           "function tausche(ref int a, ref int b): void|  int t = a;|  a = b;|  b = t;|endfunction|int x = 3;|"
           "int y = 8;|tausche(ref x, ref y);|message(\"x=\" + x);",
           1},
          {"error in a function",
           "function tief(int n): int|  message(\"tief \" + n);|  if (n > 0)|    result = tief(n - 1);|  endif|"
           "endfunction|start(3, 3);|int x = tief(2);",
           2}})
        cases.append({name, QString(text).split('|'), level});
    return cases;
}

} // namespace

// Forward to k + j and back j (one step at a time, then by a jump) equals
// forward to k; forward j again from there equals the moment k + j.
TEST(Timeline, BackAndForthAgreesWithRunningForwardOnRealScripts)
{
    const auto cases = scripts();
    ASSERT_GE(cases.size(), 20);
    for (const auto &[name, script, level] : cases) {
        TTravelledRun probe(script, level);
        probe.forward(1500);
        const qint64 n = probe.timeline->Length();
        // One run at a time: they share the generator behind random.
        const auto forwardTo = [&](qint64 steps) {
            TTravelledRun run(script, level);
            run.forward(steps);
            return run.snapshot();
        };
        for (const auto &[k, j] : QList<std::pair<qint64, qint64>>{{0, n}, {1, 2}, {n / 3, 7}, {n / 2, n - n / 2}}) {
            if (k + j > n)
                continue;
            SCOPED_TRACE(name.toStdString() + " k=" + std::to_string(k) + " j=" + std::to_string(j));
            const QString atK = forwardTo(k), atKJ = forwardTo(k + j);
            TTravelledRun travelled(script, level);
            travelled.forward(k + j);
            for (int back = 0; back < 3 && travelled.timeline->Position() > k; ++back)
                travelled.goTo(travelled.timeline->Position() - 1);
            travelled.goTo(k);
            EXPECT_EQ(travelled.snapshot(), atK);
            travelled.forward(j);
            EXPECT_EQ(travelled.snapshot(), atKJ);
        }
    }
}

// A stopped run ends stopped again; a cancelled rebuild changes nothing; going
// on from an earlier moment replaces the end and live messages arrive again.
TEST(Timeline, StopEndsTheRunAgainAndACancelledRebuildChangesNothing)
{
    TTravelledRun run({"start(0, 0);", "while (true)", "  move(1);", "  message(\"m\");", "endwhile"}, 1);
    run.forward(9);
    run.timeline->Stopped();
    run.shown.Program->stop();
    run.shown.Program->Finish();
    const QString stopped = run.snapshot();
    run.goTo(6);
    EXPECT_TRUE(run.running());
    run.goTo(9);
    EXPECT_EQ(run.snapshot(), stopped);
    run.goTo(7);
    const QString atSeven = run.snapshot();
    TMoment untouched;
    EXPECT_FALSE(run.timeline->Rebuild(run.sb, 3, untouched, [] { return false; }));
    EXPECT_EQ(run.snapshot(), atSeven);
    run.forward(3);
    EXPECT_EQ(run.shown.Messages.size(), 3);
    EXPECT_EQ(run.timeline->Length(), 10);
    EXPECT_FALSE(run.timeline->EndsWithStop());
}

// The window's tests go back to breakpoints; here the edges: the first line is
// announced by Run alone, the marks' limit holds, the moment shown stays.
TEST(Timeline, FindsTheMomentsAtWhichBreakpointLinesWereReached)
{
    TTravelledRun run({"int i = 0;", "start(0, 0);", "while (i < 3)", "  move(1);", "  i = i + 1;", "endwhile"}, 1);
    run.forward(100);
    run.goTo(5);
    const QString world = run.snapshot();
    const auto onLine = [](int wanted) { return [wanted](int line) { return line == wanted; }; };
    EXPECT_EQ(run.timeline->LastBreakBefore(run.sb, 100, onLine(0)), 0);
    EXPECT_EQ(run.timeline->BreakMoments(run.sb, onLine(0), 10), QList<qint64>());
    EXPECT_EQ(run.timeline->BreakMoments(run.sb, onLine(3), 2), QList<qint64>({3, 6}));
    EXPECT_EQ(run.timeline->LastBreakBefore(run.sb, 9, onLine(3)), 6);
    EXPECT_EQ(run.snapshot(), world);
}
