// Search and replace over the component's find engine: the plain engine
// matches literally, the regular-expression engine uses ECMAScript syntax.
#include "editor/MemoCode.h"

bool MemoCode::findOccurrence(const QString &search, TSynSearchOptions options, bool first)
{
    const bool regex = iSearchEngine == TSynSearchEngine::Regex;
    const bool cs = options & ssoMatchCase;
    const bool wo = options & ssoWholeWord;
    const bool forward = !(options & ssoBackwards);
    if (!first)
        return findNext();
    if (options & ssoSelectedOnly)
        return findFirstInSelection(search, regex, cs, wo, forward, true, false, regex);
    if (options & ssoEntireScope) {
        const int from = forward ? 0 : int(SendScintilla(SCI_GETTEXTLENGTH));
        SendScintilla(SCI_SETEMPTYSELECTION, from);
    }
    return findFirst(search, regex, cs, wo, false, forward, -1, -1, true, false, regex);
}

TSynReplaceAction MemoCode::askReplace(const QString &search, const QString &replace)
{
    if (!iOnReplaceText)
        return TSynReplaceAction::raReplace;
    const TBufferCoord at = BlockBegin();
    return iOnReplaceText(search, replace, at.Line, at.Char);
}

int MemoCode::SearchReplace(const QString &search, const QString &replace, TSynSearchOptions options)
{
    if (search.isEmpty())
        return 0;
    const bool replacing = options & (ssoReplace | ssoReplaceAll);
    if (replacing && isReadOnly())
        return 0;
    if (!replacing)
        return findOccurrence(search, options, true) ? 1 : 0;

    const bool all = options & ssoReplaceAll;
    bool prompt = options & ssoPrompt;
    int count = 0;
    int lastEmptyAt = -1;
    beginUndoAction();
    for (bool found = findOccurrence(search, options, true); found;
         found = all && findOccurrence(search, options, false)) {
        const int start = int(SendScintilla(SCI_GETSELECTIONSTART));
        if (start == int(SendScintilla(SCI_GETSELECTIONEND))) {
            // An empty match would be found again at the same place forever.
            if (start == lastEmptyAt)
                break;
            lastEmptyAt = start;
        }
        ++count;
        const TSynReplaceAction action = prompt ? askReplace(search, replace) : TSynReplaceAction::raReplace;
        if (action == TSynReplaceAction::raCancel)
            break;
        if (action == TSynReplaceAction::raReplaceAll)
            prompt = false;
        if (action != TSynReplaceAction::raSkip)
            this->replace(replace);
    }
    endUndoAction();
    return count;
}
