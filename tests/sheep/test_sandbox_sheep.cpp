// The sheep sandbox: its built-ins, the sheep's moves on the lawn, marks,
// the score, and the counts the window shows after every step.
#include "script/uKeloExpression.h"
#include "sheep/uSandboxSheep.h"
#include "tests/support/Printers.h"

#include <QRandomGenerator>
#include <QSet>
#include <gtest/gtest.h>

namespace {

class Sheep : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ApplyLevel(sb.Field(), 3);
        sb.setOnRefresh([this](TSandboxSheep *sender) {
            EXPECT_EQ(sender, &sb);
            ++refreshes;
        });
    }

    QString call(const QString &name, QStringList params = {})
    {
        QString result = "stale";
        bool handled = false;
        sb.CallFunction(name, params, result, handled);
        EXPECT_TRUE(handled) << name.toStdString();
        return result;
    }

    QPoint pos() const { return sb.Sheep().Pos; }

    TSandboxSheep sb;
    int refreshes = 0;
};

// Faces the sheep in dir by turning right.
void face(TSandboxSheep &sb, TDirection dir)
{
    while (sb.dSheep() != dir)
        sb.turnRight();
}

} // namespace

// Every row of the two built-in tables is declared, after exit and message,
// in table order, as the row describes it: a function with its parameters and
// result, an environment value as a parameterless function of a real type.
TEST_F(Sheep, DeclaresEveryRowOfItsBuiltInTablesInOrderWithAHelpText)
{
    TProgram program;
    sb.AddFunctions(&program);
    struct TRow
    {
        QString name;
        TType type;
        qsizetype params;
        QString help;
    };
    QList<TRow> rows;
    for (const TSheepFunction &f : SheepFunctions())
        rows.append({f.Name, f.ReturnType, f.Params.size(), f.Help});
    for (const TSheepValue &v : SheepValues()) {
        EXPECT_NE(v.Type, TType::void_) << v.Name.toStdString();
        rows.append({v.Name, v.Type, 0, v.Help});
    }
    const TFunctionList &functions = program.FunctionList();
    ASSERT_EQ(functions.Count(), 2 + rows.size());
    EXPECT_EQ(functions[1]->Name(), "message");
    QSet<QString> names;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const TFunction *f = functions[int(i) + 2];
        const TRow &row = rows[i];
        EXPECT_EQ(f->Name(), row.name);
        EXPECT_EQ(f->ReturnType(), row.type) << row.name.toStdString();
        EXPECT_EQ(f->Parameter().Count(), row.params) << row.name.toStdString();
        EXPECT_EQ(f->Comment(), row.help);
        EXPECT_FALSE(row.help.isEmpty()) << row.name.toStdString();
        EXPECT_FALSE(names.contains(row.name)) << "twice: " << row.name.toStdString();
        names.insert(row.name);
    }
    EXPECT_EQ(sb.Caption(), "Grazlo - Sandbox");
    EXPECT_EQ(sb.Debug(), "todo: debug");
}

TEST_F(Sheep, StartsOffTheLawnFacingSouth)
{
    EXPECT_EQ(call("zPosX"), "-1");
    EXPECT_EQ(call("zPosY"), "-1");
    EXPECT_EQ(call("dSheep"), "dSouth");
    sb.move(3);
    EXPECT_EQ(pos(), QPoint(-1, -1));
    EXPECT_EQ(sb.zSteps(), 3) << "blocked steps count";
    sb.mark();
    EXPECT_EQ(sb.Marks(), 0);
    EXPECT_EQ(refreshes, 0);
}

TEST_F(Sheep, StartRegrowsAndResetsEvenWhenTheTargetIsBlocked)
{
    sb.start(0, 0);
    sb.move(3);
    sb.mark();
    ASSERT_EQ(sb.Marks(), 1);
    sb.start(4, 4); // the tree of level 3
    EXPECT_EQ(pos(), QPoint(0, 3));
    EXPECT_EQ(sb.zSteps(), 0);
    EXPECT_EQ(sb.Marks(), 0);
    EXPECT_EQ(sb.zCut(), 0);
    EXPECT_EQ(sb.zUncut(), 99);
    sb.start(10, 0);
    EXPECT_EQ(pos(), QPoint(0, 3));
}

TEST_F(Sheep, MovesMowAndStopAtTreesAndBorders)
{
    sb.start(0, 0);
    sb.move(3);
    EXPECT_EQ(pos(), QPoint(0, 3));
    EXPECT_EQ(call("zSteps"), "3");
    EXPECT_EQ(call("zCut"), "4");
    EXPECT_EQ(call("zUncut"), "95");

    sb.start(3, 4);
    face(sb, tdEast);
    const int before = refreshes;
    sb.move(2);
    EXPECT_EQ(pos(), QPoint(3, 4));
    EXPECT_EQ(sb.zSteps(), 2);
    EXPECT_EQ(refreshes, before) << "a blocked step repaints nothing";

    sb.move(0);
    sb.move(-5);
    EXPECT_EQ(sb.zSteps(), 2);

    face(sb, tdWest);
    sb.move(5); // three steps to the border, two blocked
    EXPECT_EQ(pos(), QPoint(0, 4));
    EXPECT_EQ(sb.zSteps(), 7);

    // Dirt is entered without change.
    ApplyLevel(sb.Field(), 2);
    sb.start(0, 0);
    EXPECT_EQ(sb.Field().Cell(0, 0).TileType(), ttDirt);
    EXPECT_EQ(pos(), QPoint(0, 0));
}

TEST_F(Sheep, HugeStepCountsFinishAtOnceAndSaturate)
{
    sb.start(0, 0);
    sb.move(2000000000);
    sb.move(2000000000);
    EXPECT_EQ(pos(), QPoint(0, 9));
    EXPECT_EQ(sb.zSteps(), std::numeric_limits<qint32>::max());
    EXPECT_LT(sb.Punkte(true), 0) << "the score must not wrap around";
}

TEST_F(Sheep, TurnsAndLooksAround)
{
    sb.turnLeft();
    EXPECT_EQ(sb.dSheep(), tdEast);
    for (int i = 0; i < 4; ++i)
        sb.turnRight();
    EXPECT_EQ(sb.dSheep(), tdEast);
    face(sb, tdNorth);
    sb.turnLeft();
    EXPECT_EQ(sb.dSheep(), tdWest);
    EXPECT_EQ(refreshes, 9) << "every turn repaints";

    sb.start(0, 0);
    EXPECT_EQ(call("getNextTile", {"1"}), "tTree") << "outside looks like a tree";
    EXPECT_EQ(call("getTile", {"-1", "0"}), "tTree");
    EXPECT_EQ(call("getNextTile", {"0"}), "tShortGreen");
    face(sb, tdEast);
    EXPECT_EQ(call("getNextTile", {"4"}), "tGreen");
    sb.start(4, 0);
    face(sb, tdSouth);
    EXPECT_EQ(call("getNextTile", {"4"}), "tTree");
    EXPECT_EQ(call("getNextTile", {"-1"}), "tTree");
    EXPECT_EQ(call("getNextTile", {"2147483647"}), "tTree");
    EXPECT_EQ(call("getTile", {"4", "4"}), "tTree");
    EXPECT_EQ(call("getTile", {"0x4", "$3"}), "tGreen") << "integer texts as the language reads them";
}

TEST_F(Sheep, MarksOnlyCutGrassOnce)
{
    sb.start(0, 0);
    sb.mark();
    sb.mark();
    EXPECT_EQ(sb.Marks(), 1);
    EXPECT_EQ(sb.Field().Cell(0, 0).TileType(), ttMark);
    EXPECT_EQ(sb.zCut(), 1);

    ApplyLevel(sb.Field(), 2);
    sb.start(0, 0);
    sb.mark();
    EXPECT_EQ(sb.Marks(), 0);
    EXPECT_EQ(sb.Field().Cell(0, 0).TileType(), ttDirt);
}

TEST_F(Sheep, ScoresWhileRunningAndAfterwards)
{
    sb.start(0, 0);
    EXPECT_EQ(sb.Punkte(true), 1000);
    EXPECT_EQ(sb.Punkte(false), 1000 - 98 * 1100);

    // All 99 tiles: columns down and up, around the tree in column 4.
    const std::pair<TDirection, int> route[] = {
        {tdSouth, 9}, {tdEast, 1}, {tdNorth, 9}, {tdEast, 1}, {tdSouth, 9}, {tdEast, 1}, {tdNorth, 9}, {tdEast, 1},
        {tdSouth, 3}, {tdEast, 1}, {tdSouth, 2}, {tdWest, 1}, {tdSouth, 4}, {tdEast, 1}, {tdNorth, 9}, {tdEast, 1},
        {tdSouth, 9}, {tdEast, 1}, {tdNorth, 9}, {tdEast, 1}, {tdSouth, 9}, {tdEast, 1}, {tdNorth, 9}};
    for (const auto &[dir, count] : route) {
        face(sb, dir);
        sb.move(count);
    }
    ASSERT_EQ(sb.zUncut(), 0);
    ASSERT_EQ(sb.zSteps(), 101);
    sb.move(120 - sb.zSteps());
    ASSERT_EQ(sb.zSteps(), 120);
    EXPECT_EQ(sb.Punkte(true), 86880);
    EXPECT_EQ(sb.Punkte(false), 185880);

    sb.mark();
    EXPECT_EQ(sb.Punkte(true), 85880) << "a mark costs 1000 and stays counted as cut";
}

TEST_F(Sheep, SetStdResetsHeadingAndCountersOnly)
{
    sb.start(2, 2);
    sb.move(2);
    sb.mark();
    sb.turnLeft();
    sb.setStd();
    EXPECT_EQ(sb.dSheep(), tdSouth);
    EXPECT_EQ(sb.zSteps(), 0);
    EXPECT_EQ(sb.Marks(), 0);
    EXPECT_EQ(pos(), QPoint(2, 4));
    EXPECT_EQ(sb.zCut(), 3);
}

TEST_F(Sheep, RandomStaysInRangeAndRepeatsWithTheSeed)
{
    EXPECT_EQ(call("random", {"1"}), "0");
    EXPECT_EQ(call("random", {"0"}), "0");
    EXPECT_EQ(call("random", {"-7"}), "0");
    SeedRandom(99);
    QList<int> first;
    for (int i = 0; i < 50; ++i) {
        first.append(sb.getRandom(6));
        ASSERT_GE(first.last(), 0);
        ASSERT_LT(first.last(), 6);
    }
    SeedRandom(99);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(sb.getRandom(6), first[i]);
    EXPECT_GT(QSet<int>(first.begin(), first.end()).size(), 3);
}

TEST_F(Sheep, DispatchesByExactNameAndRefusesBadArguments)
{
    EXPECT_EQ(call("start", {"1", "2"}), "");
    EXPECT_EQ(pos(), QPoint(1, 2));
    EXPECT_EQ(call("turnRight"), "");
    EXPECT_EQ(call("dSheep"), "dWest");
    EXPECT_EQ(call("zWidth"), "10");
    EXPECT_EQ(call("zHeight"), "10");

    QStringList none;
    QString result;
    bool handled = true;
    sb.CallFunction("Move", none, result, handled);
    EXPECT_FALSE(handled);

    QStringList messages;
    sb.setOnMsg([&messages](const QString &m) { messages.append(m); });
    EXPECT_EQ(sb.FunctionBin("fly", none), "");
    EXPECT_EQ(messages, QStringList{"Warnung: undefinierter Funktionsaufruf!"});
    call("message", {"\"Hallo\""});
    EXPECT_EQ(messages.last(), "Hallo");

    QStringList bad{""};
    try {
        sb.CallFunction("move", bad, result, handled);
        FAIL() << "an empty argument must not pass as a number";
    } catch (const TArithmeticFault &fault) {
        EXPECT_EQ(fault.Message(), "'' ist kein gültiger Integerwert");
    }
    EXPECT_EQ(sb.zSteps(), 0);
}

TEST_F(Sheep, EnvironmentValuesReadTheirQuantityForWindowRunnerAndScript)
{
    sb.start(0, 0);
    sb.move(3);
    sb.turnLeft(); // from south to east
    QStringList listed, answered;
    for (const TSheepValue &value : SheepValues()) {
        listed << value.Name + " = " + value.Read(sb);
        answered << value.Name + " = " + call(value.Name);
    }
    const std::string expected =
        "zSteps = 3, zUncut = 95, zCut = 4, zWidth = 10, zHeight = 10, zPosX = 0, zPosY = 3, dSheep = dEast";
    EXPECT_EQ(listed.join(", ").toStdString(), expected);
    EXPECT_EQ(answered.join(", ").toStdString(), expected) << "a script sees what the window and the runner show";
}

TEST_F(Sheep, CountsFollowEveryChangeOfTheLawn)
{
    QRandomGenerator rng(3);
    auto brute = [this](TTileType tt) {
        int n = 0;
        for (int r = 0; r < sb.Field().RowCount(); ++r)
            for (int c = 0; c < sb.Field().ColCount(); ++c)
                n += sb.Field().Cell(c, r).TileType() == tt;
        return n;
    };
    for (int i = 0; i < 3000; ++i) {
        switch (rng.bounded(8)) {
        case 0:
            sb.start(rng.bounded(-1, 11), rng.bounded(-1, 11));
            break;
        case 1:
        case 2:
            sb.move(rng.bounded(-1, 6));
            break;
        case 3:
            rng.bounded(2) ? sb.turnLeft() : sb.turnRight();
            break;
        case 4:
            sb.mark();
            break;
        case 5:
            if (rng.bounded(40) == 0)
                ApplyLevel(sb.Field(), rng.bounded(1, 7));
            break;
        case 6:
            sb.Field().setTileType(rng.bounded(sb.zWidth()), rng.bounded(sb.zHeight()),
                                   TTileType(rng.bounded(TileTypeCount)));
            break;
        default:
            sb.Field().GrowUp();
            break;
        }
        ASSERT_EQ(sb.zUncut(), brute(ttGreen));
        ASSERT_EQ(sb.zCut(), brute(ttShortGreen) + brute(ttMark));
    }
}
