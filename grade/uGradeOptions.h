#pragma once
// The command line of grazlo-grade.
#include <QList>
#include <QString>
#include <QStringList>

extern const char GradeUsage[];

// One world asked for: a level (1 to 6) or a lawn file.
struct TWorldChoice
{
    int Level = 0;
    QString LawnFile;
};

struct TGradeOptions
{
    QList<TWorldChoice> Worlds;
    quint32 Seeds = 1;
    qint64 MaxSteps = 10000000;
    double TimeoutSeconds = 10;
    int Jobs = 1;
    int MemoryMegabytes = 512;
    QString OutDir = QStringLiteral("bewertung");
    QStringList Inputs;
    bool Help = false;
};

// Reads the arguments (without the program name) over the defaults in
// `options`; returns a German error text, empty when they are fine. Named
// scripts and folders must exist.
QString ParseGradeArguments(const QStringList &args, TGradeOptions &options);
