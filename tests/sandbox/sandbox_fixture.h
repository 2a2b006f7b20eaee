#pragma once
// A small sandbox with a counter world, and a driver that parses a script into
// a fresh program with the sandbox's built-ins and runs it step by step.
#include "parser/uKeloParser.h"
#include "sandbox/uKeloSandbox.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

// Built-ins: count(n) adds n to the counter and returns it; counter is an
// environment value; twice(ref n) doubles its argument in place; hello is
// declared in the short form, so it is never recorded for rebinding.
class TCounterSandBox : public TKeloSandBox
{
public:
    explicit TCounterSandBox(bool withShortForm = false) : iWithShortForm(withShortForm) {}

    QString Debug() override { return QStringLiteral("counter=") + QString::number(counter); }
    void setStd() override { counter = 0; }

    void RegisterFunctions(TProgram *prog) override
    {
        TKeloSandBox::RegisterFunctions(prog);
        DeclareFunction(prog, QStringLiteral("count"), TType::int_, Params(NewParam(QStringLiteral("n"), TType::int_)),
                        standardHandler(), QStringLiteral("Zählt weiter."), QStringLiteral("2.0"));
        DeclareFunction(prog, QStringLiteral("counter"), TType::int_, TParamList(), standardHandler(),
                        QStringLiteral("Der Zähler."), QString());
        TFunctionBin *twice = DeclareFunction(prog, QStringLiteral("twice"), TType::void_,
                                              Params(NewParam(QStringLiteral("n"), TType::int_)), standardHandler(),
                                              QStringLiteral("Verdoppelt."), QString());
        twice->Parameter()[0]->setIsReference(true);
        if (iWithShortForm)
            DeclareFunction(prog, QStringLiteral("hello"), TType::kelostr, QStringLiteral("Grüßt."));
    }

    void CallFunction(const QString &name, QStringList &params, QString &result, bool &handled) override
    {
        TKeloSandBox::CallFunction(name, params, result, handled);
        if (handled)
            return;
        handled = true;
        if (name == u"count") {
            counter += IntOperand(params[0]);
            result = IntToValue(counter);
        } else if (name == u"counter") {
            result = IntToValue(counter);
        } else if (name == u"twice") {
            params[0] = IntToValue(2 * qint64(IntOperand(params[0])));
        } else {
            handled = false;
        }
    }

    int counter = 0;

private:
    bool iWithShortForm;
};

// One script parsed and run against a sandbox, with everything it reported.
struct TScriptRun
{
    explicit TScriptRun(TKeloSandBox &sandbox) : sandbox(sandbox) {}

    // Parses; true when the script has no errors.
    bool parse(const QStringList &source)
    {
        program = std::make_unique<TProgram>();
        sandbox.AddFunctions(program.get());
        sandbox.setOnMsg([this](const QString &msg) { messages.append(msg); });
        executable.clear();
        return parseScript(source, program.get(), errors, warnings, nullptr, &executable);
    }

    // Runs to the end or at most maxSteps steps; false if it did not finish.
    bool run(int maxSteps = 10000)
    {
        sandbox.setStd();
        program->setOnLineNumber([this](TProgram *, int line) { announced.append(line); });
        program->setOnCodeError([this](TProgram *, int line, const QString &msg) {
            runErrors.append(QString::number(line) + QStringLiteral(": ") + msg);
        });
        program->Run();
        try {
            for (int step = 0; step < maxSteps; ++step) {
                if (!program->Next())
                    return true;
            }
        } catch (const TArithmeticFault &fault) {
            // The program stays running at the faulting statement; the run ends here.
            faults.append(fault.Message());
            return true;
        }
        return false;
    }

    QStringList errorTexts() const
    {
        QStringList texts;
        if (errors) {
            for (const TKeloMessage &m : *errors)
                texts.append(m.Text);
        }
        return texts;
    }

    TKeloSandBox &sandbox;
    std::unique_ptr<TProgram> program;
    std::unique_ptr<TKeloMessageList> errors;
    std::unique_ptr<TKeloMessageList> warnings;
    QList<int> executable;
    QStringList messages;
    QList<int> announced;
    QStringList runErrors;
    QStringList faults;
};
