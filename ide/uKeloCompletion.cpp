#include "ide/uKeloCompletion.h"

#include "editor/MemoCode.h"
#include "ide/fKeloIDE.h"
#include "parser/uKeloLines.h"
#include "script/uKeloProgram.h"
#include "script/uKeloTypes.h"

#include <QToolTip>

namespace {
const char *const EndOfToken = "()[]. ";

QFont popupFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QString quoted(const QString &element) { return u'"' + QString(element).replace(u'"', QStringLiteral("\"\"")) + u'"'; }
} // namespace

QString CompletionEntry(const TFunction &function)
{
    return QStringLiteral("\\style{+B}%1\\style{-B}%2: %3")
        .arg(function.Name(), function.Parameter().Caption(), TypeNames[function.ReturnType()]);
}

QString ParameterHintEntry(const TFunction &function)
{
    QStringList elements;
    for (const TDeclaration *parameter : function.Parameter())
        elements.append(quoted(QStringLiteral("%1 %2").arg(TypeNames[parameter->ValueType()], parameter->Name())));
    return elements.isEmpty() ? QStringLiteral("\"<ohne Parameter>\"") : elements.join(u',');
}

TKeloCompletion::TKeloCompletion(TMemoCode *editor, TProgramSource program, TRunningSource isRunning, QObject *parent)
    : QObject(parent), iEditor(editor), iProgram(std::move(program)), iIsRunning(std::move(isRunning)),
      iSynComp(new TSynCompletionProposal(TSynCompletionType::ctCode, editor)),
      iSynParams(new TSynCompletionProposal(TSynCompletionType::ctParams, editor))
{
    setObjectName(QStringLiteral("KeloCompletion"));
    iSynComp->setObjectName(QStringLiteral("SynComp"));
    iSynComp->setShortCut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    iSynComp->setTriggerChars(QStringLiteral("."));
    iSynComp->setEndOfTokenChr(QString::fromLatin1(EndOfToken));
    iSynComp->setFont(popupFont());

    iSynParams->setObjectName(QStringLiteral("SynParams"));
    iSynParams->setShortCut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Space));
    iSynParams->setTriggerChars(QStringLiteral("("));
    iSynParams->setTimerEnabled(true);
    iSynParams->setTimerInterval(1200);
    iSynParams->setEndOfTokenChr(QString::fromLatin1(EndOfToken));
    iSynParams->setWidth(262);
    iSynParams->setBackground(QToolTip::palette().color(QPalette::ToolTipBase));
    iSynParams->setFont(popupFont());
    iSynParams->setOnExecute([this](TSynCompletionType kind, TSynCompletionProposal *sender, const QString &input,
                                    int &x, int &y,
                                    bool &canExecute) { SynParamsExecute(kind, sender, input, x, y, canExecute); });
}

void TKeloCompletion::UpdateCompletionList()
{
    iSynComp->InsertList().clear();
    iSynComp->ItemList().clear();
    const TProgram *program = iProgram();
    if (!program)
        return;
    for (const auto &function : program->FunctionList()) {
        iSynComp->InsertList().append(function->Name());
        iSynComp->ItemList().append(CompletionEntry(*function));
    }
}

void TKeloCompletion::SynParamsExecute(TSynCompletionType, TSynCompletionProposal *sender, const QString &, int &x,
                                       int &y, bool &canExecute)
{
    canExecute = false;
    if (sender != iSynParams || sender->Editor() != iEditor)
        return;
    const TBufferCoord caret = iEditor->CaretXY();
    const QString left = iEditor->LineText(caret.Line).left(caret.Char - 1);
    const TProgram *program = iProgram();
    const QString trimmed = left.trimmed();
    QString name;
    int argIndex = 0;
    int openAt = 0;
    if (iIsRunning() || !program || !findCallAtCursor(trimmed, name, argIndex, &openAt) ||
        !program->FunctionExists(name)) {
        sender->ItemList().clear();
        return;
    }
    canExecute = true;
    const int bracketColumn = int(left.indexOf(trimmed)) + openAt + 1;
    const QPoint bracket = iEditor->mapToGlobal(iEditor->BufferToPixels({bracketColumn, caret.Line}));
    x = bracket.x();
    y = bracket.y() + iEditor->LineHeight();
    sender->setCurrentIndex(argIndex);
    sender->ItemList().clear();
    for (const auto &function : program->FunctionList())
        if (function->Name() == name)
            sender->ItemList().append(ParameterHintEntry(*function));
}

// The completion lives as a child of the window, created with the window's first list.
void TfrmKeloIDE::UpdateCompletionList()
{
    auto *completion = findChild<TKeloCompletion *>(QStringLiteral("KeloCompletion"));
    if (!completion)
        completion = new TKeloCompletion(
            MemoCode, [this] { return myProgram.get(); }, [this] { return IsRunning(); }, this);
    completion->UpdateCompletionList();
}

// A click into the editor closes an open parameter hint.
void TfrmKeloIDE::CloseParamHint()
{
    if (auto *completion = findChild<TKeloCompletion *>(QStringLiteral("KeloCompletion")))
        completion->SynParams()->CancelCompletion();
}
