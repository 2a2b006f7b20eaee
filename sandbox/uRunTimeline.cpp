#include "sandbox/uRunTimeline.h"

#include "parser/uKeloParser.h"
#include "script/uKeloExpression.h"

#include <algorithm>

namespace {
// Sends the sandbox's messages to another receiver for as long as it lives,
// so that a rebuild never shows a message box.
class TReceiverSwap
{
public:
    TReceiverSwap(TKeloSandBox &sb, TMsgEvent receiver) : iSb(sb), iSaved(sb.OnMsg())
    {
        iSb.setOnMsg(std::move(receiver));
    }
    ~TReceiverSwap() { iSb.setOnMsg(iSaved); }
    TReceiverSwap(const TReceiverSwap &) = delete;
    TReceiverSwap &operator=(const TReceiverSwap &) = delete;

private:
    TKeloSandBox &iSb;
    TMsgEvent iSaved;
};
} // namespace

TRunTimeline::TRunTimeline(const QStringList &script, std::any start) : iScript(script), iStart(std::move(start)) {}

void TRunTimeline::StepTaken()
{
    iLength = ++iPosition;
    iStoppedAtEnd = false;
}

void TRunTimeline::Stopped()
{
    iLength = iPosition;
    iStoppedAtEnd = true;
}

bool TRunTimeline::Rebuild(TKeloSandBox &sb, qint64 steps, TMoment &moment, const TKeepGoing &keepGoing)
{
    steps = std::clamp<qint64>(steps, 0, iLength);
    // Only a rebuild that may be cancelled needs the way back.
    const std::any before = keepGoing ? sb.SaveWorld() : std::any();
    TMoment rebuilt;
    if (!replay(sb, steps, rebuilt, keepGoing)) {
        sb.RestoreWorld(before);
        return false;
    }
    moment = std::move(rebuilt);
    iPosition = steps;
    return true;
}

qint64 TRunTimeline::LastBreakBefore(TKeloSandBox &sb, qint64 before, const TIsBreak &isBreak,
                                     const TKeepGoing &keepGoing) const
{
    qint64 last = 0;
    const bool done = scan(sb, std::min(before, iLength + 1) - 1, keepGoing, [&](qint64 step, int line) {
        if (isBreak(line))
            last = step;
        return true;
    });
    return done ? last : -1;
}

QList<qint64> TRunTimeline::BreakMoments(TKeloSandBox &sb, const TIsBreak &isBreak, int limit,
                                         const TKeepGoing &keepGoing) const
{
    QList<qint64> moments;
    if (limit <= 0)
        return moments;
    const bool done = scan(sb, iLength, keepGoing, [&](qint64 step, int line) {
        if (isBreak(line))
            moments.append(step);
        return moments.size() < limit;
    });
    return done ? moments : QList<qint64>();
}

bool TRunTimeline::scan(TKeloSandBox &sb, qint64 steps, const TKeepGoing &keepGoing, const TLineWatch &watch) const
{
    if (steps <= 0)
        return true;
    const std::any before = sb.SaveWorld();
    TMoment scratch;
    const bool done = replay(sb, steps, scratch, keepGoing, watch);
    sb.RestoreWorld(before);
    return done;
}

// Builds the program from the start as the window's Start does (the world
// after setStd, the sandbox's built-ins, the parse, Run) and executes steps,
// collecting what the program reports. An arithmetic fault ends its step as
// it ended the command in the live run, without the box.
bool TRunTimeline::replay(TKeloSandBox &sb, qint64 steps, TMoment &moment, const TKeepGoing &keepGoing,
                          const TLineWatch &watch) const
{
    TReceiverSwap receiver(sb, [&moment](const QString &msg) { moment.Messages.append(msg); });
    sb.RestoreWorld(iStart);
    moment.Program = std::make_unique<TProgram>();
    TProgram &program = *moment.Program;
    sb.AddFunctions(&program);
    std::unique_ptr<TKeloMessageList> errors, warnings;
    parseScript(iScript, &program, errors, warnings);

    qint64 done = 0;
    bool watching = true;
    program.setOnLineNumber([&](TProgram *, int line) {
        moment.Line = line;
        if (watch && done > 0 && !watch(done, line))
            watching = false;
    });
    program.setOnCodeError([&moment](TProgram *, int line, const QString &msg) { moment.Errors.append({line, msg}); });
    program.Run();
    bool cancelled = false;
    while (done < steps && watching && program.State() == TProgramState::running) {
        if (done % StepsPerQuestion == 0 && keepGoing && !keepGoing()) {
            cancelled = true;
            break;
        }
        ++done;
        try {
            program.Next();
        } catch (const TArithmeticFault &) {
        }
    }
    if (!cancelled && done == iLength && iStoppedAtEnd) {
        program.stop();
        program.Finish();
    }
    // The handlers refer to this call's locals.
    program.setOnLineNumber({});
    program.setOnCodeError({});
    return !cancelled;
}
