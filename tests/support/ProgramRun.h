// Running one of the built programs to its end, and reading a file whole: what
// the tests of the command-line programs and of the installed form share.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace grazlo_test {

struct TProgramRun
{
    int exitCode = -1;
    QByteArray out, err;
};

struct TRunSettings
{
    QString workingFolder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // With merged channels the error output is part of out.
    QProcess::ProcessChannelMode channels = QProcess::SeparateChannels;
};

// A program that does not finish within two minutes fails the test.
inline TProgramRun runProgram(const QString &program, const QStringList &args, const TRunSettings &settings = {})
{
    QProcess process;
    process.setProcessEnvironment(settings.environment);
    process.setProcessChannelMode(settings.channels);
    if (!settings.workingFolder.isEmpty())
        process.setWorkingDirectory(settings.workingFolder);
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

} // namespace grazlo_test
