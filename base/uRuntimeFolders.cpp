#include "base/uRuntimeFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
// The examples and the course the working folder starts with.
const char *const ExampleFolders[] = {"Code", "Greens", "Aufgaben"};

bool holdsData(const QDir &folder)
{
    return QFileInfo(folder.filePath(QStringLiteral("Code"))).isDir() &&
           QFileInfo(folder.filePath(QStringLiteral("Greens"))).isDir();
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHome(const TRuntimeEnvironment &env)
{
    if (QDir::isAbsolutePath(env.XdgConfigHome))
        return env.XdgConfigHome;
    return QDir(env.Home).filePath(QStringLiteral(".config"));
}

// Copies the files below `from` into a new folder `to`. The copy is made in a
// hidden folder beside `to` and renamed when complete, so a failure never
// leaves a half-filled folder that later starts would take for the user's own.
bool copyNewFolder(const QString &from, const QString &to, QString &error)
{
    const QFileInfo target(to);
    QDir staging(target.dir().filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".part")));
    staging.removeRecursively(); // left over from a start that was cut off
    bool ok = QDir().mkdir(staging.path());
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (ok && it.hasNext()) {
        const QString source = it.next();
        const QString copy = staging.filePath(QDir(from).relativeFilePath(source));
        ok = QDir().mkpath(QFileInfo(copy).path()) && QFile::copy(source, copy) &&
             QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner | QFile::ReadOwner);
    }
    ok = ok && QDir().rename(staging.path(), to);
    if (ok)
        return true;
    staging.removeRecursively();
    error = QStringLiteral("Die Beispiele konnten nicht nach %1 kopiert werden.").arg(QDir::toNativeSeparators(to));
    return false;
}

bool makeFolder(const QString &path, QString &error)
{
    if (QDir().mkpath(path) && QFileInfo(path).isDir())
        return true;
    error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(QDir::toNativeSeparators(path));
    return false;
}
} // namespace

QString PortableSettingsFile(const QString &executablePath)
{
    const QFileInfo info(executablePath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    return info.dir().filePath(base + QStringLiteral(".ini"));
}

TRuntimeFolders DecideRuntimeFolders(const TRuntimeEnvironment &env)
{
    const QFileInfo executable(env.ExecutablePath);
    const QDir programFolder = executable.absoluteDir();
    TRuntimeFolders folders;
    folders.StartFolder = env.CurrentFolder;
    if (holdsData(programFolder) && QFileInfo(programFolder.path()).isWritable()) {
        folders.Form = TRuntimeForm::Portable;
        folders.DataFolder = programFolder.path();
        folders.SettingsFile = PortableSettingsFile(executable.absoluteFilePath());
        folders.WorkingFolder = programFolder.path();
        return folders;
    }
    folders.Form = TRuntimeForm::Installed;
    folders.DataFolder = holdsData(programFolder)
                             ? programFolder.path()
                             : QDir::cleanPath(programFolder.filePath(QStringLiteral(GRAZLO_DATA_FROM_BIN)));
    folders.SettingsFile = QDir(configHome(env)).filePath(QStringLiteral("grazlo/grazlo.ini"));
    folders.WorkingFolder = QDir(env.Home).filePath(QStringLiteral("Grazlo"));
    return folders;
}

TRuntimeEnvironment CurrentRuntimeEnvironment()
{
    TRuntimeEnvironment env;
    // /proc/self/exe works before (and without) an application object.
    env.ExecutablePath = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    env.Home = QDir::homePath();
    env.XdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    env.CurrentFolder = QDir::currentPath();
    return env;
}

const TRuntimeFolders &RuntimeFolders()
{
    static const TRuntimeFolders folders = DecideRuntimeFolders(CurrentRuntimeEnvironment());
    return folders;
}

bool PrepareUserFolders(const TRuntimeFolders &folders, QString &error)
{
    if (folders.Form == TRuntimeForm::Portable)
        return true;
    if (!makeFolder(QFileInfo(folders.SettingsFile).path(), error) || !makeFolder(folders.WorkingFolder, error))
        return false;
    for (const char *name : ExampleFolders) {
        const QString mine = QDir(folders.WorkingFolder).filePath(QLatin1String(name));
        const QString shipped = QDir(folders.DataFolder).filePath(QLatin1String(name));
        if (!QFileInfo::exists(mine) && QFileInfo(shipped).isDir() && !copyNewFolder(shipped, mine, error))
            return false;
    }
    if (QDir::setCurrent(folders.WorkingFolder))
        return true;
    error = QStringLiteral("In den Ordner %1 kann nicht gewechselt werden.")
                .arg(QDir::toNativeSeparators(folders.WorkingFolder));
    return false;
}
