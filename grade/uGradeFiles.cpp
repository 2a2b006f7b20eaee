#include "grade/uGradeFiles.h"

#include "base/uFileBytes.h"
#include "base/uTextFile.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>

namespace {

const char kCsvHeader[] =
    "Skript;Welt;Startwert;Status;Geschafft;Punkte;Schritte;Ungemäht;Gemäht;Fehlerzeile;Fehler;Millisekunden";
const char kSummaryHeader[] = "Skript;Welten;Geschafft;Punkte gesamt;Punkte Median;Fehler";

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u < 0xa0);
}

// A text a pupil controls, made safe for a spreadsheet: a cell that would
// start a formula gets a leading ', and control characters other than line
// breaks become U+FFFD.
QString textCell(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    QString cell = !text.isEmpty() && formulaStarts.contains(text.front()) ? u'\'' + text : text;
    for (QChar &c : cell)
        if (isControl(c) && c != u'\n' && c != u'\r')
            c = QChar::ReplacementCharacter;
    return cell;
}

// A field in quotes when it holds the separator, a quote or a line end.
QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u"\""_qs, u"\"\""_qs) + u'"';
}

QString csvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(csvField(field));
    return quoted.join(u';');
}

QString numberOrEmpty(bool known, qint64 value) { return known ? QString::number(value) : QString(); }

// What went wrong in a row: the first goal of the task it missed, else its
// error, with its line in front when asked.
QString problemText(const TGradeRow &row, bool withLine)
{
    if (row.Verdict)
        return row.Verdict->Reason;
    const TRunError &error = row.Result.Error;
    return withLine && error.Line > 0 ? QStringLiteral("Zeile %1: %2").arg(error.Line).arg(error.Text) : error.Text;
}

QStringList csvFields(const TGradeBatch &batch, const TGradeRow &row)
{
    const TGradeResult &r = row.Result;
    return {textCell(batch.ScriptOf(row).Name),
            textCell(batch.WorldOf(row).Name),
            QString::number(row.Seed),
            StatusText(r.Status),
            row.Solved() ? QStringLiteral("ja") : QStringLiteral("nein"),
            numberOrEmpty(r.Ran, r.Score),
            numberOrEmpty(r.Ran, r.Steps),
            numberOrEmpty(r.Ran, r.Uncut),
            numberOrEmpty(r.Ran, r.Cut),
            numberOrEmpty(r.Error.Line > 0, r.Error.Line),
            textCell(problemText(row, false)),
            QString::number(r.Milliseconds)};
}

// The middle score, or the mean of the two middle ones; none without scores.
std::optional<double> median(QList<qint64> scores)
{
    if (scores.isEmpty())
        return std::nullopt;
    std::sort(scores.begin(), scores.end());
    const qsizetype m = scores.size() / 2;
    return scores.size() % 2 ? double(scores[m]) : (scores[m - 1] + scores[m]) / 2.0;
}

// As a German spreadsheet reads numbers: a decimal comma.
QString numberCell(std::optional<double> value)
{
    return value ? QString::number(*value, 'f', *value == std::floor(*value) ? 0 : 1).replace(u'.', u',') : QString();
}

// One script's line: worlds solved with every seed, the sum of the worlds'
// median scores, the median of all its scores and its first error (graded by
// a task: the first goal it missed).
QStringList summaryFields(const TGradeBatch &batch, int script)
{
    int solved = 0;
    std::optional<double> total;
    QList<qint64> all;
    QString firstError;
    for (int w = 0; w < batch.Worlds.size(); ++w) {
        bool allSolved = true;
        QList<qint64> scores;
        for (const TGradeRow &row : batch.Rows) {
            if (row.Script != script || row.World != w)
                continue;
            allSolved = allSolved && row.Solved();
            if (row.Result.Ran)
                scores.append(row.Result.Score);
            if (firstError.isEmpty())
                firstError = problemText(row, true);
        }
        solved += allSolved ? 1 : 0;
        if (const std::optional<double> m = median(scores))
            total = total.value_or(0) + *m;
        all += scores;
    }
    return {textCell(batch.Scripts[script].Name),
            QString::number(batch.Worlds.size()),
            QString::number(solved),
            numberCell(total),
            numberCell(median(all)),
            textCell(firstError)};
}

bool writeCsv(const QString &folder, const QString &name, QStringList lines, QString &error)
{
    lines.append(QString()); // the last row ends with CR LF too
    TTextFormat format{TTextEncoding::Utf8Bom, TLineBreak::CrLf};
    return WriteTextFile(QDir(folder).filePath(name), lines, format, error);
}

} // namespace

QStringList GradeCsvLines(const TGradeBatch &batch)
{
    QStringList lines{QString::fromUtf8(kCsvHeader)};
    for (const TGradeRow &row : batch.Rows)
        if (!batch.ScriptOf(row).Reference)
            lines.append(csvLine(csvFields(batch, row)));
    return lines;
}

QStringList SummaryCsvLines(const TGradeBatch &batch)
{
    QStringList lines{QString::fromUtf8(kSummaryHeader)};
    for (int s = 0; s < batch.PupilCount(); ++s)
        lines.append(csvLine(summaryFields(batch, s)));
    return lines;
}

QJsonObject GradeJsonRow(const TGradeBatch &batch, const TGradeRow &row, const TGradeResult &whole)
{
    QJsonObject object = whole.ToJson();
    object.insert("script", batch.ScriptOf(row).Name);
    object.insert("world", batch.WorldOf(row).Name);
    object.insert("seed", qint64(row.Seed));
    AddVerdict(object, row);
    return object;
}

void AddVerdict(QJsonObject &run, const TGradeRow &row)
{
    if (!row.Verdict)
        return;
    run.insert("solved", row.Verdict->Met);
    run.insert("goal", row.Verdict->Met ? QJsonValue() : QJsonValue(row.Verdict->Reason));
}

bool TGradeJsonWriter::Open(const QString &folder, int rowCount, QString &error)
{
    iPath = QDir(folder).filePath(QStringLiteral("ergebnis.json"));
    iSpool = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral(".ergebnis-XXXXXX.teil")));
    iSpans = QList<std::pair<qint64, qint64>>(rowCount, {0, 0});
    return iSpool->open() || fail(error);
}

bool TGradeJsonWriter::Add(int index, const QJsonObject &row)
{
    const QByteArray bytes = QJsonDocument(row).toJson(QJsonDocument::Indented);
    iSpans[index] = {iSpool->pos(), bytes.size()};
    iFailed = iFailed || iSpool->write(bytes) != bytes.size();
    return !iFailed;
}

bool TGradeJsonWriter::Finish(QString &error)
{
    if (iFailed || !iSpool->flush())
        return fail(error);
    QSaveFile out(iPath);
    if (!out.open(QIODevice::WriteOnly))
        return fail(error);
    out.write("[\n");
    for (qsizetype i = 0; i < iSpans.size(); ++i) {
        iSpool->seek(iSpans[i].first);
        QByteArray row = iSpool->read(iSpans[i].second);
        row.chop(1); // its line break, for the comma
        out.write(row + (i + 1 < iSpans.size() ? ",\n" : "\n"));
    }
    out.write("]\n");
    return out.commit() || fail(error);
}

bool TGradeJsonWriter::fail(QString &error)
{
    error = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(iPath, SystemErrorText(errno));
    return false;
}

bool WriteGradeCsv(const QString &folder, const TGradeBatch &batch, QString &error)
{
    return writeCsv(folder, QStringLiteral("ergebnis.csv"), GradeCsvLines(batch), error);
}

bool WriteSummaryCsv(const QString &folder, const TGradeBatch &batch, QString &error)
{
    return writeCsv(folder, QStringLiteral("uebersicht.csv"), SummaryCsvLines(batch), error);
}

bool WriteGradeBytes(const QString &folder, const QString &name, const QByteArray &bytes, QString &error)
{
    const QString path = QDir(folder).filePath(name);
    const TWriteResult written = WriteFileBytes(path, bytes);
    if (!written)
        error = WriteFailureText(path, written);
    return bool(written);
}
