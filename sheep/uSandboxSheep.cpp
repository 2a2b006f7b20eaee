#include "sheep/uSandboxSheep.h"

#include "script/uKeloExpression.h"

#include <QDateTime>

#include <limits>
#include <random>
#include <unordered_map>

namespace {

quint32 clockSeed() { return static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()); }

std::mt19937 &generator()
{
    static std::mt19937 engine(clockSeed());
    return engine;
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

using TAnswer = std::function<QString(TSandboxSheep &sb, const QStringList &args)>;

// A built-in's name is looked up at every call; the names are a few short
// words, so a plain FNV-1a over their characters is far cheaper here than the
// library's seeded hash.
struct TNameHash
{
    size_t operator()(const QString &name) const noexcept
    {
        size_t hash = 14695981039346656037ull;
        for (const QChar c : name)
            hash = (hash ^ c.unicode()) * 1099511628211ull;
        return hash;
    }
};

// Every built-in's answer by name; the first entry of a name wins.
const std::unordered_map<QString, TAnswer, TNameHash> &answers()
{
    static const std::unordered_map<QString, TAnswer, TNameHash> byName = [] {
        std::unordered_map<QString, TAnswer, TNameHash> table;
        for (const TSheepFunction &function : SheepFunctions())
            table.emplace(function.Name, function.Run);
        for (const TSheepValue &value : SheepValues())
            table.emplace(value.Name, [read = value.Read](TSandboxSheep &sb, const QStringList &) { return read(sb); });
        return table;
    }();
    return byName;
}

} // namespace

const QList<TSheepFunction> &SheepFunctions()
{
    const TType int_ = TType::int_, void_ = TType::void_;
    static const QList<TSheepFunction> functions = {
        {"start",
         void_,
         {"col", "row"},
         "Setzt die Startposition des Schafes.",
         [](TSandboxSheep &sb, const QStringList &args) {
             sb.start(intArg(args, 0), intArg(args, 1));
             return QString();
         }},
        {"move",
         void_,
         {"count"},
         "Bewegt das Schaf um Count Schritte nach vorne.",
         [](TSandboxSheep &sb, const QStringList &args) {
             sb.move(intArg(args, 0));
             return QString();
         }},
        {"turnLeft",
         void_,
         {},
         "Dreht das Schaf nach links.",
         [](TSandboxSheep &sb, const QStringList &) {
             sb.turnLeft();
             return QString();
         }},
        {"turnRight",
         void_,
         {},
         "Dreht das Schaf nach rechts.",
         [](TSandboxSheep &sb, const QStringList &) {
             sb.turnRight();
             return QString();
         }},
        {"getTile",
         TType::tile,
         {"col", "row"},
         "Gibt zurück, welches Stück bei (col|row) liegt.",
         [](TSandboxSheep &sb, const QStringList &args) {
             return TileToValue(sb.getTile(intArg(args, 0), intArg(args, 1)));
         }},
        {"getNextTile",
         TType::tile,
         {"range"},
         "Gibt zurück, welches Stück vor dem Schaf in range Entfernung liegt.",
         [](TSandboxSheep &sb, const QStringList &args) { return TileToValue(sb.getNextTile(intArg(args, 0))); }},
        {"mark",
         void_,
         {},
         "Markiert das aktuelle Feld (Schafposition) als markiert (tMark).",
         [](TSandboxSheep &sb, const QStringList &) {
             sb.mark();
             return QString();
         }},
        {"random",
         int_,
         {"range"},
         "gibt eine Zufallszahl im Bereich 0 <= X < range zurück",
         [](TSandboxSheep &sb, const QStringList &args) { return QString::number(sb.getRandom(intArg(args, 0))); }},
    };
    return functions;
}

const QList<TSheepValue> &SheepValues()
{
    const TType int_ = TType::int_;
    static const QList<TSheepValue> values = {
        {"zSteps", int_, "Schrittzähler", [](const TSandboxSheep &sb) { return QString::number(sb.zSteps()); }},
        {"zUncut", int_, "ungemähter Rasen", [](const TSandboxSheep &sb) { return QString::number(sb.zUncut()); }},
        {"zCut", int_, "gemähter Rasen", [](const TSandboxSheep &sb) { return QString::number(sb.zCut()); }},
        {"zWidth", int_, "Breite des Feldes", [](const TSandboxSheep &sb) { return QString::number(sb.zWidth()); }},
        {"zHeight", int_, "Höhe des Feldes", [](const TSandboxSheep &sb) { return QString::number(sb.zHeight()); }},
        {"zPosX", int_, "X-Position des Schafs", [](const TSandboxSheep &sb) { return QString::number(sb.zPosX()); }},
        {"zPosY", int_, "Y-Position des Schafs", [](const TSandboxSheep &sb) { return QString::number(sb.zPosY()); }},
        {"dSheep", TType::dir, "Ausrichtung des Schafs",
         [](const TSandboxSheep &sb) { return DirToValue(sb.dSheep()); }},
    };
    return values;
}

void SeedRandom(quint32 seed) { generator().seed(seed); }

void SeedRandomFromClock() { SeedRandom(clockSeed()); }

TSandboxSheep::TSandboxSheep()
{
    iSheep.Pos = QPoint(-1, -1);
    iSheep.Dir = tdSouth;
}

void TSandboxSheep::RegisterFunctions(TProgram *prog)
{
    TKeloSandBox::RegisterFunctions(prog);
    for (const TSheepFunction &function : SheepFunctions()) {
        TParamList params;
        for (const QString &name : function.Params)
            params.push_back(NewParam(name, TType::int_));
        DeclareFunction(prog, function.Name, function.ReturnType, std::move(params), function.Help);
    }
    for (const TSheepValue &value : SheepValues())
        DeclareFunction(prog, value.Name, value.Type, value.Help);
}

void TSandboxSheep::CallFunction(const QString &name, QStringList &params, QString &result, bool &handled)
{
    TKeloSandBox::CallFunction(name, params, result, handled);
    if (!handled)
        handled = answer(name, params, result);
}

bool TSandboxSheep::answer(const QString &name, const QStringList &params, QString &result)
{
    const auto found = answers().find(name);
    if (found == answers().end())
        return false;
    result = found->second(*this, params);
    return true;
}

QString TSandboxSheep::Caption() const { return QStringLiteral("Grazlo - Sandbox"); }

QString TSandboxSheep::Debug() { return QStringLiteral("todo: debug"); }

void TSandboxSheep::setStd()
{
    iSheep.Dir = tdSouth;
    iSteps = 0;
    iMarks = 0;
}

namespace {
struct TSheepWorld
{
    TField field;
    TSheep sheep;
    qint32 steps;
    qint32 marks;
    std::mt19937 random;
};
} // namespace

std::any TSandboxSheep::SaveWorld() const { return TSheepWorld{iField, iSheep, iSteps, iMarks, generator()}; }

// Anything but a world saved by a sheep sandbox changes nothing.
void TSandboxSheep::RestoreWorld(const std::any &world)
{
    const auto *saved = std::any_cast<TSheepWorld>(&world);
    if (!saved)
        return;
    iField = saved->field;
    iSheep = saved->sheep;
    iSteps = saved->steps;
    iMarks = saved->marks;
    generator() = saved->random;
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
    return getTile(iSheep.Pos.x() + qint64(kDx[iSheep.Dir]) * range, iSheep.Pos.y() + qint64(kDy[iSheep.Dir]) * range);
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
