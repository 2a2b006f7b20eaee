// The behaviour options of the editor: settings of the component where it has
// them, small key and mouse handlers where it does not.
#include "editor/MemoCode.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QToolTip>

// With DisableScrollArrows, a scroll bar's arrow is drawn disabled (grey)
// while the bar cannot move any further in its direction.
class TMemoCode::TScrollArrowStyle : public QProxyStyle
{
public:
    explicit TScrollArrowStyle(const TMemoCode *editor) : iEditor(editor) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (control != CC_ScrollBar || !bar || !(bar->state & State_Enabled) ||
            !(iEditor->Options() & eoDisableScrollArrows))
            return;
        if (bar->sliderValue <= bar->minimum)
            drawDisabledArrow(*bar, SC_ScrollBarSubLine, painter, widget);
        if (bar->sliderValue >= bar->maximum)
            drawDisabledArrow(*bar, SC_ScrollBarAddLine, painter, widget);
    }

private:
    void drawDisabledArrow(const QStyleOptionSlider &bar, SubControl arrow, QPainter *painter,
                           const QWidget *widget) const
    {
        QStyleOptionSlider disabled = bar;
        disabled.state &= ~(State_Enabled | State_Sunken | State_MouseOver);
        disabled.palette.setCurrentColorGroup(QPalette::Disabled);
        disabled.subControls = arrow;
        disabled.activeSubControls = SC_None;
        painter->save();
        painter->setClipRect(subControlRect(CC_ScrollBar, &bar, arrow, widget));
        QProxyStyle::drawComplexControl(CC_ScrollBar, &disabled, painter, widget);
        painter->restore();
    }

    const TMemoCode *iEditor;
};

void TMemoCode::installScrollArrowStyle()
{
    auto *style = new TScrollArrowStyle(this);
    style->setParent(this);
    verticalScrollBar()->setStyle(style);
    horizontalScrollBar()->setStyle(style);
}

void TMemoCode::setOptions(TSynEditorOptions options)
{
    iOptions = options;
    applyOptions();
    Invalidate();
}

void TMemoCode::applyOptions()
{
    const auto on = [this](TSynEditorOption o) { return bool(iOptions & o); };
    setAutoIndent(on(eoAutoIndent));
    setScrollWidthTracking(on(eoAutoSizeMaxScrollWidth));
    if (on(eoAutoSizeMaxScrollWidth))
        setScrollWidth(1);
    const auto policy = on(eoHideShowScrollbars) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
    SendScintilla(SCI_SETCARETSTYLE, on(eoNoCaret) ? CARETSTYLE_INVISIBLE : CARETSTYLE_LINE);
    if (on(eoNoSelection))
        SendScintilla(SCI_SETEMPTYSELECTION, SendScintilla(SCI_GETCURRENTPOS));
    SendScintilla(SCI_SETENDATLASTLINE, !on(eoScrollPastEof));
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS,
                  on(eoScrollPastEol) ? SCVS_USERACCESSIBLE | SCVS_RECTANGULARSELECTION : SCVS_RECTANGULARSELECTION);
    setWhitespaceVisibility(on(eoShowSpecialChars) ? WsVisible : WsInvisible);
    setEolVisibility(on(eoShowSpecialChars));
    setIndentationsUseTabs(!on(eoTabsToSpaces));
}

// Keys whose behaviour depends on an option; true when handled here.
bool TMemoCode::handleOptionKey(QKeyEvent *event)
{
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift)
        return false;
    switch (event->key()) {
    case Qt::Key_Home:
        if (iOptions & eoEnhanceHomeKey)
            return false;
        SendScintilla(shift ? SCI_HOMEEXTEND : SCI_HOME);
        return true;
    case Qt::Key_End:
        return (iOptions & eoEnhanceEndKey) && handleEndKey();
    case Qt::Key_Up:
    case Qt::Key_Down:
        return !(iOptions & eoKeepCaretX) && handleLineKey(event->key() == Qt::Key_Down, shift);
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (!(iOptions & eoHalfPageScroll) && (iOptions & eoScrollByOneLess))
            return false;
        return handlePageKey(event->key() == Qt::Key_PageDown, shift);
    case Qt::Key_Tab:
        if (isReadOnly() || shift)
            return false;
        if (SelAvail())
            return handleSingleLineIndent(false);
        return (iOptions & eoSmartTabs) && handleSmartTab();
    case Qt::Key_Backspace:
        return !shift && !isReadOnly() && !SelAvail() && (iOptions & eoSmartTabDelete) && handleSmartTabDelete();
    case Qt::Key_Backtab:
        return !isReadOnly() && SelAvail() && handleSingleLineIndent(true);
    default:
        return false;
    }
}

// End goes to the last non-blank character first, then to the line's end.
bool TMemoCode::handleEndKey()
{
    const bool extend = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    const TBufferCoord caret = CaretXY();
    const QString text = LineText(caret.Line);
    int lastNonBlank = int(text.size());
    while (lastNonBlank > 0 && text[lastNonBlank - 1].isSpace())
        --lastNonBlank;
    const int target = caret.Char == lastNonBlank + 1 ? int(text.size()) + 1 : lastNonBlank + 1;
    const int pos = positionOf({target, caret.Line});
    if (extend)
        SendScintilla(SCI_SETSEL, SendScintilla(SCI_GETANCHOR), pos);
    else
        SendScintilla(SCI_GOTOPOS, pos);
    SendScintilla(SCI_CHOOSECARETX);
    return true;
}

// Without KeepCaretX a move to a shorter line ends at its end, also where the
// caret may stand past the end of a line, and the next move starts from there.
bool TMemoCode::handleLineKey(bool down, bool extend)
{
    if (down)
        SendScintilla(extend ? SCI_LINEDOWNEXTEND : SCI_LINEDOWN);
    else
        SendScintilla(extend ? SCI_LINEUPEXTEND : SCI_LINEUP);
    const int main = int(SendScintilla(SCI_GETMAINSELECTION));
    if (SendScintilla(SCI_GETSELECTIONNCARETVIRTUALSPACE, main) > 0) {
        SendScintilla(SCI_SETSELECTIONNCARETVIRTUALSPACE, main, long(0));
        if (!extend)
            SendScintilla(SCI_SETSELECTIONNANCHORVIRTUALSPACE, main, long(0));
    }
    SendScintilla(SCI_CHOOSECARETX);
    return true;
}

// Page keys for half pages or whole pages: scroll by the page, keep the caret's column.
bool TMemoCode::handlePageKey(bool down, bool extend)
{
    const int screen = qMax(1, int(SendScintilla(SCI_LINESONSCREEN)));
    int page = (iOptions & eoHalfPageScroll) ? qMax(1, screen / 2) : screen;
    if ((iOptions & eoScrollByOneLess) && page > 1)
        --page;
    const int delta = down ? page : -page;
    const int caret = int(SendScintilla(SCI_GETCURRENTPOS));
    const int line0 = int(SendScintilla(SCI_LINEFROMPOSITION, caret));
    const int column = int(SendScintilla(SCI_GETCOLUMN, caret));
    const int target = qBound(0, line0 + delta, int(SendScintilla(SCI_GETLINECOUNT)) - 1);
    const int pos = int(SendScintilla(SCI_FINDCOLUMN, target, column));
    SendScintilla(SCI_LINESCROLL, 0, delta);
    if (extend)
        SendScintilla(SCI_SETSEL, SendScintilla(SCI_GETANCHOR), pos);
    else
        SendScintilla(SCI_GOTOPOS, pos);
    return true;
}

// Tab moves below the next word start of the previous non-blank line.
bool TMemoCode::handleSmartTab()
{
    const TBufferCoord caret = CaretXY();
    QString above;
    for (int line = caret.Line - 1; line >= 1 && above.trimmed().isEmpty(); --line)
        above = LineText(line);
    const int caretPos = int(SendScintilla(SCI_GETCURRENTPOS));
    const int column = int(SendScintilla(SCI_GETCOLUMN, caretPos));
    const QString expanded = QString(above).replace(u'\t', QString(tabWidth(), u' '));
    int target = column;
    while (target < expanded.size() && !expanded[target].isSpace())
        ++target;
    while (target < expanded.size() && expanded[target].isSpace())
        ++target;
    if (target >= expanded.size() || target <= column)
        return false;
    const QByteArray fill(target - column, ' ');
    SendScintilla(SCI_REPLACESEL, fill.constData());
    return true;
}

// Backspace in the leading blanks goes back to the indentation of the nearest
// line above that is indented less.
bool TMemoCode::handleSmartTabDelete()
{
    const int caretPos = int(SendScintilla(SCI_GETCURRENTPOS));
    const int line0 = int(SendScintilla(SCI_LINEFROMPOSITION, caretPos));
    const int column = int(SendScintilla(SCI_GETCOLUMN, caretPos));
    if (column == 0 || CaretX() - 1 > LineText(line0 + 1).size() ||
        !LineText(line0 + 1).left(CaretX() - 1).trimmed().isEmpty())
        return false;
    int target = 0;
    for (int above = line0 - 1; above >= 0; --above) {
        const int indent = indentation(above);
        if (!LineText(above + 1).trimmed().isEmpty() && indent < column) {
            target = indent;
            break;
        }
    }
    const int start = int(SendScintilla(SCI_FINDCOLUMN, line0, target));
    SendScintilla(SCI_SETSEL, start, caretPos);
    SendScintilla(SCI_REPLACESEL, "");
    return true;
}

// A selection inside one line: Tab/Shift+Tab indent or unindent that line when
// TabIndent is on; otherwise Tab replaces the selection as in any text field.
bool TMemoCode::handleSingleLineIndent(bool unindent)
{
    const TBufferCoord begin = BlockBegin();
    const TBufferCoord end = BlockEnd();
    const bool oneLine = begin.Line == end.Line;
    if (!(iOptions & eoTabIndent)) {
        if (unindent)
            return false;
        // The component's own Tab would indent the line instead.
        SendScintilla(SCI_REPLACESEL, "");
        const int column = int(SendScintilla(SCI_GETCOLUMN, SendScintilla(SCI_GETCURRENTPOS)));
        const QByteArray tab =
            indentationsUseTabs() ? QByteArray("\t") : QByteArray(tabWidth() - column % tabWidth(), ' ');
        SendScintilla(SCI_REPLACESEL, tab.constData());
        return true;
    }
    if (!oneLine)
        return false;
    unindent ? QsciScintilla::unindent(begin.Line - 1) : QsciScintilla::indent(begin.Line - 1);
    return true;
}

void TMemoCode::pressWithOptions(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const int pos = int(SendScintilla(SCI_POSITIONFROMPOINT, at.x(), at.y()));
    const int selStart = int(SendScintilla(SCI_GETSELECTIONSTART));
    const int selEnd = int(SendScintilla(SCI_GETSELECTIONEND));
    const bool inSelection = selStart != selEnd && pos >= selStart && pos < selEnd;
    if (event->button() == Qt::RightButton && (iOptions & eoRightMouseMovesCursor) && !inSelection)
        SendScintilla(SCI_GOTOPOS, pos);
    if (event->button() == Qt::LeftButton && inSelection && !(iOptions & eoDragDropEditing))
        SendScintilla(SCI_SETEMPTYSELECTION, pos);
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::AltModifier)) {
        altColumnMove(event);
        return;
    }
    QsciScintilla::mousePressEvent(event);
}

// The component makes rectangles with Ctrl held; with the option Alt does it,
// without the option Alt is ignored.
bool TMemoCode::altColumnMove(QMouseEvent *event)
{
    if (!(event->modifiers() & Qt::AltModifier))
        return false;
    auto mods = event->modifiers() & ~Qt::AltModifier;
    if (iOptions & eoAltSetsColumnMode)
        mods |= Qt::ControlModifier;
    QMouseEvent changed(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                        event->button(), event->buttons(), mods);
    if (event->type() == QEvent::MouseButtonPress)
        QsciScintilla::mousePressEvent(&changed);
    else
        QsciScintilla::mouseMoveEvent(&changed);
    return true;
}

// The slider reports its new place before the text scrolls there: the hint names the line that will be on top.
void TMemoCode::showScrollHint(int sliderValue)
{
    if (!(iOptions & eoShowScrollHint))
        return;
    const QPoint at = (iOptions & eoScrollHintFollows)
                          ? QCursor::pos()
                          : verticalScrollBar()->mapToGlobal(QPoint(-60, verticalScrollBar()->height() / 2));
    QToolTip::showText(at, QStringLiteral("Zeile: %1").arg(RowToLine(sliderValue + 1)), this);
}

void TMemoCode::trimLineEnd(int line0)
{
    iEditedLine = 0;
    if (isReadOnly() || line0 >= int(SendScintilla(SCI_GETLINECOUNT)))
        return;
    const QByteArray text = lineBytes(line0);
    int keep = int(text.size());
    while (keep > 0 && (text[keep - 1] == ' ' || text[keep - 1] == '\t'))
        --keep;
    if (keep == text.size())
        return;
    const int start = int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    SendScintilla(SCI_SETTARGETSTART, start + keep);
    SendScintilla(SCI_SETTARGETEND, start + int(text.size()));
    SendScintilla(SCI_REPLACETARGET, 0ul, "");
    iEditedLine = 0;
}

void TMemoCode::TrimTrailingSpacesForSave()
{
    if (!(iOptions & eoTrimTrailingSpaces))
        return;
    // Saving is allowed while a run keeps the editor read-only.
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    beginUndoAction();
    beginChangeBatch();
    for (int line0 = 0; line0 < LineCount(); ++line0)
        trimLineEnd(line0);
    endChangeBatch();
    endUndoAction();
    setReadOnly(readOnly);
}
