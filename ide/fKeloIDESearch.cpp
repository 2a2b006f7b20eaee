// The window's search and replace: the dialogs, F3 and Shift+F3 with
// wrap-around, the three not-found messages and the question before each
// replacement.
#include "ide/fKeloIDE.h"

#include "editor/MemoCode.h"
#include "ide/fDlgReplaceText.h"
#include "ide/uDialogs.h"

#include <QAction>
#include <memory>

namespace {
const QString NotFound = QStringLiteral("Suchtext nicht gefunden!");

bool hasOneLineSelection(const TMemoCode &editor)
{
    return editor.SelAvail() && editor.BlockBegin().Line == editor.BlockEnd().Line;
}
} // namespace

void TfrmKeloIDE::AcFindExecute() { OpenSearchDialog(false); }

void TfrmKeloIDE::AcFindReplaceExecute() { OpenSearchDialog(true); }

void TfrmKeloIDE::OpenSearchDialog(bool replace)
{
    std::unique_ptr<TTextSearchDialog> dialog;
    TTextReplaceDialog *replaceDialog = nullptr;
    if (replace)
        dialog.reset(replaceDialog = new TTextReplaceDialog(this));
    else
        dialog = std::make_unique<TTextSearchDialog>(this);
    dialog->setSearchBackwards(gbSearchBackwards);
    dialog->setSearchCaseSensitive(gbSearchCaseSensitive);
    dialog->setSearchFromCursor(gbSearchFromCaret);
    dialog->setSearchInSelectionOnly(gbSearchSelectionOnly);
    dialog->setSearchRegularExpression(gbSearchRegex);
    dialog->setSearchWholeWords(gbSearchWholeWords);
    dialog->setSearchTextHistory(gsSearchTextHistory);
    if (hasOneLineSelection(*MemoCode))
        dialog->setSearchText(MemoCode->SelText());
    else if (!gsSearchText.isEmpty())
        dialog->setSearchText(gsSearchText);
    else
        dialog->setSearchText(MemoCode->WordAt(MemoCode->CaretXY()));
    if (replaceDialog) {
        replaceDialog->setReplaceText(gsReplaceText);
        replaceDialog->setReplaceTextHistory(gsReplaceTextHistory);
    }
    if (!Dialogs().execSearchDialog(*dialog))
        return;

    quickSearch = false;
    gbSearchBackwards = dialog->SearchBackwards();
    gbSearchCaseSensitive = dialog->SearchCaseSensitive();
    gbSearchFromCaret = dialog->SearchFromCursor();
    gbSearchSelectionOnly = dialog->SearchInSelectionOnly();
    gbSearchRegex = dialog->SearchRegularExpression();
    gbSearchWholeWords = dialog->SearchWholeWords();
    gsSearchText = dialog->SearchText();
    gsSearchTextHistory = dialog->SearchTextHistory();
    if (replaceDialog) {
        gsReplaceText = replaceDialog->ReplaceText();
        gsReplaceTextHistory = replaceDialog->ReplaceTextHistory();
    }
    AcFindNextUpdate();
    if (!gsSearchText.isEmpty())
        RunSearch(replace, gbSearchBackwards);
    UpdateCaretInfo(); // no key reaches the editor to do it
}

void TfrmKeloIDE::AcFindNextExecute() { findAgain(false); }

void TfrmKeloIDE::AcFindPrevExecute() { findAgain(true); }

// F3 and Shift+F3: the selected text, or else the last one, once more.
void TfrmKeloIDE::findAgain(bool backwards)
{
    if (hasOneLineSelection(*MemoCode))
        gsSearchText = MemoCode->SelText();
    quickSearch = true;
    AcFindNextUpdate();
    RunSearch(false, backwards);
}

void TfrmKeloIDE::RunSearch(bool replace, bool backwards)
{
    TSynSearchOptions options;
    if (replace)
        options |= ssoReplace | ssoReplaceAll | ssoPrompt;
    if (backwards)
        options |= ssoBackwards;
    if (gbSearchCaseSensitive)
        options |= ssoMatchCase;
    if (!quickSearch && !gbSearchFromCaret)
        options |= ssoEntireScope;
    // After a search in the selection the selection is the hit: F3 and Shift+F3 go on from there.
    if (gbSearchSelectionOnly && !quickSearch)
        options |= ssoSelectedOnly;
    if (gbSearchWholeWords)
        options |= ssoWholeWord;
    // Backwards from the caret means from the selection's start, or Shift+F3
    // would find the occurrence it has just selected again.
    if (backwards && !(options & (ssoEntireScope | ssoSelectedOnly)) && MemoCode->SelAvail())
        MemoCode->setCaretXY(MemoCode->BlockBegin());
    MemoCode->setSearchEngine(gbSearchRegex ? TSynSearchEngine::Regex : TSynSearchEngine::Plain);
    if (!MemoCode->SearchPatternValid(gsSearchText)) {
        Dialogs().message(this, TDlgKind::Error, QStringLiteral("Fehler"),
                          QStringLiteral("Ungültiger regulärer Ausdruck"));
        return;
    }
    MemoCode->setOnReplaceText([this](const QString &search, const QString &replacement, int line, int column) {
        return MemoCodeReplaceText(search, replacement, line, column);
    });
    if (MemoCode->SearchReplace(gsSearchText, gsReplaceText, options) > 0)
        return;

    QString message;
    if (quickSearch) {
        // F3 and Shift+F3 wrap around to the start (or the end) once.
        if (MemoCode->SearchReplace(gsSearchText, gsReplaceText, options | ssoEntireScope) > 0)
            return;
        message = NotFound;
    } else if (options & ssoEntireScope) {
        message = NotFound;
    } else {
        message = backwards ? QStringLiteral("Anfang des Dokuments erreicht!")
                            : QStringLiteral("Ende des Dokuments erreicht!");
    }
    Dialogs().message(this, TDlgKind::Information, QStringLiteral("Information"), message);

    const TBufferCoord begin = MemoCode->BlockBegin();
    const TBufferCoord end = MemoCode->BlockEnd();
    const TBufferCoord collapsed = backwards ? begin : end;
    MemoCode->setSelection(collapsed, collapsed);
    MemoCode->setCaretXY(collapsed);
}

TSynReplaceAction TfrmKeloIDE::MemoCodeReplaceText(const QString &search, const QString &replace, int line, int column)
{
    if (search == replace)
        return TSynReplaceAction::raSkip;
    const QPoint start = MemoCode->mapToGlobal(MemoCode->BufferToPixels({column, line}));
    const int y2 = start.y() + MemoCode->LineHeight();
    const QRect area(mapToGlobal(QPoint(0, 0)), size());
    switch (Dialogs().confirmReplace(area, start.x(), start.y(), y2, search)) {
    case TDlgAnswer::Yes:
        return TSynReplaceAction::raReplace;
    case TDlgAnswer::No:
        return TSynReplaceAction::raSkip;
    case TDlgAnswer::YesToAll:
        return TSynReplaceAction::raReplaceAll;
    default:
        return TSynReplaceAction::raCancel;
    }
}

void TfrmKeloIDE::AcFindNextUpdate()
{
    const bool enabled = !gsSearchText.isEmpty() || hasOneLineSelection(*MemoCode);
    AcFindNext->setEnabled(enabled);
    AcFindPrev->setEnabled(enabled);
}

void TfrmKeloIDE::AcFindReplaceUpdate() { AcFindReplace->setEnabled(!MemoCode->isReadOnly()); }
