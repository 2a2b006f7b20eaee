#include "grade/uGradeFiles.h"

#include "base/uTextFile.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char kCsvHeader[] =
    "Skript;Welt;Startwert;Status;Geschafft;Punkte;Schritte;Ungemäht;Gemäht;Fehlerzeile;Fehler;Millisekunden";

// A field in quotes when it holds the separator, a quote or a line end.
QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u"\""_qs, u"\"\""_qs) + u'"';
}

QString numberOrEmpty(bool known, qint64 value) { return known ? QString::number(value) : QString(); }

QStringList csvFields(const TGradeBatch &batch, const TGradeRow &row)
{
    const TGradeResult &r = row.Result;
    return {batch.ScriptOf(row).Name,
            batch.WorldOf(row).Name,
            QString::number(row.Seed),
            StatusText(r.Status),
            r.Solved() ? QStringLiteral("ja") : QStringLiteral("nein"),
            numberOrEmpty(r.Ran, r.Score),
            numberOrEmpty(r.Ran, r.Steps),
            numberOrEmpty(r.Ran, r.Uncut),
            numberOrEmpty(r.Ran, r.Cut),
            numberOrEmpty(r.Error.Line > 0, r.Error.Line),
            r.Error.Text,
            QString::number(r.Milliseconds)};
}

bool writeLines(const QString &folder, const QString &name, const QStringList &lines, TTextFormat format,
                QString &error)
{
    return WriteTextFile(QDir(folder).filePath(name), lines, format, error);
}

} // namespace

QStringList GradeCsvLines(const TGradeBatch &batch)
{
    QStringList lines{QString::fromUtf8(kCsvHeader)};
    for (const TGradeRow &row : batch.Rows) {
        QStringList fields = csvFields(batch, row);
        for (QString &field : fields)
            field = csvField(field);
        lines.append(fields.join(u';'));
    }
    return lines;
}

QJsonArray GradeJsonRows(const TGradeBatch &batch)
{
    QJsonArray rows;
    for (const TGradeRow &row : batch.Rows) {
        QJsonObject object = row.Result.ToJson();
        object.insert("script", batch.ScriptOf(row).Name);
        object.insert("world", batch.WorldOf(row).Name);
        object.insert("seed", qint64(row.Seed));
        rows.append(object);
    }
    return rows;
}

bool WriteGradeCsv(const QString &folder, const TGradeBatch &batch, QString &error)
{
    QStringList lines = GradeCsvLines(batch);
    lines.append(QString()); // the last row ends with CR LF too
    return writeLines(folder, QStringLiteral("ergebnis.csv"), lines, {TTextEncoding::Utf8Bom, TLineBreak::CrLf}, error);
}

bool WriteGradeJson(const QString &folder, const TGradeBatch &batch, QString &error)
{
    const QString text = QString::fromUtf8(QJsonDocument(GradeJsonRows(batch)).toJson(QJsonDocument::Indented));
    return WriteGradeText(folder, QStringLiteral("ergebnis.json"), text, error);
}

bool WriteGradeText(const QString &folder, const QString &name, const QString &text, QString &error)
{
    return writeLines(folder, name, {text}, {TTextEncoding::Utf8, TLineBreak::Lf}, error);
}
