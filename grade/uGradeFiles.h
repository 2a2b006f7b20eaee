#pragma once
// The result files of a graded class: a table for the spreadsheet and the
// same rows, with messages and paths, for other programs.
#include "grade/uGradeBatch.h"

#include <QJsonArray>

// The table rows of ergebnis.csv, header first, without line ends.
QStringList GradeCsvLines(const TGradeBatch &batch);
// The rows as the objects of ergebnis.json.
QJsonArray GradeJsonRows(const TGradeBatch &batch);

// Write the files into folder, each replacing the old one only when written
// completely; false with a German message otherwise.
bool WriteGradeCsv(const QString &folder, const TGradeBatch &batch, QString &error);
bool WriteGradeJson(const QString &folder, const TGradeBatch &batch, QString &error);
// Writes text as UTF-8 in folder/name, with the same care.
bool WriteGradeText(const QString &folder, const QString &name, const QString &text, QString &error);
