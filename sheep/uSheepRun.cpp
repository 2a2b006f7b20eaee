#include "sheep/uSheepRun.h"

#include "parser/uKeloParser.h"
#include "script/uKeloExpression.h"

TSheepRun::TSheepRun(TOutput output) : iOutput(std::move(output))
{
    iSandbox.Field().SetSize(DefaultLawnSize, DefaultLawnSize);
}

TSheepRun::~TSheepRun() = default;

TRunResult TSheepRun::Execute(const QStringList &script, const TRunOptions &options)
{
    iHadRuntimeError = false;
    if (!parse(script))
        return TRunResult::ParseFailed;
    iSandbox.setStd();
    wireEvents(options.Trace);
    iProgram->Run();
    const TRunResult result = runSteps(options.MaxSteps);
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
    for (const auto *list : {errors.get(), warnings.get()})
        if (list)
            for (const TKeloMessage &message : *list)
                iOutput(message.Text);
    return ok;
}

void TSheepRun::wireEvents(bool trace)
{
    if (trace)
        iProgram->setOnLineNumber([this](TProgram *, int line) { iOutput("@ " + QString::number(line + 1)); });
    iProgram->setOnCodeError([this](TProgram *, int line, const QString &msg) {
        iHadRuntimeError = true;
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
                iOutput("Schrittlimit erreicht: " + QString::number(maxSteps));
                iProgram->stop();
                iProgram->Finish();
                return TRunResult::StepLimit;
            }
            if (!iProgram->Next())
                break;
        }
    } catch (const TArithmeticFault &fault) {
        iOutput(fault.Message());
        return TRunResult::ArithmeticFault;
    }
    return iHadRuntimeError ? TRunResult::RuntimeError : TRunResult::Finished;
}

void TSheepRun::printSummary(bool showLawn)
{
    const bool running = iProgram->State() == TProgramState::running;
    const TSandboxSheep &sb = iSandbox;
    iOutput("Punkte: " + QString::number(sb.Punkte(running)));
    const std::pair<const char *, QString> values[] = {
        {"zSteps", QString::number(sb.zSteps())}, {"zUncut", QString::number(sb.zUncut())},
        {"zCut", QString::number(sb.zCut())},     {"zWidth", QString::number(sb.zWidth())},
        {"zHeight", QString::number(sb.zHeight())}, {"zPosX", QString::number(sb.zPosX())},
        {"zPosY", QString::number(sb.zPosY())},   {"dSheep", DirToValue(sb.dSheep())},
    };
    for (const auto &[name, value] : values)
        iOutput(QString::fromLatin1(name) + " = " + value);
    iOutput("Return = " + iProgram->Return());
    if (showLawn)
        for (int row = 0; row < sb.Field().RowCount(); ++row)
            iOutput(sb.Field().Rows(row).Serialize());
}
