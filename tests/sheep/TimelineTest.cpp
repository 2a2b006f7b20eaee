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

const QString RuntimeFiles = QString(GRAZLO_SOURCE_DIR) + "/resources/runtime/";
const QString GoldenScripts = QString(GRAZLO_SOURCE_DIR) + "/tests/app/data/";

// A run driven as the window drives it, forward live and back by rebuilding,
// keeping what the window would show.
class TTravelledRun
{
public:
    TTravelledRun(const QStringList &script, const std::function<void(TField &)> &lawn)
    {
        SeedRandom(7);
        sb.Field().SetSize(10, 10);
        lawn(sb.Field());
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

    bool parsed = false;
    bool running() const { return shown.Program->State() == TProgramState::running; }

    // Returns false when a step ended in an arithmetic fault, which ends a
    // continuous run in the window.
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
    void stop()
    {
        timeline->Stopped();
        shown.Program->stop();
        shown.Program->Finish();
    }
    // A few single steps back, as Shift+F7 goes; further at once.
    void back(qint64 steps)
    {
        for (qint64 i = 0; i < std::min<qint64>(steps, 3); ++i)
            goTo(timeline->Position() - 1);
        if (steps > 3)
            goTo(timeline->Position() - (steps - 3));
    }
    void goTo(qint64 step)
    {
        ASSERT_TRUE(timeline->Rebuild(sb, step, shown));
        wire();
    }

    // Everything the window shows of a moment, one item a line.
    QString snapshot() const
    {
        QStringList lines;
        for (int row = 0; row < sb.Field().RowCount(); ++row)
            lines << sb.Field().Rows(row).Serialize();
        lines << QString("Schaf %1,%2 %3").arg(sb.zPosX()).arg(sb.zPosY()).arg(DirToValue(sb.dSheep()));
        lines << "Punkte: " + QString::number(sb.Punkte(running()));
        for (const TSheepValue &value : SheepValues())
            lines << value.Name + " = " + value.Read(sb);
        // Long texts by length and hash: a doubling string reaches megabytes.
        auto addScope = [&lines](const TCode &scope) {
            for (const auto &variable : scope.VarList()) {
                const QString &value = variable->Value();
                lines << variable->Name() + " = " +
                             (value.size() < 1000 ? value : QString("#%1 %2").arg(value.size()).arg(qHash(value)));
            }
        };
        addScope(*shown.Program);
        for (const auto &function : shown.Program->FunctionList())
            addScope(*function);
        lines << (running() ? "Zeile " + QString::number(shown.Line + 1) : "Return = " + shown.Program->Return());
        lines << "Meldungen: " + shown.Messages.join(" | ");
        for (const TRunErrorEntry &error : shown.Errors)
            lines << QString("Fehler in Zeile %1: %2").arg(error.Line + 1).arg(error.Text);
        return lines.join('\n');
    }

    TSandboxSheep sb;
    std::unique_ptr<TRunTimeline> timeline;
    TMoment shown;

private:
    void wire()
    {
        shown.Program->setOnLineNumber([this](TProgram *, int line) { shown.Line = line; });
        shown.Program->setOnCodeError([this](TProgram *, int line, const QString &msg) {
            shown.Errors.append({line, msg});
        });
    }
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
    std::function<void(TField &)> lawn;
};

std::function<void(TField &)> level(int n)
{
    return [n](TField &field) { ApplyLevel(field, n); };
}

// The shipped examples on their levels and the golden runner scripts on the
// lawns their arguments name (a fresh 10 x 10 lawn otherwise).
QList<TScriptCase> shippedAndGoldenScripts()
{
    QList<TScriptCase> cases;
    for (const QString &file : QDir(RuntimeFiles + "Code").entryList({"*.gzc"})) {
        const int n = file.startsWith("level") ? file.mid(5, 1).toInt() : 1;
        cases.append({"Code/" + file, readScript(RuntimeFiles + "Code/" + file), level(n)});
    }
    // Left out: string-limit doubles a text to 16 MB, too slow to repeat often.
    for (const QString &file : QDir(GoldenScripts).entryList({"*.gzc"})) {
        if (file == "string-limit.gzc")
            continue;
        const QString args = readScript(GoldenScripts + QString(file).replace(".gzc", ".args")).value(0);
        const QStringList words = args.split(' ', Qt::SkipEmptyParts);
        std::function<void(TField &)> lawn = level(1);
        if (const qsizetype at = words.indexOf("--level"); at >= 0)
            lawn = level(words.value(at + 1).toInt());
        if (const qsizetype at = words.indexOf("--lawn"); at >= 0)
            lawn = [path = QString(words.value(at + 1)).replace("{DATA}", GoldenScripts.chopped(1))](TField &field) {
                QString error;
                field.Load(path, error);
            };
        cases.append({file, readScript(GoldenScripts + file), lawn});
    }
    return cases;
}

// Small scripts for what the examples touch little: random, functions with
// reference parameters, run-time errors in functions, messages in loops.
QList<TScriptCase> focusedScripts()
{
    return {
        {"random walk with marks",
         {"int i = 0;", "start(random(10), random(10));", "while (i < 40)", "  if (random(2) == 0)", "    turnLeft();",
          "  endif", "  move(random(3));", "  mark();", "  message(\"bei \" + zPosX + \",\" + zPosY);", "  i = i + 1;",
          "endwhile"},
         level(3)},
        {"reference parameters",
         {"function tausche(ref int a, ref int b): void", "  int t = a;", "  a = b;", "  b = t;", "endfunction",
          "function summe(int n): int", "  result = 0;", "  while (n > 0)", "    result = result + n;",
          "    n = n - 1;", "  endwhile", "endfunction", "int x = 3;", "int y = summe(x);", "tausche(ref x, ref y);",
          "message(\"x=\" + x + \" y=\" + y);"},
         level(1)},
        {"run-time error inside a function",
         {"function tief(int n): int", "  message(\"tief \" + n);", "  if (n > 0)", "    result = tief(n - 1);",
          "  endif", "endfunction", "start(3, 3);", "int x = tief(2);", "move(1);"},
         level(2)},
    };
}

qint64 runLength(const TScriptCase &c, qint64 cap)
{
    TTravelledRun run(c.script, c.lawn);
    qint64 steps = 0;
    while (run.running() && steps < cap) {
        ++steps;
        if (!run.forward(1))
            break;
    }
    return steps;
}

} // namespace

// For several k and j: forward to k + j and back j equals forward to k, and
// forward again by j from there equals the moment k + j.
TEST(Timeline, BackAndForthAgreesWithRunningForwardOnRealScripts)
{
    const QList<TScriptCase> cases = shippedAndGoldenScripts() + focusedScripts();
    ASSERT_GE(cases.size(), 20);
    for (const TScriptCase &c : cases) {
        if (!TTravelledRun(c.script, c.lawn).parsed) {
            EXPECT_EQ(c.name, "parse-errors.gzc") << "only this one has no run";
            continue;
        }
        const qint64 n = runLength(c, 1500);
        const QList<std::pair<qint64, qint64>> moments = {{0, 1},    {0, n}, {1, 2}, {n / 3, 7}, {n / 2, n - n / 2},
                                                          {n - 1, 1}};
        for (const auto &[k, j] : moments) {
            if (k < 0 || j <= 0 || k + j > n)
                continue;
            const std::string where = c.name.toStdString() + " k=" + std::to_string(k) + " j=" + std::to_string(j);
            // One run at a time: they share the generator behind random.
            const auto forwardTo = [&c](qint64 steps) {
                TTravelledRun run(c.script, c.lawn);
                run.forward(steps);
                return run.snapshot();
            };
            const QString atK = forwardTo(k), atKJ = forwardTo(k + j);
            TTravelledRun travelled(c.script, c.lawn);
            travelled.forward(k + j);
            travelled.back(j);
            EXPECT_EQ(travelled.snapshot(), atK) << where;
            EXPECT_EQ(travelled.timeline->Position(), k) << where;
            EXPECT_EQ(travelled.timeline->Length(), k + j) << where;
            travelled.forward(j);
            EXPECT_EQ(travelled.snapshot(), atKJ) << where;
        }
    }
}

TEST(Timeline, StoppedRunEndsStoppedAgainAndLaterStepsReplaceItsEnd)
{
    const QStringList script = {"start(0, 0);", "while (true)", "  move(1);", "  turnLeft();", "endwhile"};
    TTravelledRun run(script, level(1));
    run.forward(9);
    run.stop();
    const QString stopped = run.snapshot();
    run.back(3);
    EXPECT_TRUE(run.running());
    run.goTo(9);
    EXPECT_EQ(run.snapshot(), stopped);
    EXPECT_FALSE(run.running());

    run.back(2);
    run.forward(1);
    EXPECT_EQ(run.timeline->Length(), 8);
    EXPECT_FALSE(run.timeline->EndsWithStop());
    run.goTo(100);
    EXPECT_EQ(run.timeline->Position(), 8);
    EXPECT_TRUE(run.running());
}

TEST(Timeline, CancelledRebuildLeavesWorldReceiverAndMomentAsTheyWere)
{
    TTravelledRun run({"start(2, 2);", "while (true)", "  move(1);", "  message(\"m\");", "endwhile"}, level(1));
    run.forward(30);
    const QString before = run.snapshot();
    TMoment untouched;
    int asked = 0;
    EXPECT_FALSE(run.timeline->Rebuild(run.sb, 3, untouched, [&asked] { return ++asked < 1; }));
    EXPECT_EQ(untouched.Program, nullptr);
    EXPECT_EQ(run.timeline->Position(), 30);
    EXPECT_EQ(run.snapshot(), before);
    const qsizetype shown = run.shown.Messages.size();
    run.forward(3);
    EXPECT_EQ(run.shown.Messages.size(), shown + 1) << "the live messages reach the window's receiver again";
}

// Breakpoints are the user's, not the run's: the moments at which a line was
// reached are found again for whatever lines hold one now.
TEST(Timeline, FindsTheMomentsAtWhichBreakpointLinesWereReached)
{
    // Lines from 0: the loop's head is line 2, its body lines 3 and 4.
    const QStringList script = {"int i = 0;", "start(0, 0);", "while (i < 3)",
                                "  move(1);", "  i = i + 1;", "endwhile"};
    TTravelledRun run(script, level(1));
    run.forward(100);
    ASSERT_FALSE(run.running());
    run.goTo(5); // the searches leave this moment alone
    const struct
    {
        int line;
        qint64 before;
        qint64 last;
        QList<qint64> all;
    } cases[] = {
        {3, 100, 9, {3, 6, 9}}, // announced after the head's step each round
        {3, 9, 6, {3, 6, 9}},   // the moment itself does not count
        {3, 3, 0, {3, 6, 9}},   // none earlier: back to the start
        {0, 100, 0, {}},        // the first line is announced by Run only
        {5, 100, 0, {}},        // never announced
    };
    for (const auto &c : cases) {
        const auto isBreak = [&c](int line) { return line == c.line; };
        const QString world = run.snapshot();
        EXPECT_EQ(run.timeline->LastBreakBefore(run.sb, c.before, isBreak), c.last) << c.line << " " << c.before;
        EXPECT_EQ(run.timeline->BreakMoments(run.sb, isBreak, 10), c.all) << c.line;
        EXPECT_EQ(run.snapshot(), world);
    }
    EXPECT_EQ(run.timeline->BreakMoments(
                  run.sb, [](int line) { return line == 3; }, 2),
              QList<qint64>({3, 6}));
}
