// Script bytes -> text decoder -> parser -> a sheep run of at most MaxSteps
// steps on the lawn of level 5 (grass, paths and trees). Finds crashes, sanitizer reports and
// hangs anywhere on the way from a file to a finished run.
#include "FieldChecks.h"

#include "base/uTextFile.h"
#include "parser/uKeloParser.h"
#include "script/uKeloExpression.h"
#include "sheep/uSandboxSheep.h"

namespace {

constexpr int MaxSteps = 10000;
// Strings may not grow without end yet (`s = s + s` in a loop exhausts
// memory): a run stops once a variable holds more than this.
constexpr qsizetype MaxStringChars = 4096;

bool HoldsLongString(const TVarList &variables)
{
    return std::any_of(variables.begin(), variables.end(),
                       [](const auto &variable) { return variable->Value().size() > MaxStringChars; });
}

bool HasRunAway(const TProgram &program)
{
    if (HoldsLongString(program.VarList()))
        return true;
    const TFunctionList &functions = program.FunctionList();
    for (int i = 0; i < functions.Count(); ++i)
        if (HoldsLongString(functions[i]->VarList()))
            return true;
    return false;
}

void RunCapped(TProgram &program)
{
    program.Run();
    try {
        for (int step = 0; step < MaxSteps && !HasRunAway(program); ++step)
            if (!program.Next())
                return;
    } catch (const TArithmeticFault &) {
        // A run-time arithmetic fault ends the run as it ends it in the IDE.
        return;
    }
    program.stop();
    program.Finish();
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    const TTextLines script = DecodeText(bytes);
    TSandboxSheep sandbox;
    ApplyLevel(sandbox.Field(), 5);
    sandbox.setOnMsg([](const QString &) {});
    TProgram program;
    sandbox.AddFunctions(&program);
    std::unique_ptr<TKeloMessageList> errors, warnings;
    if (!parseScript(script.Lines, &program, errors, warnings))
        return;
    SeedRandom(1);
    sandbox.setStd();
    RunCapped(program);
    grazlo_fuzz::CheckField(sandbox.Field());
}
