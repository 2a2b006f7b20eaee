#pragma once
// The run engine. At the start of a run the statement tree is laid out as one
// list of steps, in the order a run meets them, and every choice of how a
// statement or an expression executes is made then; the run moves a position
// through that list instead of keeping a stack of blocks with cursors, and
// follows what each step says.
#include <QtGlobal>
#include <cstddef>
#include <vector>

class TCodeBlock;
class TFunctionCode;
class TProgram;
class TStatement;

enum class TProgramState : quint8 { unknown = 0, running = 1, finished = 2 };

// One position of the laid-out program.
struct TStep
{
    // What the run does at a position. The order matters: the kinds up to
    // intConditional are executed, one per step, the conditions among them
    // last and those comparing two int leaves after the others; the kinds
    // behind them are ends, which the run passes without a step.
    enum class TKind : unsigned char {
        // Any statement, through its Execute.
        statement,
        // An int variable set to two int leaves joined by an operator other
        // than "/": computed from the leaves read in place.
        intAssignment,
        // A variable set to the result of a script function whose arguments
        // are read in place: one step enters the function, the step after its
        // body stores the result.
        callAssignment,
        // A loop's condition: into the body, the next position, or past it to target.
        loop,
        // A conditional's condition: into the if branch, the next position, or
        // to target, the else branch.
        conditional,
        // A loop whose condition compares two int leaves, read in place.
        intLoop,
        // A conditional whose condition compares two int leaves, read in place.
        intConditional,
        // Where a block is exhausted; the run goes on at target without a step.
        blockEnd,
        // Where a function's body is exhausted; the run goes back to its caller.
        functionEnd,
        // Where the program's own block is exhausted.
        programEnd,
    };
    // The line of a position whose announcement is the line of the caller's
    // statement: known only while the run is at it.
    static constexpr int callerLine = -2;

    static constexpr bool isExecuted(TKind kind) { return kind <= TKind::intConditional; }
    static constexpr bool isCondition(TKind kind) { return kind >= TKind::loop && kind <= TKind::intConditional; }
    // Only for a condition.
    static constexpr bool comparesIntLeaves(TKind kind) { return kind >= TKind::intLoop; }
    static constexpr bool isLoop(TKind kind) { return kind == TKind::loop || kind == TKind::intLoop; }

    TKind kind = TKind::statement;
    TStatement *statement = nullptr;
    // The loop or the conditional whose block this is; -1 in a scope's own block.
    int owner = -1;
    int target = 0;
    // The announced line, or callerLine.
    int line = -1;
};

// The conditions lie between the statements and the ends, those comparing int leaves last.
static_assert(TStep::TKind::callAssignment < TStep::TKind::loop && TStep::TKind::loop < TStep::TKind::conditional &&
              TStep::TKind::conditional < TStep::TKind::intLoop &&
              TStep::TKind::intLoop < TStep::TKind::intConditional &&
              TStep::TKind::intConditional < TStep::TKind::blockEnd);
static_assert(TStep::TKind::blockEnd < TStep::TKind::functionEnd &&
              TStep::TKind::functionEnd < TStep::TKind::programEnd);

using TSteps = std::vector<TStep>;

// The positions of the statements that wait for a call to complete, innermost
// last. Every call pushes one, so pushing is a store and growing happens out of line.
class TCallStack
{
public:
    void push(int position)
    {
        if (iDepth == iItems.size())
            grow();
        iItems[iDepth++] = position;
    }
    int pop()
    {
        Q_ASSERT(iDepth > 0);
        return iItems[--iDepth];
    }
    int operator[](size_t i) const { return iItems[i]; }
    size_t size() const { return iDepth; }
    bool empty() const { return iDepth == 0; }
    void clear() { iDepth = 0; }

private:
    void grow();

    std::vector<int> iItems;
    size_t iDepth = 0;
};

// The run of one program: its steps, its position, the calls in progress and
// the program's state.
class TRunEngine
{
public:
    explicit TRunEngine(TProgram &program) : iProgram(program) {}
    TRunEngine(const TRunEngine &) = delete;
    TRunEngine &operator=(const TRunEngine &) = delete;

    // Lays the program out afresh, drops a stop request and rests before the
    // first statement.
    void start();
    // One step; false once the run is over and the program finished.
    bool next();
    // Runs the function's body from the next step on; the statement being
    // executed waits for it and is executed again when the body is exhausted.
    void enterBody(TFunctionCode &function);
    // Between start and the exhaustion of the program's block.
    bool isActive() const { return !(iHalts & over); }
    // The program's state; setState tells whether it changed.
    TProgramState state() const { return iState; }
    bool setState(TProgramState state)
    {
        const bool changed = state != iState;
        iState = state;
        setHalt(finished, state == TProgramState::finished);
        return changed;
    }
    // The next step finishes the program instead of executing a statement.
    void requestStop() { iHalts |= stopRequested; }
    bool isStopRequested() const { return iHalts & stopRequested; }
    // Number of blocks the run has entered and not yet left, its callers' included.
    int blockCount() const;
    // The index of the statement the run executes next in block, or -1 when
    // the run is not in the block.
    int cursorIn(const TCodeBlock *block) const;

private:
    // Why the run executes no statement in the next step, one bit for each
    // reason: its end was reached, a stop was requested, the program was
    // finished (from outside, too).
    enum THalt : quint8 { over = 1, stopRequested = 2, finished = 4 };
    void setHalt(THalt halt, bool on) { iHalts = on ? iHalts | halt : iHalts & ~halt; }
    bool stepping() const { return iHalts == 0; }
    // Ends a step that executed nothing, or ended the run: false.
    bool finishStep();
    bool passBlockEnds();
    void execute(const TStep &step);
    int lineToAnnounce() const;
    // Appends the body of a function; its entry.
    int layOutFunction(TFunctionCode &function);
    // Blocks entered within the scope at a position.
    int depthAt(int position) const;
    // The block a position lies in, and its index there: the count at an end.
    const TCodeBlock *blockAt(int position) const;
    int indexAt(int position) const;

    TProgram &iProgram;
    TSteps iSteps;
    // The position of the next step.
    int iPc = 0;
    TCallStack iCalls;
    quint8 iHalts = over;
    TProgramState iState = TProgramState::unknown;
};
