// Search and replace over the component's find engine: the plain engine
// matches literally, the regular-expression engine uses ECMAScript syntax.
#include "editor/MemoCode.h"

#include <regex>

// Finds the first occurrence (first), the next one, or the first one from a
// byte position (from >= 0). The component ignores whole words for regular
// expressions, so matches inside words are skipped here.
bool TMemoCode::findOccurrence(const QString &search, TSynSearchOptions options, bool first, int from)
{
    const bool wordsOnly = iSearchEngine == TSynSearchEngine::Regex && (options & ssoWholeWord);
    bool found = findMatch(search, options, first, from);
    while (found && wordsOnly && !selectionIsWholeWord())
        found = findNext();
    return found;
}

// An empty match counts as whole: searching on from it is left to the caller.
bool TMemoCode::selectionIsWholeWord() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    return start == end || SendScintilla(SCI_ISRANGEWORD, start, end);
}

bool TMemoCode::findMatch(const QString &search, TSynSearchOptions options, bool first, int from)
{
    const bool regex = iSearchEngine == TSynSearchEngine::Regex;
    const bool cs = options & ssoMatchCase;
    const bool wo = options & ssoWholeWord;
    const bool forward = !(options & ssoBackwards);
    if (from >= 0) {
        int line = 0, index = 0;
        lineIndexFromPosition(from, &line, &index);
        return findFirst(search, regex, cs, wo, false, forward, line, index, true, false, regex);
    }
    if (!first)
        return findNext();
    if (options & ssoSelectedOnly)
        return findFirstInSelection(search, regex, cs, wo, forward, true, false, regex);
    if (options & ssoEntireScope) {
        const int start = forward ? 0 : int(SendScintilla(SCI_GETTEXTLENGTH));
        SendScintilla(SCI_SETEMPTYSELECTION, start);
    }
    return findFirst(search, regex, cs, wo, false, forward, -1, -1, true, false, regex);
}

// Where to search on after an empty match: one character further, or -1 at
// the end of the text (an empty match would otherwise be found forever).
int TMemoCode::beyondEmptyMatch(bool forward) const
{
    const int at = int(SendScintilla(forward ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART));
    const int next = int(SendScintilla(forward ? SCI_POSITIONAFTER : SCI_POSITIONBEFORE, at));
    return next == at ? -1 : next;
}

// The component reads a pattern for a UTF-8 text as a wide ECMAScript expression.
bool TMemoCode::SearchPatternValid(const QString &search) const
{
    if (iSearchEngine != TSynSearchEngine::Regex)
        return true;
    try {
        std::wregex pattern(search.toStdWString(), std::regex::ECMAScript);
        return true;
    } catch (const std::regex_error &) {
        return false;
    }
}

TSynReplaceAction TMemoCode::askReplace(const QString &search, const QString &replace)
{
    if (!iOnReplaceText)
        return TSynReplaceAction::raReplace;
    const TBufferCoord at = BlockBegin();
    return iOnReplaceText(search, replace, at.Line, at.Char);
}

int TMemoCode::SearchReplace(const QString &search, const QString &replace, TSynSearchOptions options)
{
    if (search.isEmpty())
        return 0;
    const bool replacing = options & (ssoReplace | ssoReplaceAll);
    if (replacing && isReadOnly())
        return 0;
    if (!replacing)
        return findOccurrence(search, options, true) ? 1 : 0;

    const bool all = options & ssoReplaceAll;
    const bool forward = !(options & ssoBackwards);
    bool prompt = options & ssoPrompt;
    int count = 0;
    beginUndoAction();
    beginChangeBatch();
    bool found = findOccurrence(search, options, true);
    while (found) {
        const bool empty = !SelAvail();
        ++count;
        const TSynReplaceAction action = prompt ? askReplace(search, replace) : TSynReplaceAction::raReplace;
        if (action == TSynReplaceAction::raCancel)
            break;
        if (action == TSynReplaceAction::raReplaceAll)
            prompt = false;
        if (action != TSynReplaceAction::raSkip)
            this->replace(replace);
        if (!all)
            break;
        if (!empty) {
            found = findOccurrence(search, options, false);
            continue;
        }
        const int from = beyondEmptyMatch(forward);
        found = from >= 0 && findOccurrence(search, options, false, from);
    }
    endChangeBatch();
    endUndoAction();
    return count;
}
