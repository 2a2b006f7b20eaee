#pragma once
// The IDE's function list (Ctrl+Space) and parameter hint (Ctrl+Shift+Space,
// or shortly after typing "("), filled from the program of the last parse.
#include "editor/SynCompletionProposal.h"

#include <QObject>
#include <functional>

class TMemoCode;
class TFunction;
class TProgram;

// The list entry of a function: its name in bold, its parameter caption and return type.
QString CompletionEntry(const TFunction &function);
// The hint entry of a function: one quoted element per parameter, or "<ohne Parameter>".
QString ParameterHintEntry(const TFunction &function);

class TKeloCompletion : public QObject
{
    Q_OBJECT
public:
    using TProgramSource = std::function<TProgram *()>;
    using TRunningSource = std::function<bool()>;

    TKeloCompletion(TMemoCode *editor, TProgramSource program, TRunningSource isRunning, QObject *parent);

    TSynCompletionProposal *SynComp() const { return iSynComp; }
    TSynCompletionProposal *SynParams() const { return iSynParams; }

    // Refills the function list from the current program.
    void UpdateCompletionList();
    // The hint's before-open handler; it places the hint under the call's opening bracket.
    void SynParamsExecute(TSynCompletionType kind, TSynCompletionProposal *sender, const QString &currentInput, int &x,
                          int &y, bool &canExecute);

private:
    TMemoCode *iEditor;
    TProgramSource iProgram;
    TRunningSource iIsRunning;
    TSynCompletionProposal *iSynComp;
    TSynCompletionProposal *iSynParams;
};
