#pragma once
// The statement tree laid out as one list of steps, in the order a run meets
// them: a run moves through the list instead of keeping a stack of blocks with
// cursors, and each position knows the line to announce while the run rests
// there.
#include <vector>

class TCodeBlock;
class TFunctionCode;
class TProgram;
class TStatement;

// One position of the laid-out program.
struct TStep
{
    enum class TKind : unsigned char {
        statement,
        // Assignments of the shapes a run executes without dispatch.
        intAssignment,
        callAssignment,
        // A loop's condition: into the body, or past it to target.
        loop,
        // A conditional's condition: into the if branch, or to target, the else branch.
        conditional,
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

    TKind kind = TKind::statement;
    // Blocks the run has entered within the scope while it rests here.
    int depth = 1;
    TStatement *statement = nullptr;
    // The block the position lies in, and the position's index in it: a block
    // end's index is the block's count.
    TCodeBlock *block = nullptr;
    int index = 0;
    // The loop or the conditional whose block this is; -1 in a scope's own block.
    int owner = -1;
    int target = 0;
    // The announced line, or callerLine.
    int line = -1;
};

using TSteps = std::vector<TStep>;

// Appends the program's own block to steps, and then the body of every
// function written in the script, whose entry it notes in the function.
void layOutProgram(TProgram &program, TSteps &steps);
// Appends the body of one function; its entry.
int layOutFunction(TFunctionCode &function, TSteps &steps);
