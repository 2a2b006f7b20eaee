#include "grade/uGradeRun.h"

#include "sheep/uLawnPicture.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <new>

QString StatusText(TGradeStatus status)
{
    switch (status) {
    case TGradeStatus::Finished:
        return QStringLiteral("beendet");
    case TGradeStatus::SyntaxError:
        return QStringLiteral("Syntaxfehler");
    case TGradeStatus::RuntimeError:
        return QStringLiteral("Laufzeitfehler");
    case TGradeStatus::ArithmeticFault:
        return QStringLiteral("Rechenfehler");
    case TGradeStatus::StepLimit:
        return QStringLiteral("Schrittlimit");
    case TGradeStatus::TimeLimit:
        return QStringLiteral("Zeitlimit");
    case TGradeStatus::MemoryLimit:
        return QStringLiteral("Speicherlimit");
    case TGradeStatus::Unreadable:
        break;
    }
    return QStringLiteral("nicht lesbar");
}

namespace {

TGradeStatus statusOf(TRunResult result)
{
    switch (result) {
    case TRunResult::Finished:
        return TGradeStatus::Finished;
    case TRunResult::ParseFailed:
        return TGradeStatus::SyntaxError;
    case TRunResult::RuntimeError:
        return TGradeStatus::RuntimeError;
    case TRunResult::StepLimit:
        return TGradeStatus::StepLimit;
    case TRunResult::TimeLimit:
        return TGradeStatus::TimeLimit;
    case TRunResult::ArithmeticFault:
        break;
    }
    return TGradeStatus::ArithmeticFault;
}

TGradeStatus statusNamed(const QString &text)
{
    for (int i = 0; i <= int(TGradeStatus::Unreadable); ++i)
        if (StatusText(TGradeStatus(i)) == text)
            return TGradeStatus(i);
    return TGradeStatus::Unreadable;
}

// Lawns beyond this many cells are left out of the results: too large to
// show, and they would swell the result files of a whole class.
constexpr qint64 kMaxLawnCells = 160000;

QJsonArray pathToJson(const QList<QPoint> &path)
{
    QJsonArray cells;
    for (const QPoint &cell : path)
        cells.append(QJsonArray{cell.x(), cell.y()});
    return cells;
}

QList<QPoint> pathFromJson(const QJsonArray &cells)
{
    QList<QPoint> path;
    for (const QJsonValue &cell : cells)
        path.append(QPoint(cell[0].toInt(), cell[1].toInt()));
    return path;
}

// The parser's "Fehler: Zeile 4 : " in front of a syntax error; the line has
// a field of its own.
QString withoutLinePrefix(const QString &text)
{
    static const QRegularExpression prefix(QStringLiteral("^Fehler: Zeile \\d+ : "));
    return QString(text).remove(prefix);
}

} // namespace

QStringList LawnRows(const TField &field)
{
    QStringList rows;
    if (qint64(field.ColCount()) * field.RowCount() > kMaxLawnCells)
        return rows;
    for (int row = 0; row < field.RowCount(); ++row)
        rows.append(field.Rows(row).Serialize());
    return rows;
}

void TGradeResult::AddMessage(const QString &message)
{
    if (Messages.size() < MaxMessages) {
        Messages.append(message.size() > MaxMessageChars ? message.left(MaxMessageChars) + u'…' : message);
        return;
    }
    const QString note = QStringLiteral("… %1 weitere Meldungen ausgelassen").arg(++iDroppedMessages);
    if (iDroppedMessages == 1)
        Messages.append(note);
    else
        Messages.back() = note;
}

void TGradeResult::TakeRun(TSheepRun &run, TRunResult outcome, const TSheepPath &path)
{
    const TSandboxSheep &sandbox = run.Sandbox();
    Status = statusOf(outcome);
    Error = {run.FirstError().Line, withoutLinePrefix(run.FirstError().Text).left(MaxMessageChars)};
    Ran = outcome != TRunResult::ParseFailed;
    if (Ran) {
        // A graded run is scored as ended, whatever ended it: a run cut short
        // by an arithmetic fault pays for the grass it left.
        Score = sandbox.Punkte(false);
        Steps = sandbox.zSteps();
        Uncut = sandbox.zUncut();
        Cut = sandbox.zCut();
    }
    Path = path.Cells();
    PathTruncated = path.Truncated();
    Lawn = LawnRows(sandbox.Field());
    Sheep = sandbox.Sheep();
}

QJsonObject TGradeResult::ToJson() const
{
    const auto number = [this](qint64 value) { return Ran ? QJsonValue(value) : QJsonValue(); };
    return {
        {"status", StatusText(Status)},
        {"solved", Solved()},
        {"score", number(Score)},
        {"steps", number(Steps)},
        {"uncut", number(Uncut)},
        {"cut", number(Cut)},
        {"errorLine", Error.Line > 0 ? QJsonValue(Error.Line) : QJsonValue()},
        {"error", Error.Text.isEmpty() ? QJsonValue() : QJsonValue(Error.Text)},
        {"ms", Milliseconds},
        {"messages", QJsonArray::fromStringList(Messages)},
        {"path", pathToJson(Path)},
        {"pathTruncated", PathTruncated},
        {"lawn", QJsonArray::fromStringList(Lawn)},
        {"sheep", QJsonObject{{"x", Sheep.Pos.x()}, {"y", Sheep.Pos.y()}, {"dir", DirToValue(Sheep.Dir)}}},
    };
}

TGradeResult TGradeResult::FromJson(const QJsonObject &json)
{
    TGradeResult result;
    result.Status = statusNamed(json["status"].toString());
    result.Ran = json["score"].isDouble();
    result.Score = json["score"].toInteger();
    result.Steps = json["steps"].toInt();
    result.Uncut = json["uncut"].toInt();
    result.Cut = json["cut"].toInt();
    result.Error = {json["errorLine"].toInt(), json["error"].toString()};
    result.Milliseconds = json["ms"].toInteger();
    for (const QJsonValue &message : json["messages"].toArray())
        result.Messages.append(message.toString());
    result.Path = pathFromJson(json["path"].toArray());
    result.PathTruncated = json["pathTruncated"].toBool();
    for (const QJsonValue &row : json["lawn"].toArray())
        result.Lawn.append(row.toString());
    const QJsonObject sheep = json["sheep"].toObject();
    result.Sheep.Pos = QPoint(sheep["x"].toInt(), sheep["y"].toInt());
    result.Sheep.Dir = ValueToDir(sheep["dir"].toString());
    return result;
}

TGradeResult ResultWithoutRun(TGradeStatus status, const QString &error)
{
    TGradeResult result;
    result.Status = status;
    result.Error.Text = error;
    return result;
}

TGradeResult RunGradeScript(const QStringList &script, const TGradeWorld &world, quint32 seed, qint64 maxSteps)
{
    TGradeResult result;
    TSheepRun run([&result](const QString &line) { result.AddMessage(line); });
    TSandboxSheep &sandbox = run.Sandbox();
    sandbox.Field() = world.Lawn;
    TSheepPath path;
    sandbox.setOnRefresh([&path](TSandboxSheep *sender) { path.Follow(sender->Sheep()); });
    SeedRandom(seed);
    TRunOptions options;
    options.MaxSteps = maxSteps;
    options.Summary = false;
    const TRunResult outcome = run.Execute(script, options);
    // The isolation around the run reports this as the memory limit.
    if (run.OutOfMemory())
        throw std::bad_alloc();

    result.TakeRun(run, outcome, path);
    return result;
}
