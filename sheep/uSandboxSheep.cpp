#include "sheep/uSandboxSheep.h"

#include "script/uKeloExpression.h"

#include <QDateTime>
#include <QHash>

#include <limits>
#include <random>

namespace {

quint32 clockSeed()
{
    return static_cast<quint32>(QDateTime::currentMSecsSinceEpoch());
}

std::mt19937 &generator()
{
    static std::mt19937 engine(clockSeed());
    return engine;
}

// The built-ins in the order they are declared and dispatched.
enum class TBuiltIn {
    start, move, turnLeft, turnRight, getTile, getNextTile, zSteps, zUncut, zCut,
    zWidth, zHeight, zPosX, zPosY, dSheep, mark, random
};

const QHash<QString, TBuiltIn> &builtIns()
{
    static const QHash<QString, TBuiltIn> names = {
        {"start", TBuiltIn::start},     {"move", TBuiltIn::move},       {"turnLeft", TBuiltIn::turnLeft},
        {"turnRight", TBuiltIn::turnRight}, {"getTile", TBuiltIn::getTile}, {"getNextTile", TBuiltIn::getNextTile},
        {"zSteps", TBuiltIn::zSteps},   {"zUncut", TBuiltIn::zUncut},   {"zCut", TBuiltIn::zCut},
        {"zWidth", TBuiltIn::zWidth},   {"zHeight", TBuiltIn::zHeight}, {"zPosX", TBuiltIn::zPosX},
        {"zPosY", TBuiltIn::zPosY},     {"dSheep", TBuiltIn::dSheep},   {"mark", TBuiltIn::mark},
        {"random", TBuiltIn::random},
    };
    return names;
}

// Arguments are the texts of int values; anything else is a fault that ends
// the command in progress, like a failed conversion would.
int intArg(const QStringList &params, int index)
{
    const QString text = params.value(index);
    qint32 value = 0;
    if (!ReadInteger(text, value))
        throw TArithmeticFault(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    return value;
}

qint32 saturatedAdd(qint32 a, qint64 b)
{
    return static_cast<qint32>(std::min<qint64>(a + b, std::numeric_limits<qint32>::max()));
}

// One step in each heading, by ordinal: north, east, south, west.
const int kDx[] = {0, 1, 0, -1}, kDy[] = {-1, 0, 1, 0};

} // namespace

void SeedRandom(quint32 seed)
{
    generator().seed(seed);
}

void SeedRandomFromClock()
{
    SeedRandom(clockSeed());
}

TSandboxSheep::TSandboxSheep()
{
    iSheep.Pos = QPoint(-1, -1);
    iSheep.Dir = tdSouth;
}

void TSandboxSheep::RegisterFunctions(TProgram *prog)
{
    TKeloSandBox::RegisterFunctions(prog);
    const TType int_ = TType::int_, void_ = TType::void_;
    DeclareFunction(prog, "start", void_, Params(NewParam("col", int_), NewParam("row", int_)),
                    "Setzt die Startposition des Schafes.");
    DeclareFunction(prog, "move", void_, Params(NewParam("count", int_)),
                    "Bewegt das Schaf um Count Schritte nach vorne.");
    DeclareFunction(prog, "turnLeft", void_, "Dreht das Schaf nach links.");
    DeclareFunction(prog, "turnRight", void_, "Dreht das Schaf nach rechts.");
    DeclareFunction(prog, "getTile", TType::tile, Params(NewParam("col", int_), NewParam("row", int_)),
                    "Gibt zurück, welches Stück bei (col|row) liegt.");
    DeclareFunction(prog, "getNextTile", TType::tile, Params(NewParam("range", int_)),
                    "Gibt zurück, welches Stück vor dem Schaf in range Entfernung liegt.");
    DeclareFunction(prog, "mark", void_, "Markiert das aktuelle Feld (Schafposition) als markiert (tMark).");
    DeclareFunction(prog, "random", int_, Params(NewParam("range", int_)),
                    "gibt eine Zufallszahl im Bereich 0 <= X < range zurück");

    DeclareFunction(prog, "zSteps", int_, "Schrittzähler");
    DeclareFunction(prog, "zUncut", int_, "ungemähter Rasen");
    DeclareFunction(prog, "zCut", int_, "gemähter Rasen");
    DeclareFunction(prog, "zWidth", int_, "Breite des Feldes");
    DeclareFunction(prog, "zHeight", int_, "Höhe des Feldes");
    DeclareFunction(prog, "zPosX", int_, "X-Position des Schafs");
    DeclareFunction(prog, "zPosY", int_, "Y-Position des Schafs");
    DeclareFunction(prog, "dSheep", TType::dir, "Ausrichtung des Schafs");
}

void TSandboxSheep::CallFunction(const QString &name, QStringList &params, QString &result, bool &handled)
{
    TKeloSandBox::CallFunction(name, params, result, handled);
    if (!handled)
        handled = answer(name, params, result);
}

bool TSandboxSheep::answer(const QString &name, const QStringList &params, QString &result)
{
    const auto found = builtIns().constFind(name);
    if (found == builtIns().cend())
        return false;
    switch (*found) {
    case TBuiltIn::start:
        start(intArg(params, 0), intArg(params, 1));
        break;
    case TBuiltIn::move:
        move(intArg(params, 0));
        break;
    case TBuiltIn::turnLeft:
        turnLeft();
        break;
    case TBuiltIn::turnRight:
        turnRight();
        break;
    case TBuiltIn::getTile:
        result = TileToValue(getTile(intArg(params, 0), intArg(params, 1)));
        break;
    case TBuiltIn::getNextTile:
        result = TileToValue(getNextTile(intArg(params, 0)));
        break;
    case TBuiltIn::zSteps:
        result = QString::number(zSteps());
        break;
    case TBuiltIn::zUncut:
        result = QString::number(zUncut());
        break;
    case TBuiltIn::zCut:
        result = QString::number(zCut());
        break;
    case TBuiltIn::zWidth:
        result = QString::number(zWidth());
        break;
    case TBuiltIn::zHeight:
        result = QString::number(zHeight());
        break;
    case TBuiltIn::zPosX:
        result = QString::number(zPosX());
        break;
    case TBuiltIn::zPosY:
        result = QString::number(zPosY());
        break;
    case TBuiltIn::dSheep:
        result = DirToValue(dSheep());
        break;
    case TBuiltIn::mark:
        mark();
        break;
    case TBuiltIn::random:
        result = QString::number(getRandom(intArg(params, 0)));
        break;
    }
    return true;
}

QString TSandboxSheep::Caption() const
{
    return QStringLiteral("Grazlo - Sandbox");
}

QString TSandboxSheep::Debug()
{
    return QStringLiteral("todo: debug");
}

void TSandboxSheep::setStd()
{
    iSheep.Dir = tdSouth;
    iSteps = 0;
    iMarks = 0;
}

void TSandboxSheep::Refresh()
{
    if (iOnRefresh)
        iOnRefresh(this);
}

void TSandboxSheep::moveTo(int col, int row)
{
    if (!iField.Valid(col, row) || iField.Cell(col, row).TileType() == ttTree)
        return;
    iSheep.Pos = QPoint(col, row);
    if (iField.Cell(col, row).TileType() == ttGreen)
        iField.setTileType(col, row, ttShortGreen);
    Refresh();
}

void TSandboxSheep::start(int col, int row)
{
    iSteps = 0;
    iMarks = 0;
    iField.GrowUp();
    moveTo(col, row);
}

void TSandboxSheep::move(int count)
{
    for (int done = 0; done < count; ++done) {
        iSteps = saturatedAdd(iSteps, 1);
        const QPoint before = iSheep.Pos;
        moveTo(before.x() + kDx[iSheep.Dir], before.y() + kDy[iSheep.Dir]);
        // A blocked step changes nothing, so every remaining step is blocked
        // the same way: count them at once instead of trying them one by one.
        if (iSheep.Pos == before) {
            iSteps = saturatedAdd(iSteps, qint64(count) - done - 1);
            return;
        }
    }
}

void TSandboxSheep::turnLeft()
{
    iSheep.Dir = WrapDirection(iSheep.Dir - 1);
    Refresh();
}

void TSandboxSheep::turnRight()
{
    iSheep.Dir = WrapDirection(iSheep.Dir + 1);
    Refresh();
}

void TSandboxSheep::mark()
{
    const int col = iSheep.Pos.x(), row = iSheep.Pos.y();
    if (!iField.Valid(col, row) || iField.Cell(col, row).TileType() != ttShortGreen)
        return;
    iMarks = saturatedAdd(iMarks, 1);
    iField.setTileType(col, row, ttMark);
    Refresh();
}

TTileType TSandboxSheep::getTile(qint64 col, qint64 row) const
{
    const bool inside = col >= 0 && row >= 0 && col < iField.ColCount() && row < iField.RowCount();
    return inside ? iField.Cell(static_cast<int>(col), static_cast<int>(row)).TileType() : ttTree;
}

TTileType TSandboxSheep::getNextTile(int range) const
{
    // 64 bits, so a far look cannot overflow
    return getTile(iSheep.Pos.x() + qint64(kDx[iSheep.Dir]) * range,
                   iSheep.Pos.y() + qint64(kDy[iSheep.Dir]) * range);
}

int TSandboxSheep::getRandom(int range) const
{
    if (range < 1)
        return 0;
    return std::uniform_int_distribution<int>(0, range - 1)(generator());
}

namespace {
// Points of the score: per cut tile, per step, per mark set; at the end per
// tile left uncut, or the bonus per cut tile when none is left.
constexpr qint64 PointsPerCut = 1000;
constexpr qint64 PointsPerStep = 101;
constexpr qint64 PointsPerMark = 1000;
constexpr qint64 PointsPerUncut = 1100;
constexpr qint64 BonusPerCut = 1000;
} // namespace

qint64 TSandboxSheep::Punkte(bool Running) const
{
    const qint64 cut = zCut(), uncut = zUncut();
    const qint64 s = PointsPerCut * cut - PointsPerStep * qint64(iSteps) - PointsPerMark * qint64(iMarks);
    if (Running)
        return s;
    return uncut > 0 ? s - PointsPerUncut * uncut : s + BonusPerCut * cut;
}
