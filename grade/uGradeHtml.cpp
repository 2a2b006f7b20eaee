#include "grade/uGradeHtml.h"

#include "sheep/uTile.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// The page's parts are compiled into this library; a static library must
// register them itself. Outside any namespace, as the macro requires.
static void initReportResources() { Q_INIT_RESOURCE(report); }

namespace {

// Script lines shown before and after the line of an error, and how much
// of each.
constexpr int kContextLines = 3;
constexpr int kContextChars = 300;

QString resourceText(const QString &name)
{
    QFile file(":/grade/" + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString pngDataUri(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + QString::fromLatin1(png.toBase64());
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

QJsonArray names(const QStringList &list) { return QJsonArray::fromStringList(list); }

QJsonObject pageData(const TGradeBatch &batch, const TGradeSettings &settings)
{
    QStringList scripts, worlds;
    for (const TGradeScript &script : batch.Scripts)
        scripts.append(script.Name);
    for (const TGradeWorld &world : batch.Worlds)
        worlds.append(world.Name);
    QJsonArray runs;
    for (const TGradeRow &row : batch.Rows) {
        QJsonObject run = row.Result.ToJson();
        run.insert("s", row.Script);
        run.insert("w", row.World);
        run.insert("seed", qint64(row.Seed));
        run.insert("kind", ResultKind(row.Result));
        run.insert("context", errorContext(batch.ScriptOf(row), row.Result.Error.Line));
        runs.append(run);
    }
    return {{"scripts", names(scripts)},
            {"worlds", names(worlds)},
            {"seeds", qint64(settings.Seeds)},
            {"maxSteps", settings.MaxSteps},
            {"timeout", settings.Limits.TimeoutSeconds},
            {"tiles", tilePictures()},
            {"runs", runs}};
}

} // namespace

QString ResultKind(const TGradeResult &result)
{
    if (result.Solved())
        return QStringLiteral("geschafft");
    switch (result.Status) {
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

QString GradeReportHtml(const TGradeBatch &batch, const TGradeSettings &settings)
{
    // "<" only occurs inside JSON strings, where its escape means the same;
    // so no text of a pupil can end the data block early.
    const QString data = QString::fromUtf8(QJsonDocument(pageData(batch, settings)).toJson(QJsonDocument::Compact))
                             .replace(u'<', u"\\u003c"_qs);
    initReportResources();
    QString page = resourceText("bericht.html");
    page.replace("{{STIL}}", resourceText("bericht.css")).replace("{{SKRIPT}}", resourceText("bericht.js"));
    const qsizetype at = page.indexOf("{{DATEN}}");
    return page.replace(at, 9, data);
}
