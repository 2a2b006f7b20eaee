#include "sheep/uSheepRun.h"

#include "parser/uKeloParser.h"
#include "script/uKeloExpression.h"

#include <new>

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
    const TRunResult result = runSteps(options.MaxSteps);
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
        iOutput(QStringLiteral("Fehler in Zeile %1: %2").arg(line + 1).arg(msg));
    });
    iProgram->setOnStateChanged([this](TProgram *program) {
        if (program->State() == TProgramState::finished && !program->Return().isEmpty())
            iSandbox.setReturn(program->Return());
    });
}

TRunResult TSheepRun::runSteps(qint64 maxSteps)
{
    try {
        for (qint64 done = 0;; ++done) {
            if (done >= maxSteps) {
                const QString limit = QStringLiteral("Schrittlimit erreicht: %1 Programmschritte").arg(maxSteps);
                noteError(iLastLine, limit);
                iOutput(limit);
                iProgram->stop();
                iProgram->Finish();
                return TRunResult::StepLimit;
            }
            if (!iProgram->Next())
                break;
        }
    } catch (const TArithmeticFault &fault) {
        noteError(iLastLine, fault.Message());
        iOutput(fault.Message());
        return TRunResult::ArithmeticFault;
    } catch (const std::bad_alloc &) {
        iOutOfMemory = true;
        const QString message = QStringLiteral("Nicht genügend Arbeitsspeicher: das Programm wurde beendet.");
        noteError(iLastLine, message);
        iOutput(message);
        iProgram->stop();
        iProgram->Finish();
        return TRunResult::RuntimeError;
    }
    return iHadRuntimeError ? TRunResult::RuntimeError : TRunResult::Finished;
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
