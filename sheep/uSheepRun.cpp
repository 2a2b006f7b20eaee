#include "sheep/uSheepRun.h"

#include "parser/uKeloParser.h"
#include "script/uKeloExpression.h"

#include <new>

QString TimeLimitText(double seconds)
{
    return QStringLiteral("Zeitlimit überschritten: mehr als %1 s").arg(QString::number(seconds).replace(u'.', u','));
}

TSheepRun::TSheepRun(TOutput output) : iOutput(std::move(output))
{
    iSandbox.Field().SetSize(DefaultLawnSize, DefaultLawnSize);
}

TSheepRun::~TSheepRun() = default;

TRunResult TSheepRun::Execute(const QStringList &script, const TRunOptions &options)
{
    iHadRuntimeError = false;
    iOutOfMemory = false;
    iFirstError = {};
    iLastLine = 0;
    try {
        if (!parse(script))
            return TRunResult::ParseFailed;
    } catch (const std::bad_alloc &) {
        iOutput(QStringLiteral("Nicht genügend Arbeitsspeicher, um das Skript zu übersetzen."));
        return TRunResult::ParseFailed;
    }
    iSandbox.setStd();
    wireEvents(options.Trace);
    iProgram->Run();
    const TRunResult result = runSteps(options);
    if (options.Summary)
        printSummary(options.ShowLawn);
    return result;
}

bool TSheepRun::parse(const QStringList &script)
{
    iProgram = std::make_unique<TProgram>();
    iSandbox.AddFunctions(iProgram.get());
    iSandbox.setOnMsg([this](const QString &msg) { iOutput(msg); });
    std::unique_ptr<TKeloMessageList> errors, warnings;
    const bool ok = parseScript(script, iProgram.get(), errors, warnings);
    if (errors && !errors->isEmpty())
        noteError(errors->front().Line, errors->front().Text);
    for (const auto *list : {errors.get(), warnings.get()})
        if (list)
            for (const TKeloMessage &message : *list)
                iOutput(message.Text);
    return ok;
}

void TSheepRun::wireEvents(bool trace)
{
    iProgram->setOnLineNumber([this, trace](TProgram *, int line) {
        iLastLine = line + 1;
        if (trace)
            iOutput("@ " + QString::number(line + 1));
    });
    iProgram->setOnCodeError([this](TProgram *, int line, const QString &msg) {
        iHadRuntimeError = true;
        noteError(line + 1, msg);
        iOutput(CodeErrorText(line, msg));
    });
    iProgram->setOnStateChanged([this](TProgram *program) {
        if (program->State() == TProgramState::finished && !program->Return().isEmpty())
            iSandbox.setReturn(program->Return());
    });
}

TRunResult TSheepRun::runSteps(const TRunOptions &options)
{
    try {
        for (qint64 done = 0;; ++done) {
            if (done == options.StepsTo)
                return endEarly(TRunResult::Finished, {});
            if (done >= options.MaxSteps)
                return endEarly(TRunResult::StepLimit,
                                QStringLiteral("Schrittlimit erreicht: %1 Programmschritte").arg(options.MaxSteps));
            if (options.TimeUp && options.TimeUp->load(std::memory_order_relaxed))
                return endEarly(TRunResult::TimeLimit, TimeLimitText(options.TimeoutSeconds));
            if (!iProgram->Next())
                break;
        }
    } catch (const TArithmeticFault &fault) {
        noteError(iLastLine, fault.Message());
        iOutput(fault.Message());
        return TRunResult::ArithmeticFault;
    } catch (const std::bad_alloc &) {
        iOutOfMemory = true;
        return endEarly(TRunResult::RuntimeError,
                        QStringLiteral("Nicht genügend Arbeitsspeicher: das Programm wurde beendet."));
    }
    return iHadRuntimeError ? TRunResult::RuntimeError : TRunResult::Finished;
}

// Ends the program as Stop does, first saying why unless it was asked for.
TRunResult TSheepRun::endEarly(TRunResult result, const QString &message)
{
    if (!message.isEmpty()) {
        noteError(iLastLine, message);
        iOutput(message);
    }
    iProgram->stop();
    iProgram->Finish();
    return result;
}

void TSheepRun::noteError(int line, const QString &text)
{
    if (iFirstError.Text.isEmpty())
        iFirstError = {line, text};
}

qint64 TSheepRun::Score() const { return iSandbox.Punkte(iProgram && iProgram->State() == TProgramState::running); }

void TSheepRun::printSummary(bool showLawn)
{
    const bool running = iProgram->State() == TProgramState::running;
    const TSandboxSheep &sb = iSandbox;
    iOutput("Punkte: " + QString::number(sb.Punkte(running)));
    for (const TSheepValue &value : SheepValues())
        iOutput(value.Name + " = " + value.Read(sb));
    iOutput("Return = " + iProgram->Return());
    if (showLawn)
        for (int row = 0; row < sb.Field().RowCount(); ++row)
            iOutput(sb.Field().Rows(row).Serialize());
}
