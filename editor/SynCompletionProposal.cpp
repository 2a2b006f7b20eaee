#include "editor/SynCompletionProposal.h"

#include "base/uCommaText.h"
#include "editor/MemoCode.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

namespace {
const QString BoldOn = QStringLiteral("\\style{+B}");
const QString BoldOff = QStringLiteral("\\style{-B}");
constexpr int MaxListRows = 10;
constexpr int Padding = 3;

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// Keys that move the caret away from the word being completed.
bool isCaretJump(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
}
} // namespace

QList<TFormattedRun> FormattedRuns(const QString &formatted)
{
    QList<TFormattedRun> runs;
    bool bold = false;
    int at = 0;
    while (at < formatted.size()) {
        const int on = formatted.indexOf(BoldOn, at);
        const int off = formatted.indexOf(BoldOff, at);
        int next = on < 0 ? off : (off < 0 ? on : qMin(on, off));
        if (next < 0)
            next = int(formatted.size());
        if (next > at)
            runs.append({formatted.mid(at, next - at), bold});
        if (next < formatted.size())
            bold = next == on;
        at = next + int(BoldOn.size());
    }
    return runs;
}

// A frameless window showing lines of formatted text, one of which may be selected; a scroll bar
// shows that more lines follow than fit.
class TFormattedPopup : public QWidget
{
public:
    TFormattedPopup() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), scrollBar(new QScrollBar(this))
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        scrollBar->setFocusPolicy(Qt::NoFocus);
        scrollBar->hide();
        QObject::connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
            top = value;
            QWidget::update();
        });
    }

    QStringList lines;
    int selected = -1; // -1: nothing to select (hint)
    int top = 0;       // first shown line
    int fixedWidth = 0;
    QColor background = Qt::white;
    std::function<void()> onDoubleClick;
    QScrollBar *scrollBar;

    int lineHeight() const { return QFontMetrics(font()).height() + 2; }
    int rows() const { return selected < 0 ? int(lines.size()) : qMin(int(lines.size()), MaxListRows); }
    bool scrolls() const { return rows() < lines.size(); }
    int scrollBarWidth() const { return scrolls() ? scrollBar->sizeHint().width() : 0; }

    int textWidth(const QString &formatted) const
    {
        int width = 0;
        for (const TFormattedRun &run : FormattedRuns(formatted))
            width += QFontMetrics(runFont(run)).horizontalAdvance(run.text);
        return width;
    }

    QFont runFont(const TFormattedRun &run) const
    {
        QFont f = font();
        f.setBold(run.bold);
        return f;
    }

    void update(const QStringList &newLines, int newSelected)
    {
        lines = newLines;
        selected = newSelected;
        if (selected >= 0) {
            top = qBound(qMax(0, selected - MaxListRows + 1), top, selected);
        } else {
            top = 0;
        }
        int width = fixedWidth;
        if (width <= 0)
            for (const QString &line : lines)
                width = qMax(width, qMin(textWidth(line) + 2 * Padding + 2, 480) + scrollBarWidth());
        resize(width, rows() * lineHeight() + 2);
        updateScrollBar();
        QWidget::update();
    }

protected:
    void updateScrollBar()
    {
        scrollBar->setVisible(scrolls());
        if (!scrolls())
            return;
        const QSignalBlocker quiet(scrollBar);
        scrollBar->setGeometry(width() - 1 - scrollBarWidth(), 1, scrollBarWidth(), height() - 2);
        scrollBar->setRange(0, int(lines.size()) - rows());
        scrollBar->setPageStep(rows());
        scrollBar->setValue(top);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), background);
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const int lh = lineHeight();
        for (int row = 0; row < rows() && top + row < lines.size(); ++row) {
            const QRect box(1, 1 + row * lh, width() - 2 - scrollBarWidth(), lh);
            const bool isSelected = top + row == selected;
            if (isSelected)
                p.fillRect(box, palette().color(QPalette::Highlight));
            p.setPen(palette().color(isSelected ? QPalette::HighlightedText : QPalette::ToolTipText));
            int x = box.left() + Padding;
            for (const TFormattedRun &run : FormattedRuns(lines[top + row])) {
                p.setFont(runFont(run));
                p.drawText(QRect(x, box.top(), box.right() - x, lh), Qt::AlignLeft | Qt::AlignVCenter, run.text);
                x += QFontMetrics(p.font()).horizontalAdvance(run.text);
            }
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (selected < 0)
            return;
        const int row = top + int(event->position().y() - 1) / lineHeight();
        if (row >= 0 && row < lines.size())
            update(lines, row);
    }

    void mouseDoubleClickEvent(QMouseEvent *) override
    {
        if (selected >= 0 && onDoubleClick)
            onDoubleClick();
    }

    void wheelEvent(QWheelEvent *event) override
    {
        if (scrolls())
            QCoreApplication::sendEvent(scrollBar, event);
    }
};

TSynCompletionProposal::TSynCompletionProposal(TSynCompletionType kind, TMemoCode *editor)
    : QObject(editor), iKind(kind), iEditor(editor), iPopup(new TFormattedPopup)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    iPopup->setFont(font);
    iPopup->onDoubleClick = [this] { Complete(); };
    iTimer.setSingleShot(true);
    iTimer.setTimerType(Qt::PreciseTimer);
    connect(&iTimer, &QTimer::timeout, this, &TSynCompletionProposal::Execute);
    connect(editor, &TMemoCode::charTyped, this, &TSynCompletionProposal::onCharTyped);
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char *, int, int, int, int, int, int, int) { onTextModified(type); });
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

TSynCompletionProposal::~TSynCompletionProposal() { delete iPopup; }

void TSynCompletionProposal::setShortCut(const QKeySequence &keys) { iShortCut = keys; }

void TSynCompletionProposal::setFont(const QFont &font) { iPopup->setFont(font); }
void TSynCompletionProposal::setWidth(int pixels) { iPopup->fixedWidth = pixels; }
void TSynCompletionProposal::setBackground(const QColor &color) { iPopup->background = color; }
bool TSynCompletionProposal::Active() const { return iPopup->isVisible(); }
QStringList TSynCompletionProposal::DisplayedLines() const { return Active() ? iPopup->lines : QStringList(); }
int TSynCompletionProposal::SelectedRow() const { return iPopup->selected; }
QWidget *TSynCompletionProposal::PopupWindow() const { return iPopup; }

void TSynCompletionProposal::CancelCompletion()
{
    iTimer.stop();
    iRefreshPending = false;
    iPopup->hide();
}

// The identifier characters left of the caret, and the byte position where they start; none when
// the caret stands past the end of its line.
QString TSynCompletionProposal::wordLeftOfCaret(int *startPos) const
{
    const TBufferCoord caret = iEditor->CaretXY();
    const QString text = iEditor->LineText(caret.Line);
    const QString line = caret.Char - 1 > text.size() ? QString() : text.left(caret.Char - 1);
    int start = int(line.size());
    while (start > 0 && isWordChar(line[start - 1]))
        --start;
    if (startPos)
        *startPos = iEditor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS) - int(line.mid(start).toUtf8().size());
    return line.mid(start);
}

// Screen point below the line of a byte position, at its left edge.
QPoint TSynCompletionProposal::belowLineAt(int bytePos) const
{
    const QPoint inViewport(int(iEditor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, bytePos)),
                            int(iEditor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, bytePos)));
    return iEditor->viewport()->mapToGlobal(inViewport + QPoint(0, iEditor->LineHeight()));
}

void TSynCompletionProposal::Execute()
{
    iTimer.stop();
    if (iKind == TSynCompletionType::ctCode && iEditor->isReadOnly())
        return;
    int start = 0;
    const QString input = wordLeftOfCaret(&start);
    // The list stands under the word it completes, the hint under the caret unless the event moves it.
    const QPoint at = belowLineAt(iKind == TSynCompletionType::ctCode
                                      ? start
                                      : int(iEditor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
    int x = at.x(), y = at.y();
    bool canExecute = true;
    if (iOnExecute)
        iOnExecute(iKind, this, input, x, y, canExecute);
    if (!canExecute) {
        CancelCompletion();
        return;
    }
    iStartPos = start;
    iAnchor = QPoint(x, y);
    iRefreshPending = false;
    if (iKind == TSynCompletionType::ctCode)
        refreshList();
    else
        refreshHint();
}

// Shows the entries whose insert text starts with the typed prefix (any case).
void TSynCompletionProposal::refreshList()
{
    const int caret = int(iEditor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const QString prefix =
        caret < iStartPos ? QString() : QString::fromUtf8(iEditor->bytes(iStartPos, caret).left(caret - iStartPos));
    if (caret < iStartPos || !std::all_of(prefix.begin(), prefix.end(), isWordChar)) {
        CancelCompletion();
        return;
    }
    QStringList lines;
    iShownItems.clear();
    for (int i = 0; i < iItemList.size(); ++i) {
        const QString insert = i < iInsertList.size() ? iInsertList[i] : iItemList[i];
        if (insert.startsWith(prefix, Qt::CaseInsensitive)) {
            iShownItems.append(i);
            lines.append(iItemList[i]);
        }
    }
    if (lines.isEmpty()) {
        CancelCompletion();
        return;
    }
    iPopup->top = 0;
    iPopup->update(lines, 0); // the first match, shown at the top
    place();
}

// One line per entry: its elements separated by blanks, the current one bold.
void TSynCompletionProposal::refreshHint()
{
    QStringList lines;
    for (const QString &entry : std::as_const(iItemList)) {
        const QStringList elements = ReadCommaText(entry);
        QStringList shown;
        for (int i = 0; i < elements.size(); ++i)
            shown.append(i == iCurrentIndex ? BoldOn + elements[i] + BoldOff : elements[i]);
        lines.append(shown.join(u' '));
    }
    if (lines.isEmpty()) {
        CancelCompletion();
        return;
    }
    iPopup->update(lines, -1);
    place();
}

// At the anchor, kept inside the screen: moved left at its right edge, and above the line at its bottom.
void TSynCompletionProposal::place()
{
    const QScreen *screen = QGuiApplication::screenAt(iAnchor);
    const QRect area = (screen ? screen : iEditor->screen())->availableGeometry();
    const QSize size = iPopup->size();
    QPoint at = iAnchor;
    at.setX(qMax(area.left(), qMin(at.x(), area.right() + 1 - size.width())));
    if (at.y() + size.height() > area.bottom() + 1)
        at.setY(at.y() - iEditor->LineHeight() - size.height());
    iPopup->move(at);
    iPopup->show();
}

void TSynCompletionProposal::Complete()
{
    const int row = iPopup->selected;
    if (!Active() || row < 0 || row >= iShownItems.size())
        return;
    const int item = iShownItems[row];
    const QString insert = item < iInsertList.size() ? iInsertList[item] : iItemList[item];
    const int caret = int(iEditor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    CancelCompletion();
    iEditor->SendScintilla(QsciScintillaBase::SCI_SETSEL, iStartPos, caret);
    iEditor->replaceSelectedText(insert);
}

// After an edit: the list refilters, the hint asks again (the argument under the caret may have changed).
void TSynCompletionProposal::refresh()
{
    iRefreshPending = false;
    if (iKind == TSynCompletionType::ctCode)
        refreshList();
    else
        Execute();
}

// The component reports an insertion before it moves the caret past the new text: a typed character
// refreshes once it is placed (charTyped), anything else inserted when the event loop is next free.
// After a deletion the caret is already in place.
void TSynCompletionProposal::onTextModified(int type)
{
    if (!Active())
        return;
    if (type & QsciScintillaBase::SC_MOD_DELETETEXT) {
        refresh();
    } else if (type & QsciScintillaBase::SC_MOD_INSERTTEXT && !iRefreshPending) {
        iRefreshPending = true;
        QTimer::singleShot(0, this, [this] {
            if (iRefreshPending)
                refresh();
        });
    }
}

void TSynCompletionProposal::onCharTyped(QChar ch)
{
    if (iRefreshPending)
        refresh();
    if (!iTimerEnabled)
        return;
    if (iTriggerChars.contains(ch))
        iTimer.start();
    else
        iTimer.stop();
}

bool TSynCompletionProposal::isShortCut(const QKeyEvent *event) const
{
    return !iShortCut.isEmpty() && QKeySequence(event->keyCombination()) == iShortCut;
}

bool TSynCompletionProposal::handleListKey(int key)
{
    const int count = int(iPopup->lines.size());
    int row = iPopup->selected;
    switch (key) {
    case Qt::Key_Up:
        row = qMax(0, row - 1);
        break;
    case Qt::Key_Down:
        row = qMin(count - 1, row + 1);
        break;
    case Qt::Key_PageUp:
        row = qMax(0, row - MaxListRows);
        break;
    case Qt::Key_PageDown:
        row = qMin(count - 1, row + MaxListRows);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        Complete();
        return true;
    default:
        return false;
    }
    iPopup->update(iPopup->lines, row);
    return true;
}

// The shortcut opens the pop-up. While a pop-up is open: Esc closes it, the list takes its navigation keys and
// completes on an end-of-token character; a click or leaving the editor closes the list.
bool TSynCompletionProposal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && isShortCut(static_cast<QKeyEvent *>(event))) {
        Execute();
        return true;
    }
    if (!Active())
        return QObject::eventFilter(watched, event);
    const bool isList = iKind == TSynCompletionType::ctCode;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            CancelCompletion();
            return true;
        }
        if (!isList)
            break;
        if (key->modifiers() == Qt::NoModifier && handleListKey(key->key()))
            return true;
        if (key->text().size() == 1 && iEndOfTokenChr.contains(key->text()))
            Complete();
        else if (isCaretJump(key->key()))
            CancelCompletion();
        break;
    }
    case QEvent::KeyRelease:
        if (!isList && !static_cast<QKeyEvent *>(event)->text().size())
            Execute(); // the caret moved: the argument under it may have changed
        break;
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
        if (isList)
            CancelCompletion();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
