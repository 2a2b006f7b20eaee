#include "sandbox/uKeloSandbox.h"

#include "base/uModalHook.h"

void TKeloSandBox::RegisterFunctions(TProgram *prog)
{
    DeclareFunction(prog, QStringLiteral("message"), TType::void_,
                    Params(NewParam(QStringLiteral("msg"), TType::kelostr)), standardHandler(),
                    QStringLiteral("Sendet eine Nachricht an den Aufrufer."), QString());
}

void TKeloSandBox::CallFunction(const QString &name, QStringList &params, QString &result, bool &handled)
{
    result.clear();
    handled = name == u"message";
    if (!handled)
        return;
    QString text;
    bool failed = false;
    UnquoteStr(params.value(0), failed, text);
    SendMsg(text, mkInformation);
}

QString TKeloSandBox::Caption() const { return QStringLiteral("Kelocode Sandbox"); }

QString TKeloSandBox::getHelp() const { return QString(); }

void TKeloSandBox::AddFunctions(TProgram *prog)
{
    doCollectBinCalls = !binCalls.has_value();
    if (!binCalls)
        binCalls.emplace();
    RegisterFunctions(prog);
    doCollectBinCalls = false;
}

bool TKeloSandBox::BindFunctions(TProgram *prog)
{
    if (!binCalls) {
        TProgram scratch;
        AddFunctions(&scratch);
    }
    for (const std::unique_ptr<TFunction> &function : prog->FunctionList()) {
        auto *builtIn = dynamic_cast<TFunctionBin *>(function.get());
        if (!builtIn)
            continue;
        const auto recorded = binCalls->constFind(builtIn->Caption());
        if (recorded == binCalls->constEnd())
            return false;
        builtIn->setCall(*recorded);
    }
    return true;
}

QString TKeloSandBox::FunctionBin(const QString &name, QStringList &params)
{
    QString result;
    bool handled = false;
    CallFunction(name, params, result, handled);
    if (!handled)
        SendMsg(QStringLiteral("undefinierter Funktionsaufruf!"), mkWarning);
    return result;
}

void TKeloSandBox::SendMsg(const QString &msg, int kind)
{
    if (kind < mkInformation || kind > mkError)
        return;
    if (!iOnMsg) {
        ShowModal(msg, static_cast<TModalKind>(kind));
        return;
    }
    static const QString prefixes[] = {QString(), QStringLiteral("Warnung: "), QStringLiteral("Fehler: ")};
    iOnMsg(prefixes[kind] + msg);
}

std::unique_ptr<TDeclaration> TKeloSandBox::NewParam(const QString &name, TType t)
{
    return std::make_unique<TDeclaration>(name, t, false);
}

TFunctionBinCall TKeloSandBox::standardHandler()
{
    return [this](const QString &name, QStringList &params) { return FunctionBin(name, params); };
}

TFunctionBin *TKeloSandBox::createFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                           TFunctionBinCall handler, const QString &help)
{
    auto function = std::make_unique<TFunctionBin>();
    function->setName(name);
    function->setReturnType(returnType);
    function->setCall(std::move(handler));
    function->setComment(help);
    for (std::unique_ptr<TDeclaration> &param : params)
        function->AddParameter(std::move(param));
    return static_cast<TFunctionBin *>(prog->AddFunction(std::move(function)));
}

TFunctionBin *TKeloSandBox::DeclareFunction(TProgram *prog, const QString &name, TType returnType, const QString &help)
{
    return createFunction(prog, name, returnType, TParamList(), standardHandler(), help);
}

TFunctionBin *TKeloSandBox::DeclareFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                            const QString &help)
{
    return createFunction(prog, name, returnType, std::move(params), standardHandler(), help);
}

TFunctionBin *TKeloSandBox::DeclareFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                            TFunctionBinCall handler, const QString &help, const QString &minVersion)
{
    TFunctionBin *function = createFunction(prog, name, returnType, std::move(params), handler, help);
    function->setMinVersion(minVersion);
    if (doCollectBinCalls)
        binCalls->insert(function->Caption(), handler);
    return function;
}
