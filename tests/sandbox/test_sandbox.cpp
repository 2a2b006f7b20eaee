// Sandbox base: declaring built-ins, the binding table, dispatch and message
// delivery with and without a receiver.
#include "sandbox_fixture.h"

#include "tests/support/ModalRecorder.h"

namespace {
QStringList functionNames(const TProgram &program)
{
    QStringList names;
    for (const std::unique_ptr<TFunction> &f : program.FunctionList())
        names.append(f->Name());
    return names;
}

// A sandbox whose second registration declares a built-in the first did not.
class TGrowingSandBox : public TCounterSandBox
{
public:
    void RegisterFunctions(TProgram *prog) override
    {
        TCounterSandBox::RegisterFunctions(prog);
        if (iRegistrations++ > 0)
            DeclareFunction(prog, QStringLiteral("late"), TType::void_, TParamList(), standardHandler(), QString(),
                            QString());
    }

private:
    int iRegistrations = 0;
};

QString callBuiltIn(TProgram &program, const QString &name, QStringList params)
{
    for (const std::unique_ptr<TFunction> &f : program.FunctionList()) {
        if (f->Name() == name) {
            bool halted = false;
            QString result;
            f->Execute(params, halted, result);
            return result;
        }
    }
    return QStringLiteral("<missing>");
}
} // namespace

TEST(SandBox, DeclaresMessageFirstThenItsOwnBuiltIns)
{
    TCounterSandBox sandbox(true);
    TProgram program;
    sandbox.AddFunctions(&program);
    EXPECT_EQ(functionNames(program), QStringList({"exit", "message", "count", "counter", "twice", "hello"}));
    auto *message = dynamic_cast<TFunctionBin *>(program.FunctionList()[1]);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->Caption(), QStringLiteral("message(string msg): void"));
    EXPECT_EQ(message->Comment(), QStringLiteral("Sendet eine Nachricht an den Aufrufer."));
    EXPECT_EQ(program.FunctionList()[2]->MinVersion(), QStringLiteral("2.0"));
    EXPECT_EQ(sandbox.Caption(), QStringLiteral("Kelocode Sandbox"));
    EXPECT_TRUE(sandbox.getHelp().isEmpty());
}

TEST(SandBox, BindingTableIsFilledByTheFirstDeclarationOnly)
{
    TGrowingSandBox sandbox;
    TProgram first;
    sandbox.AddFunctions(&first);
    TProgram second;
    sandbox.AddFunctions(&second);
    EXPECT_EQ(functionNames(second).last(), QStringLiteral("late")) << "later calls still declare everything";
    EXPECT_TRUE(sandbox.BindFunctions(&first));
    EXPECT_FALSE(sandbox.BindFunctions(&second)) << "late was declared after the table was filled";

    TCounterSandBox withShortForm(true);
    TProgram program;
    withShortForm.AddFunctions(&program);
    EXPECT_FALSE(withShortForm.BindFunctions(&program)) << "short-form built-ins are never recorded";
}

TEST(SandBox, BindingPointsBuiltInsAtTheBindingSandbox)
{
    TCounterSandBox declaring;
    TProgram program;
    declaring.AddFunctions(&program);

    TCounterSandBox binding;
    ASSERT_TRUE(binding.BindFunctions(&program)) << "a sandbox without a table builds one on a scratch program";
    EXPECT_EQ(callBuiltIn(program, "count", {"5"}), QStringLiteral("5"));
    EXPECT_EQ(binding.counter, 5);
    EXPECT_EQ(declaring.counter, 0);
}

TEST(SandBox, MessagesReachTheReceiverWithPrefixes)
{
    TCounterSandBox sandbox;
    QStringList received;
    sandbox.setOnMsg([&](const QString &msg) { received.append(msg); });
    TModalRecorder modal;
    sandbox.SendMsg(QStringLiteral("Info"), mkInformation);
    sandbox.SendMsg(QStringLiteral("X"), mkWarning);
    sandbox.SendMsg(QStringLiteral("X"), mkError);
    sandbox.SendMsg(QStringLiteral("lost"), 3);
    sandbox.SendMsg(QStringLiteral("lost"), -1);
    EXPECT_EQ(received, QStringList({"Info", "Warnung: X", "Fehler: X"}));
    EXPECT_TRUE(modal.shown.isEmpty());
}

TEST(SandBox, WithoutReceiverMessagesAreShownModallyWithoutPrefix)
{
    TCounterSandBox sandbox;
    TModalRecorder modal;
    sandbox.SendMsg(QStringLiteral("A"), mkInformation);
    sandbox.SendMsg(QStringLiteral("B"), mkWarning);
    sandbox.SendMsg(QStringLiteral("C"), mkError);
    sandbox.SendMsg(QStringLiteral("D"), 7);
    ASSERT_EQ(modal.shown.size(), 3);
    EXPECT_EQ(modal.shown[0], std::make_pair(QStringLiteral("A"), TModalKind::Information));
    EXPECT_EQ(modal.shown[1], std::make_pair(QStringLiteral("B"), TModalKind::Warning));
    EXPECT_EQ(modal.shown[2], std::make_pair(QStringLiteral("C"), TModalKind::Error));
}

TEST(SandBox, UnknownBuiltInWarnsAndAnswersEmpty)
{
    TCounterSandBox sandbox(true);
    TProgram program;
    sandbox.AddFunctions(&program);
    QStringList received;
    sandbox.setOnMsg([&](const QString &msg) { received.append(msg); });
    EXPECT_TRUE(callBuiltIn(program, "hello", {}).isEmpty());
    EXPECT_EQ(received, QStringList({"Warnung: undefinierter Funktionsaufruf!"}));

    // Dispatch is by exact name: the base knows message only.
    QStringList params = {"\"x\""};
    EXPECT_TRUE(sandbox.FunctionBin(QStringLiteral("Message"), params).isEmpty());
    EXPECT_EQ(received.size(), 2);
}

TEST(SandBox, MessageBuiltInDeliversThePlainText)
{
    TCounterSandBox sandbox;
    TScriptRun script(sandbox);
    ASSERT_TRUE(script.parse({"message(\"Hallo \\\"Welt\\\"\\n\");"}));
    ASSERT_TRUE(script.run());
    EXPECT_EQ(script.messages, QStringList({"Hallo \"Welt\"\n"}));

    sandbox.setOnMsg(nullptr);
    TModalRecorder modal;
    script.program->Run();
    while (script.program->Next()) {
    }
    ASSERT_EQ(modal.shown.size(), 1);
    EXPECT_EQ(modal.shown[0], std::make_pair(QStringLiteral("Hallo \"Welt\"\n"), TModalKind::Information));
}
