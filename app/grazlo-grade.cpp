// grazlo-grade: grades a class's scripts on levels, lawn files and seeds, one
// child process per run, and writes ergebnis.csv, uebersicht.csv,
// ergebnis.json and bericht.html into the results folder.
#include "app/ConsoleOutput.h"
#include "grade/uGradeClass.h"
#include "grade/uGradeOptions.h"
#include "sheep/uLawnPicture.h"

#include <QCoreApplication>

#include <cstdio>
#include <thread>

namespace {

// The worlds asked for, in order; false with a German message when a lawn
// file cannot be read.
bool prepareWorlds(const TGradeOptions &options, QList<TGradeWorld> &worlds, QString &error)
{
    if (options.Worlds.isEmpty())
        worlds.append(EmptyLawnWorld());
    QStringList lawnFiles;
    for (const TWorldChoice &choice : options.Worlds)
        if (!choice.Level)
            lawnFiles.append(choice.LawnFile);
    const QStringList labels = LawnLabels(lawnFiles);
    for (const TWorldChoice &choice : options.Worlds) {
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
    TGradeOptions options;
    options.Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    const QString problem = ParseGradeArguments(app.arguments().mid(1), options);
    if (!problem.isEmpty())
        return usageError("grazlo-grade", problem, GradeUsage);
    if (options.Help) {
        std::fputs(GradeUsage, stdout);
        return 0;
    }

    TGradeBatch batch;
    QString error;
    if (!prepareWorlds(options, batch.Worlds, error)) {
        writeLine(stderr, "grazlo-grade: " + error);
        return ExitNoInput;
    }
    batch.Scripts = FindScripts(options.Inputs);
    if (batch.Scripts.isEmpty()) {
        writeLine(stderr, QStringLiteral("grazlo-grade: Keine Skripte (.gzc, .klc) gefunden."));
        return ExitNoInput;
    }
    ReadScripts(batch.Scripts);
    LoadRuntimeTileImages();

    TGradeSettings settings;
    settings.Seeds = options.Seeds;
    settings.MaxSteps = options.MaxSteps;
    settings.Limits.Jobs = options.Jobs;
    settings.Limits.TimeoutSeconds = options.TimeoutSeconds;
    settings.Limits.MemoryBytes = qint64(options.MemoryMegabytes) << 20;
    if (!GradeClass(options.OutDir, batch, settings, error)) {
        writeLine(stderr, "grazlo-grade: " + error);
        return ExitCantCreate;
    }
    writeLine(stdout, QStringLiteral("%1 Läufe bewertet; Ergebnisse in %2").arg(batch.Rows.size()).arg(options.OutDir));
    return batch.AnyScriptRead() ? 0 : ExitNoInput;
}
