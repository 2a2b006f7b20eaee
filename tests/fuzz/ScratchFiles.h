#pragma once
// Files for targets that go through the disk: one temporary folder per
// process, so each input costs a write and no set-up.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace grazlo_fuzz {

// The path of name inside the process's scratch folder.
inline QString ScratchPath(const QString &name)
{
    static const QTemporaryDir folder;
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
