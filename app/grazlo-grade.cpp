// grazlo-grade: grades a class's scripts on levels, lawn files and seeds, or
// by a task's worlds and goals, one child process per run, and writes
// ergebnis.csv, uebersicht.csv, ergebnis.json and bericht.html into the
// results folder.
#include "app/ConsoleOutput.h"
#include "app/uCommandLine.h"
#include "grade/uGradeClass.h"
#include "sheep/uLawnPicture.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <thread>

namespace {

QString usage()
{
    return QStringLiteral(
               "Aufruf: grazlo-grade [--task AUFGABE] [--level N]... [--lawn DATEI]... [--seeds N] [--max-steps N]\n"
               "                     [--timeout S] [--memory MB] [--jobs N] [--out ORDNER] SKRIPT_ODER_ORDNER...\n"
               "\n"
               "Bewertet die Skripte einer Klasse: jedes Skript (.gzc, .klc; in Ordnern auch in\n"
               "Unterordnern) läuft auf jeder Welt mit jedem Startwert, jeder Lauf für sich in\n"
               "einem eigenen Prozess. Ergebnisse: ergebnis.csv, uebersicht.csv, ergebnis.json\n"
               "und bericht.html.\n"
               "\n"
               "  --task AUFGABE eine Aufgabe (.gza): ihre Welten, Startwerte, Limits und Ziele;\n"
               "                 geschafft heißt dann: jedes Ziel erreicht. --level und --lawn fügen\n"
               "                 Welten hinzu, --seeds, --max-steps und --timeout gehen der Aufgabe\n"
               "                 vor. Die Musterlösung der Aufgabe steht nur in bericht.html.\n"
               "  --level N      Level N (1 bis %1) als Welt; mehrfach erlaubt\n"
               "  --lawn DATEI   einen Rasen aus einer Rasendatei (.glw) als Welt; mehrfach erlaubt\n"
               "                 (ohne --task, --level und --lawn: der leere 10 x 10 Rasen)\n"
               "  --seeds N      jeden Lauf mit den Startwerten 1 bis N wiederholen (Vorgabe 1)\n"
               "  --max-steps N  höchstens N Programmschritte je Lauf (Vorgabe %2)\n"
               "  --timeout S    höchstens S Sekunden Rechenzeit je Lauf (1 bis %3, Vorgabe %4)\n"
               "  --memory MB    höchstens MB Megabyte Speicher je Lauf (Vorgabe %5)\n"
               "  --jobs N       N Läufe gleichzeitig (Vorgabe: Zahl der Prozessoren)\n"
               "  --out ORDNER   Ordner für die Ergebnisse (Vorgabe %6)\n"
               "\n"
               "Rückgabewert: 0 alle Läufe ausgeführt, 64 falscher Aufruf, 65 Fehler in der\n"
               "Aufgabe, 66 kein Skript lesbar, ein Skript, Ordner, eine Rasendatei oder die\n"
               "Aufgabe nicht gefunden oder nicht lesbar, 73 Ergebnisse nicht speicherbar.\n")
        .arg(QString::number(LevelCount), QString::number(DefaultMaxSteps), QString::number(MaxTimeoutSeconds),
             QString::number(TIsolationLimits().TimeoutSeconds), QString::number(TIsolationLimits().MemoryBytes >> 20),
             TGradeSettings().OutDir);
}

// The options of grazlo-grade over the defaults in `settings`.
TCommandLine gradeCommandLine(TGradeSettings &settings)
{
    TCommandLine line;
    TGradeSettings &s = settings;
    line.Options = {
        {"--task",
         [&s](const QString &v) {
             s.TaskFile = v;
             return QString();
         }},
        {"--level",
         [&s](const QString &v) {
             TWorldChoice world;
             const QString problem = ReadLevel(v, world.Level);
             if (problem.isEmpty())
                 s.Worlds.append(world);
             return problem;
         }},
        {"--lawn",
         [&s](const QString &v) {
             s.Worlds.append(TWorldChoice{0, v});
             return QString();
         }},
        {"--seeds", [&s](const QString &v) { return ReadSeedCount(v, s.Seeds); }},
        {"--max-steps", [&s](const QString &v) { return ReadStepCount(v, s.MaxSteps); }},
        {"--timeout", [&s](const QString &v) { return ReadTimeout(v, 1, s.Limits.TimeoutSeconds); }},
        {"--memory", [&s](const QString &v) { return ReadMemory(v, s.Limits.MemoryBytes); }},
        {"--jobs", [&s](const QString &v) { return ReadJobCount(v, s.Limits.Jobs); }},
        {"--out",
         [&s](const QString &v) {
             s.OutDir = v;
             return v.isEmpty() ? QStringLiteral("Der Ergebnisordner darf nicht leer sein.") : QString();
         }},
    };
    line.Plain = [&s](const QString &v) {
        s.Inputs.append(v);
        return QString();
    };
    return line;
}

TGradeSettings defaultSettings()
{
    TGradeSettings settings;
    settings.Limits.Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    return settings;
}

// The first script or folder named that does not exist; a broken link is
// named on purpose and shows up as unreadable.
QString missingInput(const QStringList &inputs)
{
    for (const QString &input : inputs)
        if (!QFileInfo::exists(input) && !QFileInfo(input).isSymLink())
            return input;
    return {};
}

bool loadTaskWorlds(const TTask &task, QList<TGradeWorld> &worlds, QString &error)
{
    for (const TTaskWorld &taskWorld : task.Worlds) {
        TGradeWorld world{taskWorld.Label, {}};
        if (!LoadTaskWorld(taskWorld, world.Lawn, error))
            return false;
        worlds.append(world);
    }
    return true;
}

// Reads the task named and its worlds into the batch; 0, or the exit status
// after saying on standard error what is wrong. Warnings are only shown.
int readTask(const QString &path, TGradeBatch &batch)
{
    if (!QFileInfo(path).isFile()) {
        writeLine(stderr, "grazlo-grade: Aufgabe nicht gefunden: " + path);
        return ExitNoInput;
    }
    TTask task;
    QString error;
    QStringList warnings;
    const bool read = ReadTask(path, task, error, warnings);
    for (const QString &warning : warnings)
        writeLine(stderr, "grazlo-grade: " + warning);
    if (!read || !loadTaskWorlds(task, batch.Worlds, error)) {
        writeLine(stderr, "grazlo-grade: " + error);
        return ExitDataError;
    }
    batch.Task = task;
    return 0;
}

// The task's seeds and limits, which the command line may override.
TGradeSettings taskSettings(const TTask &task)
{
    TGradeSettings settings = defaultSettings();
    settings.Seeds = task.Seeds;
    settings.MaxSteps = task.MaxSteps;
    settings.Limits.TimeoutSeconds = task.TimeoutSeconds;
    return settings;
}

// The worlds asked for after the task's, in order; false with a German
// message when a lawn file cannot be read.
bool prepareWorlds(const TGradeSettings &settings, QList<TGradeWorld> &worlds, QString &error)
{
    if (settings.Worlds.isEmpty() && worlds.isEmpty())
        worlds.append(EmptyLawnWorld());
    QStringList lawnFiles;
    for (const TWorldChoice &choice : settings.Worlds)
        if (!choice.Level)
            lawnFiles.append(choice.LawnFile);
    const QStringList labels = LawnLabels(lawnFiles);
    for (const TWorldChoice &choice : settings.Worlds) {
        if (choice.Level) {
            worlds.append(LevelWorld(choice.Level));
            continue;
        }
        TGradeWorld world;
        if (!LawnFileWorld(choice.LawnFile, world, error))
            return false;
        world.Name = labels[lawnFiles.indexOf(choice.LawnFile)];
        worlds.append(world);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    TGradeSettings settings = defaultSettings();
    TCommandLine line = gradeCommandLine(settings);
    QString problem = line.Read(args);
    if (problem.isEmpty() && settings.Inputs.isEmpty() && !line.Help)
        problem = QStringLiteral("Kein Skript und kein Ordner angegeben.");
    if (!problem.isEmpty())
        return usageError("grazlo-grade", problem, usage());
    if (line.Help) {
        writeText(stdout, usage());
        return 0;
    }
    if (const QString missing = missingInput(settings.Inputs); !missing.isEmpty()) {
        writeLine(stderr, "grazlo-grade: Skript oder Ordner nicht gefunden: " + missing);
        return ExitNoInput;
    }

    TGradeBatch batch;
    if (!settings.TaskFile.isEmpty()) {
        if (const int failed = readTask(settings.TaskFile, batch))
            return failed;
        // The same options read again over the task's values: what the
        // command line names wins.
        settings = taskSettings(*batch.Task);
        gradeCommandLine(settings).Read(args);
    }
    QString error;
    if (!prepareWorlds(settings, batch.Worlds, error)) {
        writeLine(stderr, "grazlo-grade: " + error);
        return ExitNoInput;
    }
    batch.Scripts = FindScripts(settings.Inputs);
    if (batch.Scripts.isEmpty()) {
        writeLine(stderr, QStringLiteral("grazlo-grade: Keine Skripte (.gzc, .klc) gefunden."));
        return ExitNoInput;
    }
    ReadScripts(batch.Scripts);
    AddReferenceScript(batch);
    LoadRuntimeTileImages();

    if (!GradeClass(settings.OutDir, batch, settings, error)) {
        writeLine(stderr, "grazlo-grade: " + error);
        return ExitCantCreate;
    }
    const qsizetype pupilRuns = batch.PupilRunCount(settings.Seeds);
    const QString reference = pupilRuns < batch.Rows.size()
                                  ? QStringLiteral(" (dazu %1 der Musterlösung)").arg(batch.Rows.size() - pupilRuns)
                                  : QString();
    writeLine(stdout,
              QStringLiteral("%1 Läufe bewertet%2; Ergebnisse in %3").arg(pupilRuns).arg(reference, settings.OutDir));
    return batch.AnyScriptRead() ? 0 : ExitNoInput;
}
