#include "editor/MemoCode.h"

#include "editor/SynEditPlugin.h"
#include "editor/SynGeneralSyn.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QUrl>

namespace {
constexpr int FirstBackgroundMarker = 10;
constexpr int LastBackgroundMarker = 24;

// Line-editing bindings of the component that our window needs for itself
// (Ctrl+D, Ctrl+L, Ctrl+plus, ...) or that the editor does not offer.
const QsciCommand::Command ForeignCommands[] = {
    QsciCommand::LineCut,
    QsciCommand::LineDelete,
    QsciCommand::LineCopy,
    QsciCommand::LineTranspose,
    QsciCommand::SelectionDuplicate,
    QsciCommand::LineDuplicate,
    QsciCommand::SelectionLowerCase,
    QsciCommand::SelectionUpperCase,
    QsciCommand::ZoomIn,
    QsciCommand::ZoomOut,
    QsciCommand::ParaDown,
    QsciCommand::ParaUp,
};

// Sizes are given in pixels of a 96 dpi screen; the component needs points.
QFont pixelFont(const QString &family, int pixels)
{
    QFont f(family);
    f.setPointSizeF(pixels * 72.0 / 96.0);
    return f;
}
} // namespace

TMemoCode::TMemoCode(QWidget *parent)
    : QsciScintilla(parent), iGutterFont(pixelFont(QStringLiteral("Courier New"), 11)), iGutterFontColor(128, 128, 255),
      iActiveLineColor(QToolTip::palette().color(QPalette::ToolTipBase))
{
    setUtf8(true);
    iHighlighter = new TSynGeneralSyn(this);
    iHighlighter->setTextFont(pixelFont(QStringLiteral("Courier New"), 13));
    setLexer(iHighlighter);
    setPaper(Qt::white);
    setTabWidth(3);
    setCaretLineVisible(false);
    setEolMode(EolUnix);
    setWrapMode(WrapNone);

    setMargins(1);
    setMarginType(0, SymbolMargin);
    setMarginMarkerMask(0, 0);
    for (int i = 0; i < 10; ++i) {
        markerDefine(Invisible, i);
        iBookmarkMarkers[i] = -1;
    }
    for (QsciCommand *cmd : standardCommands()->commands()) {
        for (QsciCommand::Command foreign : ForeignCommands)
            if (cmd->command() == foreign) {
                cmd->setKey(0);
                cmd->setAlternateKey(0);
            }
        // Undo and redo keys go through undo() and redo(), which report a group as one change.
        if (cmd->command() == QsciCommand::Undo || cmd->command() == QsciCommand::Redo) {
            QList<int> &keys = cmd->command() == QsciCommand::Undo ? iUndoKeys : iRedoKeys;
            keys = {cmd->key(), cmd->alternateKey()};
            cmd->setKey(0);
            cmd->setAlternateKey(0);
        }
    }

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int pos, int type, const char *text, int len, int added, int, int, int, int, int) {
                onModified(pos, type, text, len, added);
            });
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &TMemoCode::onCharAdded);
    connect(this, &QsciScintilla::linesChanged, this, &TMemoCode::updateGutterWidth);
    connect(this, &QsciScintilla::cursorPositionChanged, this, &TMemoCode::caretLineCheck);
    connect(this, &QsciScintilla::selectionChanged, this, [this] {
        if (iOptions & eoNoSelection && SelAvail())
            SendScintilla(SCI_SETEMPTYSELECTION, SendScintilla(SCI_GETCURRENTPOS));
    });
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, &TMemoCode::showScrollHint);

    updateGutterWidth();
    installScrollArrowStyle();
    setOptions(SynEditorDefaultOptions);
}

TMemoCode::~TMemoCode() = default;

// ---------------------------------------------------------------- text

QByteArray TMemoCode::lineBytes(int line0) const
{
    const int start = int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    const int end = int(SendScintilla(SCI_GETLINEENDPOSITION, line0));
    return end > start ? rawBytes(start, end) : QByteArray();
}

// The bytes of [start, end); the component's own accessor appends a terminator.
QByteArray TMemoCode::rawBytes(int start, int end) const
{
    return end > start ? bytes(start, end).left(end - start) : QByteArray();
}

QStringList TMemoCode::Lines() const
{
    const int length = int(SendScintilla(SCI_GETTEXTLENGTH));
    if (length == 0)
        return {};
    QByteArray raw(length + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), raw.data());
    raw.truncate(length);
    const QString text = QString::fromUtf8(raw);
    QStringList lines;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

void TMemoCode::setLines(const QStringList &lines)
{
    const bool wasReadOnly = isReadOnly();
    iLoading = true;
    setReadOnly(false);
    SendScintilla(SCI_CLEARALL);
    const QByteArray utf8 = lines.join(u'\n').toUtf8();
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0);
    setReadOnly(wasReadOnly);
    iLoading = false;
    iHasSavePoint = false;
    iEditedLine = 0;
    iLastCaretLine = 1;
    if (iOptions & eoAutoSizeMaxScrollWidth)
        SendScintilla(SCI_SETSCROLLWIDTH, 1);
    if (iOnChange)
        iOnChange();
}

void TMemoCode::ClearAll() { setLines({}); }

bool TMemoCode::Modified() const { return !iHasSavePoint || SendScintilla(SCI_GETMODIFY); }

void TMemoCode::SetSavePoint()
{
    SendScintilla(SCI_SETSAVEPOINT);
    iHasSavePoint = true;
}

int TMemoCode::LineCount() const
{
    return SendScintilla(SCI_GETTEXTLENGTH) == 0 ? 0 : int(SendScintilla(SCI_GETLINECOUNT));
}

QString TMemoCode::LineText(int line) const
{
    if (line < 1 || line > LineCount())
        return {};
    return QString::fromUtf8(lineBytes(line - 1));
}

// ---------------------------------------------------------------- coordinates

int TMemoCode::positionOf(const TBufferCoord &pos) const
{
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    const int line0 = qBound(0, pos.Line - 1, lines - 1);
    const int start = int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    const QString text = QString::fromUtf8(lineBytes(line0));
    return start + int(text.left(qMax(0, pos.Char - 1)).toUtf8().size());
}

TBufferCoord TMemoCode::coordOf(int bytePos) const
{
    const int line0 = int(SendScintilla(SCI_LINEFROMPOSITION, bytePos));
    const int start = int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    return {int(QString::fromUtf8(rawBytes(start, bytePos)).size()) + 1, line0 + 1};
}

// Past the end of a line (ScrollPastEol) the caret stands in virtual space, which counts as columns too.
TBufferCoord TMemoCode::CaretXY() const
{
    TBufferCoord caret = coordOf(int(SendScintilla(SCI_GETCURRENTPOS)));
    caret.Char += int(SendScintilla(SCI_GETSELECTIONNCARETVIRTUALSPACE, SendScintilla(SCI_GETMAINSELECTION)));
    return caret;
}

void TMemoCode::setCaretXY(const TBufferCoord &pos)
{
    SendScintilla(SCI_GOTOPOS, positionOf(pos));
    SendScintilla(SCI_CHOOSECARETX);
    caretLineCheck();
}

bool TMemoCode::SelAvail() const { return SendScintilla(SCI_GETSELECTIONSTART) != SendScintilla(SCI_GETSELECTIONEND); }

TBufferCoord TMemoCode::BlockBegin() const { return coordOf(int(SendScintilla(SCI_GETSELECTIONSTART))); }
TBufferCoord TMemoCode::BlockEnd() const { return coordOf(int(SendScintilla(SCI_GETSELECTIONEND))); }

void TMemoCode::setSelection(const TBufferCoord &begin, const TBufferCoord &end)
{
    SendScintilla(SCI_SETSEL, positionOf(begin), positionOf(end));
    caretLineCheck();
}

QString TMemoCode::SelText() const
{
    const int start = int(SendScintilla(SCI_GETSELECTIONSTART));
    const int end = int(SendScintilla(SCI_GETSELECTIONEND));
    return QString::fromUtf8(rawBytes(start, end));
}

QString TMemoCode::WordAt(const TBufferCoord &pos) const
{
    const int p = positionOf(pos);
    const int start = int(SendScintilla(SCI_WORDSTARTPOSITION, p, true));
    const int end = int(SendScintilla(SCI_WORDENDPOSITION, p, true));
    return end > start ? QString::fromUtf8(rawBytes(start, end)) : QString();
}

int TMemoCode::LineHeight() const { return int(SendScintilla(SCI_TEXTHEIGHT, 0)); }
int TMemoCode::TopLine() const { return int(SendScintilla(SCI_GETFIRSTVISIBLELINE)) + 1; }
int TMemoCode::RowToLine(int row) const { return int(SendScintilla(SCI_DOCLINEFROMVISIBLE, row - 1)) + 1; }
int TMemoCode::LineToRow(int line) const { return int(SendScintilla(SCI_VISIBLEFROMDOCLINE, line - 1)) + 1; }
int TMemoCode::RowAtY(int y) const { return TopLine() + qMax(0, y) / qMax(1, LineHeight()); }

QPoint TMemoCode::BufferToPixels(const TBufferCoord &pos) const
{
    const int p = positionOf(pos);
    const QPoint inViewport(int(SendScintilla(SCI_POINTXFROMPOSITION, 0, p)),
                            int(SendScintilla(SCI_POINTYFROMPOSITION, 0, p)));
    return viewport()->mapTo(this, inViewport);
}

void TMemoCode::Invalidate() { viewport()->update(); }

void TMemoCode::InvalidateLine(int line)
{
    const int y = (LineToRow(line) - TopLine()) * LineHeight();
    viewport()->update(QRect(0, y, viewport()->width(), LineHeight()));
}

void TMemoCode::InvalidateGutterLine(int line)
{
    const int y = (LineToRow(line) - TopLine()) * LineHeight();
    viewport()->update(QRect(0, y, iGutterWidth, LineHeight()));
}

// ---------------------------------------------------------------- fonts and gutter

QFont TMemoCode::codeFont() const { return iHighlighter->defaultFont(); }

void TMemoCode::setCodeFont(const QFont &font)
{
    iHighlighter->setTextFont(font);
    recolor();
    Invalidate();
}

void TMemoCode::setGutterFont(const QFont &font)
{
    iGutterFont = font;
    updateGutterWidth();
    Invalidate();
}

void TMemoCode::setGutterFontColor(const QColor &color)
{
    iGutterFontColor = color;
    Invalidate();
}

void TMemoCode::setActiveLineColor(const QColor &color)
{
    iActiveLineColor = color;
    Invalidate();
}

// The gutter grows with the number of digits of the last line number.
void TMemoCode::updateGutterWidth()
{
    const int digits = qMax(iGutterDigitCount, int(QString::number(qMax(1, LineCount())).size()));
    const int width = iGutterLeftOffset + digits * QFontMetrics(iGutterFont).horizontalAdvance(u'0') + 3;
    if (width == iGutterWidth)
        return;
    iGutterWidth = width;
    setMarginWidth(0, width);
}

void TMemoCode::paintGutter(QPainter &painter, const QRect &clip, int firstRow, int lastRow)
{
    const QRect gutter(0, 0, iGutterWidth, viewport()->height());
    if (!clip.intersects(gutter))
        return;
    const QColor face = palette().color(QPalette::Button);
    QLinearGradient gradient(0, 0, iGutterWidth, 0);
    gradient.setColorAt(0, face);
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(gutter & clip, gradient);
    painter.setPen(face);
    painter.drawLine(iGutterWidth - 1, clip.top(), iGutterWidth - 1, clip.bottom());

    painter.setFont(iGutterFont);
    const int lh = LineHeight();
    const int lines = qMax(1, LineCount());
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = RowToLine(row);
        if (line > lines)
            break;
        const int y = (row - TopLine()) * lh;
        painter.setPen(iGutterFontColor);
        painter.drawText(QRect(iGutterLeftOffset, y, iGutterWidth - iGutterLeftOffset - 3, lh),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(line));
        if (hasBookmarkOn(line)) {
            const QRect glyph(BookmarkLeftMargin(), y + (lh - 11) / 2, 7, 11);
            painter.fillRect(glyph, QColor(64, 128, 255));
            painter.setPen(QColor(0, 0, 128));
            painter.drawRect(glyph.adjusted(0, 0, -1, -1));
        }
    }
}

// ---------------------------------------------------------------- special line colours

int TMemoCode::backgroundMarkerFor(const QColor &color)
{
    const auto found = iBackgroundMarkers.constFind(color.rgb());
    if (found != iBackgroundMarkers.constEnd())
        return *found;
    const int nr = FirstBackgroundMarker + int(iBackgroundMarkers.size());
    if (nr > LastBackgroundMarker)
        return -1;
    markerDefine(Background, nr);
    setMarkerBackgroundColor(color, nr);
    iBackgroundMarkers.insert(color.rgb(), nr);
    return nr;
}

int TMemoCode::foregroundIndicatorFor(const QColor &color)
{
    const auto found = iForegroundIndicators.constFind(color.rgb());
    if (found != iForegroundIndicators.constEnd())
        return *found;
    const int nr = indicatorDefine(TextColorIndicator, -1);
    if (nr < 0)
        return -1;
    setIndicatorForegroundColor(color, nr);
    iForegroundIndicators.insert(color.rgb(), nr);
    return nr;
}

void TMemoCode::applyLineBackground(int line0, const QColor &bg)
{
    const int wanted = bg.isValid() ? backgroundMarkerFor(bg) : -1;
    const unsigned mask = unsigned(SendScintilla(SCI_MARKERGET, line0));
    for (int nr : std::as_const(iBackgroundMarkers)) {
        const bool has = mask & (1u << nr);
        if (nr == wanted && !has)
            SendScintilla(SCI_MARKERADD, line0, nr);
        else if (nr != wanted && has)
            SendScintilla(SCI_MARKERDELETE, line0, nr);
    }
}

// Text colour is an indicator over the line's text; it is only touched when
// the line's coverage differs from what is wanted, so repaints settle.
void TMemoCode::applyLineForeground(int line0, const QColor &fg)
{
    const int wanted = fg.isValid() ? foregroundIndicatorFor(fg) : -1;
    const int start = int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    const int end = int(SendScintilla(SCI_GETLINEENDPOSITION, line0));
    if (end <= start)
        return;
    for (int ind : std::as_const(iForegroundIndicators)) {
        const bool setAtStart = SendScintilla(SCI_INDICATORVALUEAT, ind, start) != 0;
        const bool uniform = SendScintilla(SCI_INDICATOREND, ind, start) >= end;
        const bool full = setAtStart && uniform;
        const bool empty = !setAtStart && uniform;
        SendScintilla(SCI_SETINDICATORCURRENT, ind);
        if (ind == wanted && !full)
            SendScintilla(SCI_INDICATORFILLRANGE, start, end - start);
        else if (ind != wanted && !empty)
            SendScintilla(SCI_INDICATORCLEARRANGE, start, end - start);
    }
}

// Asks the line-colour event for every visible line; a line that is not
// special but holds the caret gets the active-line colour.
void TMemoCode::applySpecialLineColors(int firstLine, int lastLine)
{
    const int caretLine = CaretY();
    for (int line = firstLine; line <= lastLine; ++line) {
        bool special = false;
        QColor fg, bg;
        if (iOnSpecialLineColors)
            iOnSpecialLineColors(line, special, fg, bg);
        if (!special) {
            fg = QColor();
            bg = line == caretLine ? iActiveLineColor : QColor();
        } else if (iOptions & eoSpecialLineDefaultFg) {
            fg = QColor();
        }
        applyLineBackground(line - 1, bg);
        applyLineForeground(line - 1, fg);
    }
}

void TMemoCode::paintEvent(QPaintEvent *event)
{
    const int lh = qMax(1, LineHeight());
    const int lastRowInDoc = LineToRow(qMax(1, LineCount()));
    const int visibleLast = qMin(lastRowInDoc, TopLine() + viewport()->height() / lh);
    applySpecialLineColors(RowToLine(TopLine()), qMin(RowToLine(visibleLast), qMax(1, LineCount())));

    QsciScintilla::paintEvent(event);

    const QRect clip = event->rect();
    const int firstRow = RowAtY(clip.top());
    const int lastRow = qMin(lastRowInDoc, RowAtY(clip.bottom()));
    QPainter painter(viewport());
    painter.setClipRect(clip);
    paintGutter(painter, clip, firstRow, lastRow);
    const QList<TSynEditPlugin *> plugins = iPlugins;
    for (TSynEditPlugin *plugin : plugins)
        plugin->AfterPaint(painter, clip, firstRow, lastRow);
}

// ---------------------------------------------------------------- edits

// Reports a change to the window and whole inserted or deleted lines to the plugins.
void TMemoCode::onModified(int pos, int type, const char *, int, int linesAdded)
{
    if (iLoading)
        return;
    if (iChangeBatchDepth > 0) {
        if (type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE))
            noteBatchEdit(pos, type);
        return;
    }
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    if (iOnChange)
        iOnChange();
    editedAt(pos, type & SC_MOD_INSERTTEXT, type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO), linesAdded);
}

// The first line that moved is the line after the change's start unless the
// change starts at a line's beginning.
void TMemoCode::editedAt(int pos, bool inserted, bool undoOrRedo, int linesAdded)
{
    const int line0 = int(SendScintilla(SCI_LINEFROMPOSITION, pos));
    // Undo and redo must not be followed by a trimming edit, which would end the redo chain.
    iEditedLine = undoOrRedo ? 0 : line0 + 1;
    if (linesAdded == 0)
        return;
    const int column = pos - int(SendScintilla(SCI_POSITIONFROMLINE, line0));
    const int first = line0 + (column > 0 ? 1 : 0) + 1;
    const int count = qAbs(linesAdded);
    const QList<TSynEditPlugin *> plugins = iPlugins;
    for (TSynEditPlugin *plugin : plugins) {
        if (inserted)
            plugin->LinesInserted(first, count);
        else
            plugin->LinesDeleted(first, count);
    }
}

// The component's accessibility support counts the characters in front of every
// change it reports, so each change costs as much as the text is long. Many
// changes made as one (replace-all, trimming, undo, redo) are therefore followed
// through the notices sent before each change, which it leaves alone; a change's
// lines are counted when the next one begins, and the window hears of all of
// them once, at the end.
void TMemoCode::beginChangeBatch()
{
    if (iChangeBatchDepth++ > 0)
        return;
    iChangedInBatch = false;
    iEventMaskOutsideBatch = int(SendScintilla(SCI_GETMODEVENTMASK));
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
}

void TMemoCode::endChangeBatch()
{
    if (--iChangeBatchDepth > 0)
        return;
    finishBatchEdit();
    SendScintilla(SCI_SETMODEVENTMASK, iEventMaskOutsideBatch);
    if (!iChangedInBatch)
        return;
    updateGutterWidth();
    if (iOnChange)
        iOnChange();
}

void TMemoCode::noteBatchEdit(int pos, int type)
{
    finishBatchEdit();
    iBatchEdit = {pos, type, int(SendScintilla(SCI_GETLINECOUNT))};
    iChangedInBatch = true;
}

void TMemoCode::finishBatchEdit()
{
    if (iBatchEdit.pos < 0)
        return;
    const int linesAdded = int(SendScintilla(SCI_GETLINECOUNT)) - iBatchEdit.lines;
    editedAt(iBatchEdit.pos, iBatchEdit.type & SC_MOD_BEFOREINSERT,
             iBatchEdit.type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO), linesAdded);
    iBatchEdit.pos = -1;
}

void TMemoCode::undo()
{
    beginChangeBatch();
    QsciScintilla::undo();
    endChangeBatch();
}

void TMemoCode::redo()
{
    beginChangeBatch();
    QsciScintilla::redo();
    endChangeBatch();
}

// The caret changed lines: the line it left may need trimming, and the active
// line colour moves. Called after input and caret commands, because the
// component reports caret moves only when it next paints.
void TMemoCode::caretLineCheck()
{
    const int line = CaretY();
    if (line == iLastCaretLine)
        return;
    if (iOptions & eoTrimTrailingSpaces && iLastCaretLine > 0 && iLastCaretLine == iEditedLine)
        trimLineEnd(iLastCaretLine - 1);
    // Without KeepCaretX the column reached on the new line is the one kept.
    if (!(iOptions & eoKeepCaretX))
        SendScintilla(SCI_CHOOSECARETX);
    iLastCaretLine = line;
    viewport()->update();
}

void TMemoCode::onCharAdded(int ch)
{
    if (!(iOptions & eoGroupUndo)) {
        // Closes the undo step of every typed character.
        beginUndoAction();
        endUndoAction();
    }
    emit charTyped(QChar(char16_t(ch)));
}

void TMemoCode::AddPlugin(TSynEditPlugin *plugin)
{
    if (!iPlugins.contains(plugin))
        iPlugins.append(plugin);
}

void TMemoCode::RemovePlugin(TSynEditPlugin *plugin) { iPlugins.removeAll(plugin); }

void TMemoCode::FreeKey(int key)
{
    for (QsciCommand *cmd : standardCommands()->commands()) {
        if (cmd->key() == key)
            cmd->setKey(0);
        if (cmd->alternateKey() == key)
            cmd->setAlternateKey(0);
    }
    iUndoKeys.removeAll(key);
    iRedoKeys.removeAll(key);
}

// ---------------------------------------------------------------- bookmarks

void TMemoCode::setBookmark(int number, int line)
{
    if (number < 0 || number > 9 || line < 1 || line > qMax(1, LineCount()))
        return;
    clearBookmark(number);
    iBookmarkMarkers[number] = markerAdd(line - 1, number);
    InvalidateGutterLine(line);
}

void TMemoCode::clearBookmark(int number)
{
    if (number < 0 || number > 9 || iBookmarkMarkers[number] < 0)
        return;
    markerDeleteHandle(iBookmarkMarkers[number]);
    iBookmarkMarkers[number] = -1;
    Invalidate();
}

int TMemoCode::bookmarkLine(int number) const
{
    if (number < 0 || number > 9 || iBookmarkMarkers[number] < 0)
        return 0;
    return markerLine(iBookmarkMarkers[number]) + 1;
}

bool TMemoCode::hasBookmarkOn(int line) const
{
    for (int i = 0; i < 10; ++i)
        if (bookmarkLine(i) == line)
            return true;
    return false;
}

QList<TSynEditMark> TMemoCode::Marks() const
{
    QList<TSynEditMark> marks;
    for (int i = 0; i < 10; ++i)
        if (const int line = bookmarkLine(i); line > 0)
            marks.append({line, i, true});
    return marks;
}

void TMemoCode::toggleBookmark(int number)
{
    if (bookmarkLine(number) == CaretY())
        clearBookmark(number);
    else
        setBookmark(number, CaretY());
}

void TMemoCode::gotoBookmark(int number)
{
    if (const int line = bookmarkLine(number); line > 0)
        setCaretXY({1, line});
}

// ---------------------------------------------------------------- input events

// The digit of a key of the digit row, or -1. With Shift held the key arrives as the
// layout's shifted character ("!" on US and German keyboards, "§" for 3 on German ones),
// so the key's place is read from its scan code: X11 and evdev number the row 10 ("1")
// to 19 ("0") on every layout.
int TMemoCode::digitKeyOf(const QKeyEvent &event)
{
    if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
        return event.key() - Qt::Key_0;
    const quint32 code = event.nativeScanCode();
    return code >= 10 && code <= 19 ? int(code - 9) % 10 : -1;
}

void TMemoCode::keyPressEvent(QKeyEvent *event)
{
    if (iOnKeyDown)
        iOnKeyDown(event);
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int number = digitKeyOf(*event);
    if (number >= 0 && (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        mods &Qt::ShiftModifier ? toggleBookmark(number) : gotoBookmark(number);
        return;
    }
    const int combined = (event->keyCombination().toCombined()) & ~int(Qt::KeypadModifier);
    if (iUndoKeys.contains(combined))
        undo();
    else if (iRedoKeys.contains(combined))
        redo();
    else if (!handleOptionKey(event))
        QsciScintilla::keyPressEvent(event);
    caretLineCheck();
    if (iOnKeyPress && !event->text().isEmpty())
        iOnKeyPress(event);
}

void TMemoCode::keyReleaseEvent(QKeyEvent *event)
{
    QsciScintilla::keyReleaseEvent(event);
    if (iOnKeyUp)
        iOnKeyUp(event);
}

void TMemoCode::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    iMousePressedInText = at.x() >= iGutterWidth;
    if (!iMousePressedInText) {
        const int line = RowToLine(RowAtY(at.y()));
        if (iOnGutterClick && line <= qMax(1, LineCount()))
            iOnGutterClick(event->button(), at.x(), at.y(), line);
    } else {
        pressWithOptions(event);
    }
    if (iOnMouseDown)
        iOnMouseDown(event);
}

void TMemoCode::mouseMoveEvent(QMouseEvent *event)
{
    if (!altColumnMove(event))
        QsciScintilla::mouseMoveEvent(event);
}

void TMemoCode::mouseReleaseEvent(QMouseEvent *event)
{
    if (iMousePressedInText)
        QsciScintilla::mouseReleaseEvent(event);
    caretLineCheck();
    if (iOnMouseUp)
        iOnMouseUp(event);
    if (iMousePressedInText && event->button() == Qt::LeftButton && iOnClick)
        iOnClick();
    iMousePressedInText = false;
}

void TMemoCode::wheelEvent(QWheelEvent *event)
{
    if (iOnMouseWheel && iOnMouseWheel(event)) {
        event->accept();
        return;
    }
    QsciScintilla::wheelEvent(event);
}

// Files dragged over the editor are offered to the drop event, text is the component's.
bool TMemoCode::handleFileDrag(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return false;
    if (iOptions & eoDropFiles)
        event->acceptProposedAction();
    else
        event->ignore();
    return true;
}

void TMemoCode::dragEnterEvent(QDragEnterEvent *event)
{
    if (!handleFileDrag(event))
        QsciScintilla::dragEnterEvent(event);
}

void TMemoCode::dragMoveEvent(QDragMoveEvent *event)
{
    if (!handleFileDrag(event))
        QsciScintilla::dragMoveEvent(event);
}

void TMemoCode::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        QsciScintilla::dropEvent(event);
        return;
    }
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    event->acceptProposedAction();
    if (iOptions & eoDropFiles && iOnDropFiles && !files.isEmpty())
        iOnDropFiles(files);
}
