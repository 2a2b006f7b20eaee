#pragma once
// The command lines of grazlo-run and grazlo-grade, read by one reader: each
// program lists its options, and the values they share (level, seed, step
// count, time and memory limits) are read here, with their ranges and German
// error texts, once.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Applies an option's value or a plain argument; returns a German error
// text, empty when it is fine.
using TApplyArgument = std::function<QString(const QString &value)>;

struct TOption
{
    QString Name;
    // Null for an option without a value (a switch), then called with "".
    TApplyArgument Apply;
    bool TakesValue = true;
};

struct TCommandLine
{
    QList<TOption> Options;
    // Every argument that is no option: the scripts (and folders).
    TApplyArgument Plain;
    bool Help = false;

    // Reads the arguments (without the program's name); returns the first
    // problem as a German text, empty when they are fine.
    QString Read(const QStringList &args);
};

// The limits a value may take.
constexpr int LevelCount = 6;
constexpr quint32 MaxSeedCount = 1000;
constexpr int MaxTimeoutSeconds = 86400;
constexpr int MaxMemoryMegabytes = 1 << 20;
constexpr int MaxJobCount = 256;

// The shared values; each returns a German error text naming the range,
// empty when the value is fine.
QString ReadLevel(const QString &text, int &level);
QString ReadSeed(const QString &text, quint32 &seed);
QString ReadSeedCount(const QString &text, quint32 &seeds);
QString ReadStepCount(const QString &text, qint64 &steps);
// Seconds, with a point or a comma, from lowest to a day.
QString ReadTimeout(const QString &text, int lowest, double &seconds);
QString ReadMemory(const QString &text, qint64 &bytes);
QString ReadJobCount(const QString &text, int &jobs);
