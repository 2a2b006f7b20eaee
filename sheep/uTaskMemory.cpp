#include "sheep/uTaskMemory.h"

#include "base/uIniFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {

// A task's section is named after its file's absolute path, hashed: a path
// may hold characters that a section name cannot.
QString sectionOf(const QString &taskFile)
{
    const QByteArray path = QFileInfo(taskFile).absoluteFilePath().toUtf8();
    return QStringLiteral("Aufgabe ") +
           QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

} // namespace

QString TaskMemoFile(const QString &settingsFile)
{
    return QFileInfo(settingsFile).dir().filePath(QStringLiteral("grazlo-aufgaben.ini"));
}

TTaskMemo RecallTask(const QString &memoFile, const QString &taskFile)
{
    const TIniFile ini(memoFile);
    const QString section = sectionOf(taskFile);
    return {ini.ReadBool(section, "Geloest", false), ini.ReadString(section, "Skript", QString())};
}

bool RememberTask(const QString &memoFile, const QString &taskFile, const TTaskMemo &memo, QString &error)
{
    TIniFile ini(memoFile);
    const QString section = sectionOf(taskFile);
    ini.WriteString(section, "Datei", QFileInfo(taskFile).absoluteFilePath());
    ini.WriteBool(section, "Geloest", memo.Solved);
    ini.WriteString(section, "Skript", memo.Script);
    try {
        ini.UpdateFile();
    } catch (const TIniWriteError &failure) {
        error = QStringLiteral("Der Stand der Aufgabe kann nicht gespeichert werden: %1").arg(failure.Reason);
        return false;
    }
    return true;
}
