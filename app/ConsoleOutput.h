#pragma once
// Output of the command-line programs: lines in UTF-8, and the answer to a
// wrong call (the problem, then the usage text, on standard error).
#include <QByteArray>
#include <QString>

#include <cstdio>

// Exit statuses shared by the programs: a wrong call, an input with a
// mistake in it, an input that cannot be read, an output that cannot be
// written.
enum TExitCode { ExitUsage = 64, ExitDataError = 65, ExitNoInput = 66, ExitCantCreate = 73 };

inline void writeText(FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, utf8.size(), stream);
}

inline void writeLine(FILE *stream, const QString &line) { writeText(stream, line + u'\n'); }

inline int usageError(const char *program, const QString &problem, const QString &usage)
{
    writeLine(stderr, QString::fromUtf8(program) + ": " + problem);
    writeText(stderr, usage);
    return ExitUsage;
}
