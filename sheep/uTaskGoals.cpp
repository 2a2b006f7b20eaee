// The goals of a task: what a run left behind, whether it met them, and the
// goals and misses in plain German.
#include "sheep/uTask.h"

#include "script/uKeloProgram.h"

#include <QJsonArray>

namespace {

QString cellText(const QPoint &cell) { return QStringLiteral("(%1|%2)").arg(cell.x()).arg(cell.y()); }

QString headingName(TDirection heading)
{
    static const std::array<QString, 4> names = {QStringLiteral("Norden"), QStringLiteral("Osten"),
                                                 QStringLiteral("Süden"), QStringLiteral("Westen")};
    return names[heading];
}

// "1 Feld", "3 Felder": German plurals that differ only by an ending.
QString counted(qint64 count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

QList<QPoint> marksOfRow(const QString &rowText, int row)
{
    TTileList tiles;
    tiles.setSerialize(rowText);
    QList<QPoint> marks;
    for (int col = 0; col < tiles.Count(); ++col)
        if (tiles.Tiles(col).TileType() == ttMark)
            marks.append(QPoint(col, row));
    return marks;
}

TRunFacts::TEnd endNamed(const QString &status)
{
    static const QList<QPair<QString, TRunFacts::TEnd>> ends = {
        {QStringLiteral("beendet"), TRunFacts::Finished},          {QStringLiteral("Syntaxfehler"), TRunFacts::Error},
        {QStringLiteral("Laufzeitfehler"), TRunFacts::Error},      {QStringLiteral("Rechenfehler"), TRunFacts::Error},
        {QStringLiteral("Schrittlimit"), TRunFacts::StepLimit},    {QStringLiteral("Zeitlimit"), TRunFacts::TimeLimit},
        {QStringLiteral("Speicherlimit"), TRunFacts::MemoryLimit},
    };
    for (const auto &[name, end] : ends)
        if (status == name)
            return end;
    return TRunFacts::Unreadable;
}

// Why a run that did not end normally missed the task; empty when it ended.
QString endReason(const TRunFacts &facts)
{
    switch (facts.End) {
    case TRunFacts::Finished:
        return QString();
    case TRunFacts::StepLimit:
        return QStringLiteral("Schrittlimit erreicht");
    case TRunFacts::TimeLimit:
        return QStringLiteral("Zeitlimit überschritten");
    case TRunFacts::MemoryLimit:
        return QStringLiteral("Speicherlimit überschritten");
    case TRunFacts::Error:
    case TRunFacts::Unreadable:
        break;
    }
    if (facts.ErrorLine > 0)
        return CodeErrorText(facts.ErrorLine - 1, facts.ErrorText); // counts from 0
    return facts.ErrorText.isEmpty() ? QStringLiteral("Fehler") : facts.ErrorText;
}

QString marksReason(const QList<QPoint> &wanted, const std::optional<QList<QPoint>> &marks)
{
    if (!marks)
        return QStringLiteral("Markierungen nicht prüfbar (der Rasen ist zu groß)");
    if (wanted.isEmpty())
        return marks->isEmpty() ? QString()
                                : counted(marks->size(), QStringLiteral("Markierung"), QStringLiteral("Markierungen")) +
                                      QStringLiteral(" statt keiner");
    for (const QPoint &cell : wanted)
        if (!marks->contains(cell))
            return QStringLiteral("Markierung fehlt auf %1").arg(cellText(cell));
    for (const QPoint &cell : *marks)
        if (!wanted.contains(cell))
            return QStringLiteral("Markierung auf %1 zu viel").arg(cellText(cell));
    return QString();
}

// The first goal the finished run missed, in the order GoalTexts lists them.
QString goalReason(const TTaskGoals &goals, const TRunFacts &facts)
{
    if (goals.AllMown && facts.Uncut > 0)
        return counted(facts.Uncut, QStringLiteral("Feld"), QStringLiteral("Felder")) + QStringLiteral(" ungemäht");
    if (goals.EndCell && facts.Sheep.Pos != *goals.EndCell)
        return QStringLiteral("endet auf %1 statt %2").arg(cellText(facts.Sheep.Pos), cellText(*goals.EndCell));
    if (goals.EndHeading && facts.Sheep.Dir != *goals.EndHeading)
        return QStringLiteral("schaut nach %1 statt nach %2")
            .arg(headingName(facts.Sheep.Dir), headingName(*goals.EndHeading));
    if (goals.MaxSheepSteps && facts.SheepSteps > *goals.MaxSheepSteps)
        return QStringLiteral("%1 statt höchstens %2")
            .arg(counted(facts.SheepSteps, QStringLiteral("Schritt"), QStringLiteral("Schritte")))
            .arg(*goals.MaxSheepSteps);
    if (goals.Marks)
        if (const QString reason = marksReason(*goals.Marks, facts.Marks); !reason.isEmpty())
            return reason;
    if (goals.MinScore && facts.Score < *goals.MinScore)
        return QStringLiteral("%1 statt mindestens %2")
            .arg(counted(facts.Score, QStringLiteral("Punkt"), QStringLiteral("Punkte")))
            .arg(*goals.MinScore);
    return QString();
}

QString marksGoalText(const QList<QPoint> &cells)
{
    if (cells.isEmpty())
        return QStringLiteral("Setze keine Markierung");
    QStringList texts;
    for (const QPoint &cell : cells)
        texts.append(cellText(cell));
    return (cells.size() == 1 ? QStringLiteral("Markiere genau das Feld ")
                              : QStringLiteral("Markiere genau die Felder ")) +
           texts.join(QStringLiteral(", "));
}

} // namespace

TRunFacts TRunFacts::FromJson(const QJsonObject &row)
{
    TRunFacts facts;
    facts.End = endNamed(row["status"].toString());
    facts.ErrorLine = row["errorLine"].toInt();
    facts.ErrorText = row["error"].toString();
    facts.Score = row["score"].toInteger();
    facts.SheepSteps = row["steps"].toInt();
    facts.Uncut = row["uncut"].toInt();
    const QJsonObject sheep = row["sheep"].toObject();
    facts.Sheep.Pos = QPoint(sheep["x"].toInt(), sheep["y"].toInt());
    facts.Sheep.Dir = ValueToDir(sheep["dir"].toString());
    const QJsonArray lawn = row["lawn"].toArray();
    // Lawns too large for the results come without rows.
    if (lawn.isEmpty() && row["score"].isDouble())
        return facts;
    facts.Marks.emplace();
    for (int r = 0; r < lawn.size(); ++r)
        facts.Marks->append(marksOfRow(lawn[r].toString(), r));
    return facts;
}

TRunFacts TRunFacts::FromSandbox(const TSandboxSheep &sandbox, TEnd end, int errorLine, const QString &errorText)
{
    TRunFacts facts;
    facts.End = end;
    facts.ErrorLine = errorLine;
    facts.ErrorText = errorText;
    facts.Score = sandbox.Punkte(false);
    facts.SheepSteps = sandbox.zSteps();
    facts.Uncut = sandbox.zUncut();
    facts.Sheep = sandbox.Sheep();
    facts.Marks.emplace();
    const TField &field = sandbox.Field();
    for (int row = 0; row < field.RowCount(); ++row)
        if (field.Rows(row).GetCount(ttMark) > 0)
            facts.Marks->append(marksOfRow(field.Rows(row).Serialize(), row));
    return facts;
}

TGoalVerdict CheckGoals(const TTaskGoals &goals, const TRunFacts &facts)
{
    QString reason = endReason(facts);
    if (reason.isEmpty())
        reason = goalReason(goals, facts);
    return {reason.isEmpty(), reason};
}

QStringList GoalTexts(const TTaskGoals &goals)
{
    QStringList texts;
    if (goals.AllMown)
        texts.append(QStringLiteral("Mähe den ganzen Rasen"));
    if (goals.EndCell)
        texts.append(QStringLiteral("Ende auf Feld %1").arg(cellText(*goals.EndCell)));
    if (goals.EndHeading)
        texts.append(QStringLiteral("Schau am Ende nach %1").arg(headingName(*goals.EndHeading)));
    if (goals.MaxSheepSteps)
        texts.append(QStringLiteral("höchstens %1")
                         .arg(counted(*goals.MaxSheepSteps, QStringLiteral("Schritt"), QStringLiteral("Schritte"))));
    if (goals.Marks)
        texts.append(marksGoalText(*goals.Marks));
    if (goals.MinScore)
        texts.append(QStringLiteral("mindestens %1")
                         .arg(counted(*goals.MinScore, QStringLiteral("Punkt"), QStringLiteral("Punkte"))));
    texts.append(QStringLiteral("Ende ohne Fehler"));
    return texts;
}
