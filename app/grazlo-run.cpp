// grazlo-run: runs a sheep script without a window, for teachers, graders and
// tests. Every message, error and (with --trace) every announced line goes to
// standard output, followed by the score and the sheep's environment values;
// with --json the whole result goes out as one JSON object instead.
#include "app/ConsoleOutput.h"
#include "app/uCommandLine.h"
#include "base/uTextFile.h"
#include "grade/uGradeFiles.h"
#include "sheep/uLawnPicture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <sys/resource.h>
#include <sys/time.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <new>
#include <optional>

namespace {

// Processor seconds a run may take unless told otherwise.
constexpr double kDefaultTimeoutSeconds = 60;

QString usage()
{
    return QStringLiteral("Aufruf: grazlo-run [--level N | --lawn DATEI] [--seed N] [--max-steps N] [--steps-to N]\n"
                          "                  [--timeout S] [--trace] [--show-lawn] [--png DATEI] [--json] SKRIPT\n"
                          "\n"
                          "Führt ein Grazlo-Skript ohne Fenster aus, wie die Entwicklungsumgebung bei\n"
                          "höchster Geschwindigkeit.\n"
                          "\n"
                          "  --level N      Level N (1 bis %1) statt des leeren 10 x 10 Rasens\n"
                          "  --lawn DATEI   den Rasen aus einer Rasendatei (.glw) laden\n"
                          "  --seed N       Startwert des Zufallsgenerators (sonst die Uhrzeit)\n"
                          "  --max-steps N  höchstens N Programmschritte ausführen (Vorgabe %2)\n"
                          "  --steps-to N   nach N Programmschritten anhalten wie mit Stop\n"
                          "  --timeout S    höchstens S Sekunden Rechenzeit (0 bis %3, 0 ohne Grenze,\n"
                          "                 Vorgabe %4)\n"
                          "  --trace        jede angekündigte Zeile als \"@ Zeile\" ausgeben\n"
                          "  --show-lawn    nach der Zusammenfassung die Zeilen des Rasens ausgeben\n"
                          "  --png DATEI    den Rasen am Ende mit dem Weg des Schafs als PNG-Bild speichern\n"
                          "  --json         das ganze Ergebnis als ein JSON-Objekt ausgeben (die Felder einer\n"
                          "                 Zeile von ergebnis.json, die Meldungen darin), für andere Programme\n"
                          "\n"
                          "Rückgabewert: 0 beendet, 1 Syntaxfehler, 2 Laufzeitfehler, 3 Schrittlimit,\n"
                          "4 Rechenfehler, 5 Zeitlimit, 64 falscher Aufruf, 66 Datei nicht lesbar,\n"
                          "73 Bild nicht speicherbar.\n")
        .arg(QString::number(LevelCount), QString::number(DefaultMaxSteps), QString::number(MaxTimeoutSeconds),
             QString::number(kDefaultTimeoutSeconds));
}

struct TArguments
{
    int Level = 0;
    QString LawnFile;
    QString PngFile;
    std::optional<quint32> Seed;
    TRunOptions Run = {.TimeoutSeconds = kDefaultTimeoutSeconds};
    bool Json = false;
    QString Script;
};

TOption switchOption(const char *name, bool &value)
{
    const TApplyArgument set = [&value](const QString &) {
        value = true;
        return QString();
    };
    return {QString::fromLatin1(name), set, false};
}

TApplyArgument textOf(QString &value)
{
    return [&value](const QString &v) {
        value = v;
        return QString();
    };
}

// The options of grazlo-run, read into `a`.
TCommandLine runCommandLine(TArguments &a)
{
    TCommandLine line;
    line.Options = {
        {"--level", [&a](const QString &v) { return ReadLevel(v, a.Level); }},
        {"--lawn", textOf(a.LawnFile)},
        {"--png", textOf(a.PngFile)},
        {"--seed", [&a](const QString &v) { return ReadSeed(v, a.Seed.emplace()); }},
        {"--max-steps", [&a](const QString &v) { return ReadStepCount(v, a.Run.MaxSteps); }},
        {"--steps-to", [&a](const QString &v) { return ReadStepCount(v, a.Run.StepsTo); }},
        {"--timeout", [&a](const QString &v) { return ReadTimeout(v, 0, a.Run.TimeoutSeconds); }},
        switchOption("--trace", a.Run.Trace),
        switchOption("--show-lawn", a.Run.ShowLawn),
        switchOption("--json", a.Json),
    };
    line.Plain = [&a](const QString &v) {
        if (!a.Script.isEmpty())
            return QStringLiteral("Nur ein Skript ist erlaubt.");
        a.Script = v;
        return QString();
    };
    return line;
}

// Reads the arguments; returns an error text, empty when they are fine.
QString parseArguments(const QStringList &args, TArguments &parsed, bool &help)
{
    TCommandLine line = runCommandLine(parsed);
    const QString problem = line.Read(args);
    help = line.Help;
    if (!problem.isEmpty())
        return problem;
    if (parsed.Level && !parsed.LawnFile.isEmpty())
        return QStringLiteral("--level und --lawn schließen einander aus.");
    if (parsed.Script.isEmpty() && !help)
        return QStringLiteral("Kein Skript angegeben.");
    return {};
}

std::atomic_bool timeUp{false};

void noteTimeUp(int) { timeUp.store(true, std::memory_order_relaxed); }

// Raises timeUp once the process has used `seconds` of processor time. A step
// that never returns is ended by the system five seconds later.
void startProcessorAlarm(double seconds)
{
    if (seconds <= 0)
        return;
    struct sigaction action = {};
    action.sa_handler = noteTimeUp;
    action.sa_flags = SA_RESTART;
    sigaction(SIGPROF, &action, nullptr);
    itimerval timer = {};
    timer.it_value.tv_sec = time_t(seconds);
    timer.it_value.tv_usec = suseconds_t((seconds - std::floor(seconds)) * 1e6);
    setitimer(ITIMER_PROF, &timer, nullptr);
    const rlim_t backstop = rlim_t(std::ceil(seconds)) + 5;
    const rlimit limit{backstop, backstop};
    setrlimit(RLIMIT_CPU, &limit);
}

// The world asked for, named as the grader names it; false with a German
// message when the lawn file cannot be read.
bool prepareWorld(const TArguments &args, TGradeWorld &world)
{
    if (args.Level) {
        world = LevelWorld(args.Level);
        return true;
    }
    if (args.LawnFile.isEmpty()) {
        world = EmptyLawnWorld();
        return true;
    }
    QString error;
    if (LawnFileWorld(args.LawnFile, world, error))
        return true;
    writeLine(stderr, error);
    return false;
}

// The run as a row of ergebnis.json; its seed is unknown when the clock chose it.
QJsonObject jsonRow(const TArguments &args, const TGradeWorld &world, const TGradeResult &result)
{
    TGradeBatch batch;
    batch.Scripts.append({args.Script, args.Script, {}, {}, {}});
    batch.Worlds.append(world);
    batch.Rows.append({0, 0, args.Seed.value_or(0), result, {}});
    QJsonObject row = GradeJsonRow(batch, batch.Rows.first(), result);
    if (!args.Seed)
        row["seed"] = QJsonValue();
    return row;
}

// Draws the lawn as the run left it, with the way the sheep went.
bool savePicture(const TSandboxSheep &sandbox, const TSheepPath &path, const QString &file)
{
    LoadRuntimeTileImages();
    QString error;
    if (SaveLawnPicture(file, DrawLawnPicture(sandbox.Field(), sandbox.Sheep(), path.Cells()), error))
        return true;
    writeLine(stderr, error);
    return false;
}

} // namespace

// Every run-time failure has its own exit status; running out of memory
// outside the steps (reading, parsing, the summary) ends here with a German text.
static int runMain(int argc, char **argv);

int main(int argc, char **argv)
{
    try {
        return runMain(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("grazlo-run: Nicht genügend Arbeitsspeicher.\n", stderr);
        return static_cast<int>(TRunResult::RuntimeError);
    }
}

static int runMain(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TArguments args;
    bool help = false;
    const QString problem = parseArguments(app.arguments().mid(1), args, help);
    if (!problem.isEmpty())
        return usageError("grazlo-run", problem, usage());
    if (help) {
        writeText(stdout, usage());
        return 0;
    }
    startProcessorAlarm(args.Run.TimeoutSeconds);
    args.Run.TimeUp = &timeUp;

    TTextLines script;
    QString error;
    if (!ReadScriptFile(args.Script, script, error)) {
        writeLine(stderr, error);
        return ExitNoInput;
    }
    TGradeWorld world;
    if (!prepareWorld(args, world))
        return ExitNoInput;
    TGradeResult result;
    TSheepRun run([&](const QString &line) {
        if (args.Json)
            result.AddMessage(line);
        else
            writeLine(stdout, line);
    });
    run.Sandbox().Field() = world.Lawn;
    if (args.Seed)
        SeedRandom(*args.Seed);
    TSheepPath path;
    if (!args.PngFile.isEmpty() || args.Json)
        run.Sandbox().setOnRefresh([&path](TSandboxSheep *sandbox) { path.Follow(sandbox->Sheep()); });
    args.Run.Summary = !args.Json;
    QElapsedTimer clock;
    clock.start();
    const TRunResult outcome = run.Execute(script.Lines, args.Run);
    if (args.Json) {
        result.Milliseconds = clock.elapsed();
        result.TakeRun(run, outcome, path);
        writeLine(stdout,
                  QString::fromUtf8(QJsonDocument(jsonRow(args, world, result)).toJson(QJsonDocument::Compact)));
    }
    if (!args.PngFile.isEmpty() && !savePicture(run.Sandbox(), path, args.PngFile))
        return ExitCantCreate;
    return static_cast<int>(outcome);
}
