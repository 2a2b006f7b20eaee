#pragma once
// Files for targets that go through the disk: one temporary folder per
// process, so each input costs a write and no set-up.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace grazlo_fuzz {

// The path of name inside the process's scratch folder.
inline QString ScratchPath(const QString &name)
{
    // In memory where there is such a file system: the writers sync to disk.
    static const QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                          ? QStringLiteral("/dev/shm/grazlo-fuzz-XXXXXX")
                                          : QDir::tempPath() + QStringLiteral("/grazlo-fuzz-XXXXXX"));
    return folder.filePath(name);
}

// Replaces the file's content with bytes; returns its path.
inline QString WriteScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = ScratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

} // namespace grazlo_fuzz
