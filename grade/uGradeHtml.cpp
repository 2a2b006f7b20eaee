#include "grade/uGradeHtml.h"

#include "grade/uGradeFiles.h"
#include "sheep/uLawnPicture.h"
#include "sheep/uTile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

// The page's parts are compiled into this library; a static library must
// register them itself. Outside any namespace, as the macro requires.
static void initReportResources() { Q_INIT_RESOURCE(report); }

namespace {

// Script lines shown before and after the line of an error, and how much
// of each.
constexpr int kContextLines = 3;
constexpr int kContextChars = 300;
// The runs' part of a page of about 20 MB, and the least and most one run
// may take of it.
constexpr qint64 kPageBytes = qint64(19) << 20;
constexpr qint64 kMinShare = 4 << 10, kMaxShare = 256 << 10;
// Longest message the page shows; JSON bytes per cell of a path.
constexpr int kPageMessageChars = 500;
constexpr qint64 kBytesPerCell = 8;

QByteArray resourceBytes(const QString &name)
{
    QFile file(":/grade/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString pngDataUri(const QImage &image)
{
    return "data:image/png;base64," + QString::fromLatin1(PngBytes(image).toBase64());
}

// The loaded tile pictures by the names the page uses; missing ones are left
// out and the page shows the fill colours alone.
QJsonObject tilePictures()
{
    const std::pair<const char *, TImageKey> pictures[] = {
        {"sheepNorth", TImageKey::SheepNorth},
        {"sheepEast", TImageKey::SheepEast},
        {"sheepSouth", TImageKey::SheepSouth},
        {"sheepWest", TImageKey::SheepWest},
        {"tree", TImageKey::Tree},
        {"way", TImageKey::Way},
        {"mark", TImageKey::Mark},
    };
    QJsonObject uris;
    for (const auto &[name, key] : pictures)
        if (!TileImage(key).isNull())
            uris.insert(name, pngDataUri(TileImage(key)));
    return uris;
}

QJsonValue errorContext(const TGradeScript &script, int errorLine)
{
    if (errorLine <= 0 || errorLine > script.Lines.size())
        return {};
    const int first = std::max(1, errorLine - kContextLines);
    const int last = std::min(int(script.Lines.size()), errorLine + kContextLines);
    QJsonArray lines;
    for (const QString &line : script.Lines.mid(first - 1, last - first + 1))
        lines.append(line.size() > kContextChars ? line.left(kContextChars) + u'…' : line);
    return QJsonObject{{"first", first}, {"lines", lines}};
}

QByteArray compact(const QJsonDocument &document) { return document.toJson(QJsonDocument::Compact); }

// The messages that fit in budget bytes, each shortened for the page; the
// rest are counted in "messagesLeftOut".
void addMessages(QJsonObject &run, const QStringList &messages, qint64 budget)
{
    QJsonArray shown;
    for (const QString &message : messages) {
        const QString text = message.size() > kPageMessageChars ? message.left(kPageMessageChars) + u'…' : message;
        budget -= text.toUtf8().size() + 4;
        if (budget < 0)
            break;
        shown.append(text);
    }
    run.insert("messages", shown);
    run.insert("messagesLeftOut", messages.size() - shown.size());
}

// The beginning of the path that fits in budget bytes.
void addPath(QJsonObject &run, const TGradeResult &whole, qint64 budget)
{
    const qsizetype cells = std::clamp<qsizetype>(budget / kBytesPerCell, 0, whole.Path.size());
    QJsonArray path;
    for (const QPoint &cell : whole.Path.first(cells))
        path.append(QJsonArray{cell.x(), cell.y()});
    run.insert("path", path);
    run.insert("pathTruncated", whole.PathTruncated || cells < whole.Path.size());
}

QJsonArray names(const QStringList &list) { return QJsonArray::fromStringList(list); }

QJsonObject pageData(const TGradeBatch &batch, const TGradeSettings &settings)
{
    QStringList scripts, worlds;
    for (const TGradeScript &script : batch.Scripts)
        scripts.append(script.Name);
    for (const TGradeWorld &world : batch.Worlds)
        worlds.append(world.Name);
    QJsonObject data{{"scripts", names(scripts)},
                     {"worlds", names(worlds)},
                     {"seeds", qint64(settings.Seeds)},
                     {"maxSteps", settings.MaxSteps},
                     {"timeout", settings.Limits.TimeoutSeconds},
                     {"tiles", tilePictures()}};
    if (batch.Task)
        data.insert("task", QJsonObject{{"title", batch.Task->Title}, {"goals", names(GoalTexts(batch.Task->Goals))}});
    if (batch.PupilCount() < batch.Scripts.size())
        data.insert("reference", batch.PupilCount());
    return data;
}

} // namespace

QString ResultKind(const TGradeRow &row)
{
    if (row.Solved())
        return QStringLiteral("geschafft");
    switch (row.Result.Status) {
    case TGradeStatus::Finished:
        return QStringLiteral("offen");
    case TGradeStatus::StepLimit:
    case TGradeStatus::TimeLimit:
    case TGradeStatus::MemoryLimit:
        return QStringLiteral("limit");
    default:
        return QStringLiteral("fehler");
    }
}

qint64 ReportShare(qsizetype rowCount)
{
    return std::clamp(kPageBytes / std::max<qsizetype>(1, rowCount), kMinShare, kMaxShare);
}

QByteArray ReportRun(const TGradeBatch &batch, const TGradeRow &row, const TGradeResult &whole, qint64 share)
{
    QJsonObject run = whole.ToJson();
    for (const char *key : {"messages", "path", "lawn"})
        run.remove(key);
    if (!whole.Error.Text.isEmpty())
        run.insert("error", whole.Error.Text.left(kPageMessageChars));
    run.insert("s", row.Script);
    run.insert("w", row.World);
    run.insert("seed", qint64(row.Seed));
    run.insert("kind", ResultKind(row));
    AddVerdict(run, row);
    run.insert("context", errorContext(batch.ScriptOf(row), whole.Error.Line));
    // The lawn first, as the picture needs it, then the way, then messages.
    qint64 left = share - compact(QJsonDocument(run)).size();
    const QJsonArray lawn = QJsonArray::fromStringList(whole.Lawn);
    const qint64 lawnBytes = compact(QJsonDocument(lawn)).size();
    const bool lawnFits = lawnBytes <= left / 2;
    run.insert("lawn", lawnFits ? lawn : QJsonArray());
    run.insert("lawnLeftOut", !lawnFits);
    left -= lawnFits ? lawnBytes : 0;
    addPath(run, whole, left / 2);
    addMessages(run, whole.Messages, left - qint64(run["path"].toArray().size()) * kBytesPerCell);
    return compact(QJsonDocument(run));
}

QByteArray GradeReportHtml(const TGradeBatch &batch, const TGradeSettings &settings)
{
    QByteArrayList runs;
    for (const TGradeRow &row : batch.Rows)
        runs.append(row.Report);
    QByteArray data = compact(QJsonDocument(pageData(batch, settings)));
    data.chop(1); // the closing brace, to add the runs
    data += ",\"runs\":[" + runs.join(',') + "]}";
    // "<" only occurs inside JSON strings, where its escape means the same;
    // so no text of a pupil can end the data block early. In UTF-8 its byte
    // is never part of another character.
    data.replace('<', "\\u003c");
    initReportResources();
    QByteArray page = resourceBytes("bericht.html");
    page.replace("{{STIL}}", resourceBytes("bericht.css")).replace("{{SKRIPT}}", resourceBytes("bericht.js"));
    const qsizetype at = page.indexOf("{{DATEN}}");
    return page.replace(at, 9, data);
}
