// Going back in a run: a moment rebuilt by running the run again from its
// start must be the moment the live run showed, in every detail the window
// shows, for real scripts on their lawns.
#include "base/uTextFile.h"
#include "parser/uKeloParser.h"
#include "sandbox/uRunTimeline.h"
#include "script/uKeloExpression.h"
#include "sheep/uSandboxSheep.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A run on a level, driven as the window drives it: forward live, back by
// rebuilding; `shown` is what the window would show.
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
        parsed = parseScript(script, shown.Program.get(), errors, warnings);
        sb.setStd();
        timeline = std::make_unique<TRunTimeline>(script, sb.SaveWorld());
        wire();
        shown.Program->Run();
    }
    bool running() const { return shown.Program->State() == TProgramState::running; }
    // False once a step ended in an arithmetic fault, as a continuous run ends.
    bool forward(qint64 steps)
    {
        for (qint64 i = 0; i < steps && running(); ++i) {
            timeline->StepTaken();
            try {
                shown.Program->Next();
            } catch (const TArithmeticFault &) {
                return false;
            }
        }
        return true;
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

    bool parsed = false;
    TSandboxSheep sb;
    std::unique_ptr<TRunTimeline> timeline;
    TMoment shown;
};

QStringList readScript(const QString &path)
{
    TTextLines text;
    QString error;
    EXPECT_TRUE(ReadTextFile(path, text, error)) << error.toStdString();
    return text.Lines;
}

struct TScriptCase
{
    QString name;
    QStringList script;
    int level;
};

// The shipped examples on their levels, the golden runner scripts on Level 3
// (but string-limit, which doubles a text to 16 MB), and small scripts for
// random, reference parameters and a run-time error inside a function.
QList<TScriptCase> scripts()
{
    QList<TScriptCase> cases;
    const QString code = QString(GRAZLO_SOURCE_DIR) + "/resources/runtime/Code/";
    for (const QString &file : QDir(code).entryList({"*.gzc"}))
        cases.append({file, readScript(code + file), file.startsWith("level") ? file.mid(5, 1).toInt() : 1});
    const QString golden = QString(GRAZLO_SOURCE_DIR) + "/tests/app/data/";
    for (const QString &file : QDir(golden).entryList({"*.gzc"}))
        if (file != "string-limit.gzc")
            cases.append({file, readScript(golden + file), 3});
    cases.append({"random walk",
                  {"int i = 0;", "start(random(10), random(10));", "while (i < 40)", "  if (random(2) == 0)",
                   "    turnLeft();", "  endif", "  move(random(3));", "  mark();",
                   "  message(\"bei \" + zPosX + \",\" + zPosY);", "  i = i + 1;", "endwhile"},
                  3});
    cases.append({"reference parameters",
                  {"function tausche(ref int a, ref int b): void", "  int t = a;", "  a = b;", "  b = t;",
                   "endfunction", "int x = 3;", "int y = 8;", "tausche(ref x, ref y);", "message(\"x=\" + x);"},
                  1});
    cases.append({"error in a function",
                  {"function tief(int n): int", "  message(\"tief \" + n);", "  if (n > 0)",
                   "    result = tief(n - 1);", "  endif", "endfunction", "start(3, 3);", "int x = tief(2);"},
                  2});
    return cases;
}

} // namespace

// For several k and j: forward to k + j and back j equals forward to k, and
// forward again by j from there equals the moment k + j.
TEST(Timeline, BackAndForthAgreesWithRunningForwardOnRealScripts)
{
    const QList<TScriptCase> cases = scripts();
    ASSERT_GE(cases.size(), 20);
    for (const TScriptCase &c : cases) {
        TTravelledRun probe(c.script, c.level);
        if (!probe.parsed) {
            EXPECT_EQ(c.name, "parse-errors.gzc") << "only this one has no run";
            continue;
        }
        qint64 n = 0;
        while (probe.running() && n < 1500 && (++n, probe.forward(1))) {
        }
        // One run at a time: they share the generator behind random.
        const auto forwardTo = [&c](qint64 steps) {
            TTravelledRun run(c.script, c.level);
            run.forward(steps);
            return run.snapshot();
        };
        for (const auto &[k, j] : QList<std::pair<qint64, qint64>>{{0, n}, {1, 2}, {n / 3, 7}, {n / 2, n - n / 2}}) {
            if (k + j > n)
                continue;
            const std::string where = c.name.toStdString() + " k=" + std::to_string(k) + " j=" + std::to_string(j);
            const QString atK = forwardTo(k), atKJ = forwardTo(k + j);
            TTravelledRun travelled(c.script, c.level);
            travelled.forward(k + j);
            for (int back = 0; back < 3 && travelled.timeline->Position() > k; ++back)
                travelled.goTo(travelled.timeline->Position() - 1); // as Shift+F7 goes
            travelled.goTo(k);
            EXPECT_EQ(travelled.snapshot(), atK) << where;
            EXPECT_EQ(travelled.timeline->Length(), k + j) << where;
            travelled.forward(j);
            EXPECT_EQ(travelled.snapshot(), atKJ) << where;
        }
    }
}

// A stopped run ends stopped again; going on from an earlier moment replaces
// that end. A cancelled rebuild changes nothing, and the live messages reach
// the window's receiver again.
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
    EXPECT_EQ(run.timeline->Position(), 7);
    run.forward(3);
    EXPECT_EQ(run.shown.Messages.size(), 3);
    EXPECT_EQ(run.timeline->Length(), 10);
    EXPECT_FALSE(run.timeline->EndsWithStop());
}

// Breakpoints are the user's, not the run's: the moments at which a line was
// announced are found again for whatever lines hold one now, leaving the
// moment shown as it was.
TEST(Timeline, FindsTheMomentsAtWhichBreakpointLinesWereReached)
{
    // From 0: the loop's head is line 2, its body lines 3 and 4.
    TTravelledRun run({"int i = 0;", "start(0, 0);", "while (i < 3)", "  move(1);", "  i = i + 1;", "endwhile"}, 1);
    run.forward(100);
    run.goTo(5);
    const QString world = run.snapshot();
    const struct
    {
        int line;
        qint64 before, last;
        QList<qint64> all;
    } cases[] = {
        {3, 100, 9, {3, 6, 9}}, // announced after the head's step each round
        {3, 9, 6, {3, 6, 9}},   // the moment itself does not count
        {3, 3, 0, {3, 6, 9}},   // none earlier: back to the start
        {0, 100, 0, {}},        // the first line is announced by Run only
    };
    for (const auto &c : cases) {
        const auto isBreak = [&c](int line) { return line == c.line; };
        EXPECT_EQ(run.timeline->LastBreakBefore(run.sb, c.before, isBreak), c.last) << c.line << " " << c.before;
        EXPECT_EQ(run.timeline->BreakMoments(run.sb, isBreak, 10), c.all) << c.line;
        EXPECT_EQ(run.snapshot(), world);
    }
    EXPECT_EQ(run.timeline->BreakMoments(
                  run.sb, [](int line) { return line == 3; }, 2),
              QList<qint64>({3, 6}));
}
