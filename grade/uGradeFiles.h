#pragma once
// The result files of a graded class: tables for the spreadsheet and the
// same rows, with messages and paths, for other programs.
#include "grade/uGradeBatch.h"

#include <QSaveFile>
#include <QTemporaryFile>

#include <memory>

// The table rows of ergebnis.csv, header first, without line ends; the
// tables leave the reference solution out.
QStringList GradeCsvLines(const TGradeBatch &batch);
// The table rows of uebersicht.csv: one per script, what a gradebook takes.
QStringList SummaryCsvLines(const TGradeBatch &batch);
// The row object of ergebnis.json.
QJsonObject GradeJsonRow(const TGradeBatch &batch, const TGradeRow &row, const TGradeResult &whole);
// Graded by a task: "solved" as its goals decide, and in "goal" the first
// one missed (null when none was).
void AddVerdict(QJsonObject &run, const TGradeRow &row);

// ergebnis.json written as the runs end: each row goes to a spool file at
// once, and Finish copies them in the table's order into the result, which
// replaces an old one only when complete. Errors are German messages.
class TGradeJsonWriter
{
public:
    bool Open(const QString &folder, int rowCount, QString &error);
    // Row index and its object; false once a write has failed.
    bool Add(int index, const QJsonObject &row);
    bool Finish(QString &error);

private:
    bool fail(QString &error);

    QString iPath;
    std::unique_ptr<QTemporaryFile> iSpool;
    // Where each row lies in the spool file.
    QList<std::pair<qint64, qint64>> iSpans;
    bool iFailed = false;
};

// Write the tables into folder, each replacing the old one only when written
// completely; false with a German message otherwise.
bool WriteGradeCsv(const QString &folder, const TGradeBatch &batch, QString &error);
bool WriteSummaryCsv(const QString &folder, const TGradeBatch &batch, QString &error);
// Writes bytes into folder/name, with the same care.
bool WriteGradeBytes(const QString &folder, const QString &name, const QByteArray &bytes, QString &error);
