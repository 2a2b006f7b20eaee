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
    const QDir root(QFileInfo(folder).absoluteFilePath());
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (isScriptName(it.fileName()))
            found.append({root.relativeFilePath(QFileInfo(path).absoluteFilePath()), path, folder, {}, {}});
    }
    return found;
}

bool isRegularFile(const QString &path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), ignored);
}

// A hand-in may hold links; one that leads out of the class folder could show
// the teacher's own files in the report.
bool leadsOutOf(const QString &folder, const QString &path)
{
    if (folder.isEmpty() || !QFileInfo(path).isSymLink())
        return false;
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path root = fs::weakly_canonical(fs::path(folder.toStdString()), error);
    const fs::path target = fs::weakly_canonical(fs::path(path.toStdString()), error);
    if (error)
        return true;
    const auto [rootEnd, targetAt] = std::mismatch(root.begin(), root.end(), target.begin(), target.end());
    return rootEnd != root.end();
}

// A NUL, or control characters (tabs, form feeds and the old end-of-file
// mark aside) in more than one character of twenty: a program, a picture or
// an archive was handed in, not a script with a stray character.
bool isText(const QStringList &lines)
{
    qsizetype controls = 0, total = 0;
    for (const QString &line : lines) {
        total += line.size() + 1;
        for (const QChar c : line) {
            const char16_t u = c.unicode();
            if (u == 0)
                return false;
            if ((u < 0x20 && u != u'\t' && u != u'\f' && u != u'\v' && u != 0x1a) || (u >= 0x80 && u < 0xa0))
                ++controls;
        }
    }
    return controls * 20 <= total;
}

QString unreadable(const TGradeScript &script, const QString &reason)
{
    return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2.").arg(script.Name, reason);
}

} // namespace

bool TGradeBatch::AnyScriptRead() const
{
    return std::any_of(Scripts.begin(), Scripts.begin() + PupilCount(),
                       [](const TGradeScript &s) { return s.ReadError.isEmpty(); });
}

qsizetype TGradeBatch::PupilCount() const
{
    return !Scripts.isEmpty() && Scripts.back().Reference ? Scripts.size() - 1 : Scripts.size();
}

QList<TGradeScript> FindScripts(const QStringList &paths)
{
    QList<TGradeScript> scripts;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            scripts += scriptsInFolder(path);
        else
            scripts.append({path, path, {}, {}, {}});
    }
    std::stable_sort(scripts.begin(), scripts.end(),
                     [](const TGradeScript &a, const TGradeScript &b) { return a.Name < b.Name; });
    return scripts;
}

void ReadScripts(QList<TGradeScript> &scripts)
{
    for (TGradeScript &script : scripts) {
        if (leadsOutOf(script.Folder, script.Path)) {
            script.ReadError = unreadable(script, QStringLiteral("Verweis aus dem Ordner heraus"));
            continue;
        }
        // A pipe or device would block the reading or never end.
        if (!isRegularFile(script.Path)) {
            script.ReadError = unreadable(script, QStringLiteral("Sie fehlt oder ist keine gewöhnliche Datei"));
            continue;
        }
        TTextLines text;
        if (!ReadScriptFile(script.Path, text, script.ReadError))
            continue;
        if (isText(text.Lines))
            script.Lines = text.Lines;
        else
            script.ReadError = unreadable(script, QStringLiteral("keine Textdatei"));
    }
}

void AddReferenceScript(TGradeBatch &batch)
{
    if (!batch.Task || batch.Task->Reference.isEmpty())
        return;
    const QString folder = QFileInfo(batch.Task->FilePath).absolutePath();
    const QString &path = batch.Task->Reference;
    QList<TGradeScript> reference{{QDir(folder).relativeFilePath(path), path, folder, {}, {}, true}};
    ReadScripts(reference);
    batch.Scripts += reference;
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

QStringList LawnLabels(const QStringList &paths)
{
    QList<QStringList> parts;
    for (const QString &path : paths)
        parts.append(QFileInfo(path).absoluteFilePath().split(u'/', Qt::SkipEmptyParts));
    const auto tail = [&](qsizetype i, qsizetype n) { return parts[i].mid(parts[i].size() - n).join(u'/'); };
    QStringList labels;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        qsizetype n = 1;
        const auto clashes = [&] {
            for (qsizetype j = 0; j < parts.size(); ++j)
                if (parts[j] != parts[i] && parts[j].size() >= n && tail(j, n) == tail(i, n))
                    return true;
            return false;
        };
        while (n < parts[i].size() && clashes())
            ++n;
        labels.append(tail(i, n));
    }
    return labels;
}

void GradeAll(TGradeBatch &batch, const TGradeSettings &settings,
              const std::function<void(int rowIndex, const TGradeResult &whole)> &graded)
{
    batch.Rows.clear();
    for (int s = 0; s < batch.Scripts.size(); ++s)
        for (int w = 0; w < batch.Worlds.size(); ++w)
            for (quint32 seed = 1; seed <= settings.Seeds; ++seed)
                batch.Rows.append({s, w, seed, {}, {}});

    const auto keep = [&](int rowIndex, TGradeResult &result) {
        TGradeRow &row = batch.Rows[rowIndex];
        row.Result = std::move(result);
        // A run stopped from outside left no lawn behind: show the world as it was.
        if (row.Result.Lawn.isEmpty())
            row.Result.Lawn = LawnRows(batch.WorldOf(row).Lawn);
        if (batch.Task)
            row.Verdict = CheckGoals(batch.Task->Goals, TRunFacts::FromJson(row.Result.ToJson()));
        graded(rowIndex, row.Result);
        row.Result.Messages.clear();
        row.Result.Path.clear();
        row.Result.Lawn.clear();
    };
    // Unreadable scripts need no process: their rows are known already.
    QList<int> toRun;
    for (int i = 0; i < batch.Rows.size(); ++i) {
        const TGradeScript &script = batch.ScriptOf(batch.Rows[i]);
        if (script.ReadError.isEmpty()) {
            toRun.append(i);
            continue;
        }
        TGradeResult unread = ResultWithoutRun(TGradeStatus::Unreadable, script.ReadError);
        keep(i, unread);
    }
    const auto run = [&](int n) {
        const TGradeRow &row = batch.Rows[toRun[n]];
        return RunGradeScript(batch.ScriptOf(row).Lines, batch.WorldOf(row), row.Seed, settings.MaxSteps);
    };
    RunIsolated(int(toRun.size()), run, settings.Limits, [&](int n, TGradeResult &result) { keep(toRun[n], result); });
}
