#pragma once
// A class graded into its results folder: the runs, ergebnis.json written as
// they end, then the tables and the report.
#include "grade/uGradeBatch.h"

// Creates folder, grades the batch and writes ergebnis.json, ergebnis.csv,
// uebersicht.csv and bericht.html (only the report shows the task's
// reference solution); false with a German message when the folder or a file
// cannot be written (before any run when the folder cannot).
bool GradeClass(const QString &folder, TGradeBatch &batch, const TGradeSettings &settings, QString &error);
