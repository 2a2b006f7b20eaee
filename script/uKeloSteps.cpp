#include "script/uKeloSteps.h"

#include "script/uKeloStatement.h"

namespace {
// Lays out one scope's top block, and every block nested in it, after the
// steps already there. Works with its own stack, so that code nested thousands
// of levels deep does not exhaust the machine's.
class TScopeLayout
{
public:
    TScopeLayout(TSteps &steps, bool isFunction) : iSteps(steps), iFirst(int(steps.size())), iIsFunction(isFunction) {}

    void layOut(TCodeBlock *top)
    {
        iOpen.push_back({top, 0, 1});
        while (!iOpen.empty()) {
            if (iOpen.back().next < iOpen.back().block->Count())
                addStatement();
            else
                closeBlock();
        }
        resolveLines();
    }

private:
    enum class TRole : unsigned char { top, loopBody, ifBranch, elseBranch };
    struct TOpenBlock
    {
        TCodeBlock *block;
        int next;
        int depth;
        TRole role = TRole::top;
        // The loop or the conditional owning the block.
        int owner = -1;
        // For an else branch: the end of the if branch, which jumps past it.
        int ifEnd = -1;
    };

    int append(TStep::TKind kind, const TOpenBlock &in, TStatement *statement, int index)
    {
        TStep step;
        step.kind = kind;
        step.depth = in.depth;
        step.statement = statement;
        step.block = in.block;
        step.index = index;
        step.owner = in.owner;
        iSteps.push_back(step);
        iAfter.push_back(-1);
        return int(iSteps.size()) - 1;
    }

    void addStatement()
    {
        const TOpenBlock in = iOpen.back();
        ++iOpen.back().next;
        TStatement *statement = in.block->Statement(in.next);
        if (auto *loop = dynamic_cast<TLoop *>(statement)) {
            const int slot = append(TStep::TKind::loop, in, statement, in.next);
            iOpen.push_back({loop->CodeBlock(), 0, in.depth + 1, TRole::loopBody, slot});
        } else if (auto *conditional = dynamic_cast<TConditional *>(statement)) {
            const int slot = append(TStep::TKind::conditional, in, statement, in.next);
            iOpen.push_back({conditional->IfCodeBlock(), 0, in.depth + 1, TRole::ifBranch, slot});
        } else {
            append(kindOf(statement), in, statement, in.next);
        }
    }

    static TStep::TKind kindOf(TStatement *statement)
    {
        auto *assignment = dynamic_cast<TAssignment *>(statement);
        switch (assignment ? assignment->runShape() : TAssignment::TRunShape::general) {
        case TAssignment::TRunShape::intLeaves:
            return TStep::TKind::intAssignment;
        case TAssignment::TRunShape::callInPlace:
            return TStep::TKind::callAssignment;
        case TAssignment::TRunShape::general:
            break;
        }
        return TStep::TKind::statement;
    }

    void closeBlock()
    {
        const TOpenBlock done = iOpen.back();
        iOpen.pop_back();
        const TStep::TKind kind = done.role != TRole::top ? TStep::TKind::blockEnd
                                  : iIsFunction           ? TStep::TKind::functionEnd
                                                          : TStep::TKind::programEnd;
        const int end = append(kind, done, nullptr, done.block->Count());
        switch (done.role) {
        case TRole::top:
            break;
        case TRole::loopBody:
            // The exhausted body goes back to the condition, which is the next step.
            iSteps[size_t(end)].target = done.owner;
            iSteps[size_t(done.owner)].target = end + 1;
            break;
        case TRole::ifBranch: {
            iSteps[size_t(done.owner)].target = end + 1;
            auto *conditional = static_cast<TConditional *>(iSteps[size_t(done.owner)].statement);
            iOpen.push_back({conditional->ElseCodeBlock(), 0, done.depth, TRole::elseBranch, done.owner, end});
            break;
        }
        case TRole::elseBranch:
            iSteps[size_t(end)].target = end + 1;
            iSteps[size_t(done.ifEnd)].target = end + 1;
            iAfter[size_t(done.owner - iFirst)] = end + 1;
            break;
        }
    }

    // Where the line of a position without one comes from: the cursor of the
    // block beneath, as a stack of blocks would find it. That is the loop
    // itself, or the position after a conditional; -1 at a scope's own block.
    int beneath(int position) const
    {
        const int owner = iSteps[size_t(position)].owner;
        if (owner < 0)
            return -1;
        return iSteps[size_t(owner)].kind == TStep::TKind::loop ? owner : iAfter[size_t(owner - iFirst)];
    }

    // A position's line is its statement's; without one, the line beneath it,
    // and at the bottom of a function its caller's.
    void resolveLines()
    {
        std::vector<char> resolved(iAfter.size(), 0);
        std::vector<int> chain;
        for (int i = iFirst; i < int(iSteps.size()); ++i) {
            int at = i;
            int line = TStep::callerLine;
            chain.clear();
            for (;;) {
                if (resolved[size_t(at - iFirst)]) {
                    line = iSteps[size_t(at)].line;
                    break;
                }
                chain.push_back(at);
                const TStatement *statement = iSteps[size_t(at)].statement;
                if (statement && statement->LineNumber() >= 0) {
                    line = statement->LineNumber();
                    break;
                }
                at = beneath(at);
                if (at < 0) {
                    line = iIsFunction ? TStep::callerLine : -1;
                    break;
                }
            }
            for (int j : chain) {
                iSteps[size_t(j)].line = line;
                resolved[size_t(j - iFirst)] = 1;
            }
        }
    }

    TSteps &iSteps;
    const int iFirst;
    const bool iIsFunction;
    std::vector<TOpenBlock> iOpen;
    // By position from iFirst on, for a conditional: the position after its branches.
    std::vector<int> iAfter;
};
} // namespace

void layOutProgram(TProgram &program, TSteps &steps)
{
    steps.clear();
    TScopeLayout(steps, false).layOut(program.CodeBlock());
    for (const auto &function : program.FunctionList())
        if (TFunctionCode *code = function->asScriptFunction())
            layOutFunction(*code, steps);
}

int layOutFunction(TFunctionCode &function, TSteps &steps)
{
    const int entry = int(steps.size());
    TScopeLayout(steps, true).layOut(function.CodeBlock());
    function.setEntry(entry);
    return entry;
}
