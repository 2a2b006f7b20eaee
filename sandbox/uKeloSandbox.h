#pragma once
// The base of every sandbox: the world a script acts on. It declares the
// sandbox's built-in functions into a program, routes their calls back to the
// sandbox, and delivers the sandbox's messages to its host.
#include "script/uKeloCode.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Receives one message text of the sandbox.
using TMsgEvent = std::function<void(const QString &msg)>;

// Message kinds of SendMsg; any other value is ignored.
enum TMsgKind : int { mkInformation = 0, mkWarning = 1, mkError = 2 };

using TParamList = std::vector<std::unique_ptr<TDeclaration>>;

class TKeloSandBox
{
public:
    TKeloSandBox() = default;
    virtual ~TKeloSandBox() = default;
    TKeloSandBox(const TKeloSandBox &) = delete;
    TKeloSandBox &operator=(const TKeloSandBox &) = delete;

    // Declares this sandbox's built-ins into prog. A derived sandbox calls the
    // base first, so that message always comes first.
    virtual void RegisterFunctions(TProgram *prog);
    // Runs the built-in called name; handled is false for an unknown name.
    // A derived sandbox calls the base first and returns if it handled the call.
    virtual void CallFunction(const QString &name, QStringList &params, QString &result, bool &handled);
    virtual QString Caption() const;
    // A diagnostic text of the sandbox's state.
    virtual QString Debug() = 0;
    // Resets the sandbox's world to its standard state (before every run).
    virtual void setStd() = 0;
    virtual QString getHelp() const;
    // A copy of the world as it stands, and putting such a copy back: what a
    // run starts from besides its script, so that the run can be repeated.
    // The base has no world of its own.
    virtual std::any SaveWorld() const { return {}; }
    virtual void RestoreWorld(const std::any &) {}

    // Declares all built-ins into prog; the first call also records the
    // handlers of full-form declarations for BindFunctions.
    void AddFunctions(TProgram *prog);
    // Points every built-in of prog at the recorded handlers; false at the
    // first built-in without one (those before it stay rebound).
    bool BindFunctions(TProgram *prog);
    // The standard handler of this sandbox's built-ins.
    QString FunctionBin(const QString &name, QStringList &params);
    // To the receiver with "Warnung: " / "Fehler: " prefixes; without one,
    // shown modally without prefix.
    void SendMsg(const QString &msg, int kind);

    const TMsgEvent &OnMsg() const { return iOnMsg; }
    void setOnMsg(TMsgEvent handler) { iOnMsg = std::move(handler); }
    // The value with which the last finished program ended, kept for the host.
    const QString &Return() const { return iReturn; }
    void setReturn(const QString &value) { iReturn = value; }

protected:
    // A parameter declaration of that type and name, passed by value.
    static std::unique_ptr<TDeclaration> NewParam(const QString &name, TType t);
    // Params(NewParam("x", TType::int_), NewParam("s", TType::kelostr))
    template <class... P> static TParamList Params(P &&...params)
    {
        TParamList list;
        (list.push_back(std::forward<P>(params)), ...);
        return list;
    }
    // This sandbox's FunctionBin as a handler.
    TFunctionBinCall standardHandler();

    TFunctionBin *DeclareFunction(TProgram *prog, const QString &name, TType returnType, const QString &help);
    TFunctionBin *DeclareFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                  const QString &help);
    // Full form: the only one whose handler is recorded for BindFunctions.
    TFunctionBin *DeclareFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                  TFunctionBinCall handler, const QString &help, const QString &minVersion);

private:
    TFunctionBin *createFunction(TProgram *prog, const QString &name, TType returnType, TParamList params,
                                 TFunctionBinCall handler, const QString &help);

    bool doCollectBinCalls = false;
    TMsgEvent iOnMsg;
    // Caption of a built-in to its handler; absent until the first AddFunctions.
    std::optional<QHash<QString, TFunctionBinCall>> binCalls;
    QString iReturn;
};
