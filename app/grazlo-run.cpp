// grazlo-run: runs a sheep script without a window, for teachers, graders and
// tests. Every message, error and (with --trace) every announced line goes to
// standard output, followed by the score and the sheep's environment values.
#include "app/ConsoleOutput.h"
#include "base/uTextFile.h"
#include "sheep/uLawnPicture.h"
#include "sheep/uSheepRun.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <new>
#include <optional>

namespace {

// Far beyond any script a person writes; larger files are refused unread.
constexpr qint64 kMaxScriptBytes = 64 * 1024 * 1024;

const char kUsage[] =
    "Aufruf: grazlo-run [--level N | --lawn DATEI] [--seed N] [--max-steps N] [--trace] [--show-lawn]\n"
    "                  [--png DATEI] SKRIPT\n"
    "\n"
    "Führt ein Grazlo-Skript ohne Fenster aus, wie die Entwicklungsumgebung bei\n"
    "höchster Geschwindigkeit.\n"
    "\n"
    "  --level N      Level N (1 bis 6) statt des leeren 10 x 10 Rasens\n"
    "  --lawn DATEI   den Rasen aus einer Rasendatei (.glw) laden\n"
    "  --seed N       Startwert des Zufallsgenerators (sonst die Uhrzeit)\n"
    "  --max-steps N  höchstens N Schritte ausführen (Vorgabe 10000000)\n"
    "  --trace        jede angekündigte Zeile als \"@ Zeile\" ausgeben\n"
    "  --show-lawn    nach der Zusammenfassung die Zeilen des Rasens ausgeben\n"
    "  --png DATEI    den Rasen am Ende mit dem Weg des Schafs als PNG-Bild speichern\n"
    "\n"
    "Rückgabewert: 0 beendet, 1 Syntaxfehler, 2 Laufzeitfehler, 3 Schrittlimit,\n"
    "4 Rechenfehler, 64 falscher Aufruf, 66 Datei nicht lesbar,\n"
    "73 Bild nicht speicherbar.\n";

struct TArguments
{
    int Level = 0;
    QString LawnFile;
    QString PngFile;
    std::optional<quint32> Seed;
    TRunOptions Run;
    QString Script;
    bool Help = false;
};

bool readNumber(const QString &text, qint64 low, qint64 high, qint64 &value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && value >= low && value <= high;
}

// Parses the arguments; returns an error text, empty when they are fine.
QString parseArguments(const QStringList &args, TArguments &parsed)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool takesValue =
            arg == "--level" || arg == "--lawn" || arg == "--seed" || arg == "--max-steps" || arg == "--png";
        if (takesValue && i + 1 >= args.size())
            return "Zu " + arg + " fehlt der Wert.";
        const QString value = takesValue ? args[++i] : QString();
        qint64 n = 0;
        if (arg == "--help" || arg == "-h") {
            parsed.Help = true;
        } else if (arg == "--level") {
            if (!readNumber(value, 1, 6, n))
                return "Ungültiges Level: " + value + " (erlaubt sind 1 bis 6).";
            parsed.Level = int(n);
        } else if (arg == "--lawn") {
            parsed.LawnFile = value;
        } else if (arg == "--png") {
            parsed.PngFile = value;
        } else if (arg == "--seed") {
            if (!readNumber(value, 0, 0xFFFFFFFFLL, n))
                return "Ungültiger Startwert: " + value + ".";
            parsed.Seed = quint32(n);
        } else if (arg == "--max-steps") {
            if (!readNumber(value, 0, std::numeric_limits<qint64>::max(), n))
                return "Ungültige Schrittzahl: " + value + ".";
            parsed.Run.MaxSteps = n;
        } else if (arg == "--trace") {
            parsed.Run.Trace = true;
        } else if (arg == "--show-lawn") {
            parsed.Run.ShowLawn = true;
        } else if (arg.startsWith("--")) {
            return "Unbekannte Option: " + arg;
        } else if (!parsed.Script.isEmpty()) {
            return "Nur ein Skript ist erlaubt.";
        } else {
            parsed.Script = arg;
        }
    }
    if (parsed.Level && !parsed.LawnFile.isEmpty())
        return "--level und --lawn schließen einander aus.";
    if (parsed.Script.isEmpty() && !parsed.Help)
        return "Kein Skript angegeben.";
    return {};
}

// Sets up the lawn as the level menu or the lawn dialog would.
bool prepareLawn(const TArguments &args, TField &field)
{
    if (args.Level)
        return ApplyLevel(field, args.Level);
    if (args.LawnFile.isEmpty())
        return true;
    QString error;
    if (field.Load(args.LawnFile, error))
        return true;
    writeLine(stderr, error);
    return false;
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
    const QString problem = parseArguments(app.arguments().mid(1), args);
    if (!problem.isEmpty())
        return usageError("grazlo-run", problem, kUsage);
    if (args.Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    TTextLines script;
    QString error;
    if (!ReadTextFile(args.Script, script, error, kMaxScriptBytes)) {
        writeLine(stderr, error);
        return ExitNoInput;
    }
    TSheepRun run([](const QString &line) { writeLine(stdout, line); });
    if (!prepareLawn(args, run.Sandbox().Field()))
        return ExitNoInput;
    if (args.Seed)
        SeedRandom(*args.Seed);
    TSheepPath path;
    if (!args.PngFile.isEmpty())
        run.Sandbox().setOnRefresh([&path](TSandboxSheep *sandbox) { path.Follow(sandbox->Sheep()); });
    const int result = static_cast<int>(run.Execute(script.Lines, args.Run));
    if (!args.PngFile.isEmpty() && !savePicture(run.Sandbox(), path, args.PngFile))
        return ExitCantCreate;
    return result;
}
