#pragma once
// The sandbox a sheep script runs against: the lawn, the sheep on it, its
// step and mark counters, the sheep's built-ins and the score.
#include "sandbox/uKeloSandbox.h"
#include "sheep/uTile.h"

#include <functional>

class TSandboxSheep;
using TRefreshEvent = std::function<void(TSandboxSheep *sender)>;

// A built-in function of the sheep, declared into every program after message
// in table order. Every parameter is an int.
struct TSheepFunction
{
    QString Name;
    TType ReturnType;
    QStringList Params;
    QString Help;
    // Carries out a call with its argument texts; returns the result text,
    // empty for void.
    QString (*Run)(TSandboxSheep &sb, const QStringList &args);
};

// An environment value: a built-in with a result and no parameters, declared
// after the functions in table order. The sheep window lists them and the
// headless runner's summary prints them.
struct TSheepValue
{
    QString Name;
    TType Type;
    QString Help;
    // The current value, written as a script value of Type.
    QString (*Read)(const TSandboxSheep &sb);
};

const QList<TSheepFunction> &SheepFunctions();
const QList<TSheepValue> &SheepValues();

// Seeds the generator behind random. The program seeds it from the clock
// once at start (without that, it seeds itself from the clock on first
// use); a headless run may choose the seed instead.
void SeedRandom(quint32 seed);
void SeedRandomFromClock();

class TSandboxSheep : public TKeloSandBox
{
public:
    TSandboxSheep();

    void RegisterFunctions(TProgram *prog) override;
    void CallFunction(const QString &name, QStringList &params, QString &result, bool &handled) override;
    QString Caption() const override;
    QString Debug() override;
    // Before every run: heading south, counters 0; position and lawn stay.
    void setStd() override;
    // The lawn, the sheep, both counters and the state of the generator
    // behind random, which is shared by every sandbox of the process.
    std::any SaveWorld() const override;
    void RestoreWorld(const std::any &world) override;

    const TRefreshEvent &OnRefresh() const { return iOnRefresh; }
    void setOnRefresh(TRefreshEvent handler) { iOnRefresh = std::move(handler); }

    TField &Field() { return iField; }
    const TField &Field() const { return iField; }
    const TSheep &Sheep() const { return iSheep; }
    qint32 Steps() const { return iSteps; }
    qint32 Marks() const { return iMarks; }

    // The operations behind the built-ins.
    void moveTo(int col, int row);
    void start(int col, int row);
    void move(int count);
    void turnLeft();
    void turnRight();
    void mark();
    TTileType getTile(qint64 col, qint64 row) const;
    TTileType getNextTile(int range) const;
    int getRandom(int range) const;

    int zSteps() const { return iSteps; }
    int zUncut() const { return iField.GetCount(ttGreen); }
    int zCut() const { return iField.GetCount(ttShortGreen) + iField.GetCount(ttMark); }
    int zWidth() const { return iField.ColCount(); }
    int zHeight() const { return iField.RowCount(); }
    int zPosX() const { return iSheep.Pos.x(); }
    int zPosY() const { return iSheep.Pos.y(); }
    TDirection dSheep() const { return iSheep.Dir; }

    // The score; Running is true while the script program runs. Computed in
    // 64 bits, so long runs on large lawns never wrap around.
    qint64 Punkte(bool Running) const;

private:
    void Refresh();
    // The answer of the built-in called name, or false if it is none of ours.
    bool answer(const QString &name, const QStringList &params, QString &result);

    TRefreshEvent iOnRefresh;
    TField iField;
    TSheep iSheep;
    qint32 iSteps = 0;
    qint32 iMarks = 0;
};
