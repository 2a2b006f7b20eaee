#include "grade/uGradeBatch.h"

#include "base/uTextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace {

bool isScriptName(const QString &name)
{
    return name.endsWith(u".gzc", Qt::CaseInsensitive) || name.endsWith(u".klc", Qt::CaseInsensitive);
}

QList<TGradeScript> scriptsInFolder(const QString &folder)
{
    QList<TGradeScript> found;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (isScriptName(it.fileName()))
            found.append({root.relativeFilePath(path), path, {}, {}});
    }
    return found;
}

bool isRegularFile(const QString &path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), ignored);
}

} // namespace

bool TGradeBatch::AnyScriptRead() const
{
    return std::any_of(Scripts.begin(), Scripts.end(), [](const TGradeScript &s) { return s.ReadError.isEmpty(); });
}

QList<TGradeScript> FindScripts(const QStringList &paths)
{
    QList<TGradeScript> scripts;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            scripts += scriptsInFolder(path);
        else
            scripts.append({path, path, {}, {}});
    }
    std::stable_sort(scripts.begin(), scripts.end(),
                     [](const TGradeScript &a, const TGradeScript &b) { return a.Name < b.Name; });
    return scripts;
}

void ReadScripts(QList<TGradeScript> &scripts)
{
    for (TGradeScript &script : scripts) {
        // A pipe or device would block the reading or never end.
        if (!isRegularFile(script.Path)) {
            script.ReadError =
                QStringLiteral(
                    "Die Datei \"%1\" kann nicht gelesen werden: Sie fehlt oder ist keine gewöhnliche Datei.")
                    .arg(script.Name);
            continue;
        }
        TTextLines text;
        if (ReadScriptFile(script.Path, text, script.ReadError))
            script.Lines = text.Lines;
    }
}

TGradeWorld EmptyLawnWorld()
{
    TGradeWorld world{QStringLiteral("leerer Rasen"), {}};
    world.Lawn.SetSize(10, 10);
    return world;
}

TGradeWorld LevelWorld(int level)
{
    TGradeWorld world = EmptyLawnWorld();
    world.Name = QStringLiteral("Level %1").arg(level);
    ApplyLevel(world.Lawn, level);
    return world;
}

bool LawnFileWorld(const QString &path, TGradeWorld &world, QString &error)
{
    world.Name = QFileInfo(path).fileName();
    return world.Lawn.Load(path, error);
}

void GradeAll(TGradeBatch &batch, const TGradeSettings &settings)
{
    batch.Rows.clear();
    for (int s = 0; s < batch.Scripts.size(); ++s)
        for (int w = 0; w < batch.Worlds.size(); ++w)
            for (quint32 seed = 1; seed <= settings.Seeds; ++seed)
                batch.Rows.append({s, w, seed, {}});

    // Unreadable scripts need no process: their rows are known already.
    QList<int> toRun;
    for (int i = 0; i < batch.Rows.size(); ++i) {
        const TGradeScript &script = batch.ScriptOf(batch.Rows[i]);
        if (script.ReadError.isEmpty())
            toRun.append(i);
        else
            batch.Rows[i].Result = ResultWithoutRun(TGradeStatus::Unreadable, script.ReadError);
    }
    const auto run = [&](int n) {
        const TGradeRow &row = batch.Rows[toRun[n]];
        return RunGradeScript(batch.ScriptOf(row).Lines, batch.WorldOf(row), row.Seed, settings.MaxSteps);
    };
    const QList<TGradeResult> results = RunIsolated(int(toRun.size()), run, settings.Limits);
    for (int n = 0; n < toRun.size(); ++n) {
        TGradeRow &row = batch.Rows[toRun[n]];
        row.Result = results[n];
        // A run stopped from outside left no lawn behind: show the world as it was.
        if (row.Result.Lawn.isEmpty())
            row.Result.Lawn = LawnRows(batch.WorldOf(row).Lawn);
    }
}
