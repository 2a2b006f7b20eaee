#include "grade/uGradeClass.h"

#include "grade/uGradeFiles.h"
#include "grade/uGradeHtml.h"

#include <QDir>

bool GradeClass(const QString &folder, TGradeBatch &batch, const TGradeSettings &settings, QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("Der Ordner \"%1\" kann nicht angelegt werden.").arg(folder);
        return false;
    }
    // The reference solution's rows come last and stay out of ergebnis.json.
    const qsizetype pupilRows = batch.PupilRunCount(settings.Seeds);
    TGradeJsonWriter json;
    if (!json.Open(folder, int(pupilRows), error))
        return false;
    const qint64 share = ReportShare(batch.Scripts.size() * batch.Worlds.size() * qsizetype(settings.Seeds));
    GradeAll(batch, settings, [&](int rowIndex, const TGradeResult &whole) {
        TGradeRow &row = batch.Rows[rowIndex];
        if (rowIndex < pupilRows)
            json.Add(rowIndex, GradeJsonRow(batch, row, whole));
        row.Report = ReportRun(batch, row, whole, share);
    });
    return json.Finish(error) && WriteGradeCsv(folder, batch, error) && WriteSummaryCsv(folder, batch, error) &&
           WriteGradeBytes(folder, QStringLiteral("bericht.html"), GradeReportHtml(batch, settings), error);
}
