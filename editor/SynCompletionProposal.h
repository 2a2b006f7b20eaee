#pragma once
// The editor's two completion pop-ups: a list of entries to insert (code) and
// a hint with the parameters of a call (params). Entries are formatted text:
// "\style{+B}" and "\style{-B}" switch bold on and off. Both pop-ups are small
// frameless windows of our own, because the component's lists cannot show bold.
#include <QColor>
#include <QFont>
#include <QKeySequence>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTimer>
#include <functional>

class TMemoCode;
class QKeyEvent;
class TFormattedPopup;

enum class TSynCompletionType { ctCode, ctParams };

// One run of formatted text.
struct TFormattedRun
{
    QString text;
    bool bold = false;
    bool operator==(const TFormattedRun &) const = default;
};

// Splits formatted text into runs of plain and bold text.
QList<TFormattedRun> FormattedRuns(const QString &formatted);

class TSynCompletionProposal : public QObject
{
    Q_OBJECT
public:
    // The before-open event: may refuse by clearing canExecute, may fill the lists and may move the
    // pop-up's top left corner (x, y: screen pixels, below the caret's line).
    using TExecuteEvent = std::function<void(TSynCompletionType kind, TSynCompletionProposal *sender,
                                             const QString &currentInput, int &x, int &y, bool &canExecute)>;

    TSynCompletionProposal(TSynCompletionType kind, TMemoCode *editor);
    ~TSynCompletionProposal() override;

    TSynCompletionType Kind() const { return iKind; }
    TMemoCode *Editor() const { return iEditor; }
    QStringList &ItemList() { return iItemList; }
    QStringList &InsertList() { return iInsertList; }
    int CurrentIndex() const { return iCurrentIndex; }
    void setCurrentIndex(int index) { iCurrentIndex = index; }

    void setShortCut(const QKeySequence &keys);
    // Typing one of these starts the timer when it is enabled.
    void setTriggerChars(const QString &chars) { iTriggerChars = chars; }
    void setTimerEnabled(bool on) { iTimerEnabled = on; }
    void setTimerInterval(int ms) { iTimer.setInterval(ms); }
    QTimer *TriggerTimer() { return &iTimer; }
    // Typing one of these completes with the selected entry, then inserts it.
    void setEndOfTokenChr(const QString &chars) { iEndOfTokenChr = chars; }
    void setFont(const QFont &font);
    void setWidth(int pixels);
    void setBackground(const QColor &color);
    void setOnExecute(TExecuteEvent e) { iOnExecute = std::move(e); }

    // Asks the before-open event and shows (or refreshes) the pop-up.
    void Execute();
    void CancelCompletion();
    bool Active() const;

    // What the pop-up shows: formatted lines, and for the list the selected row.
    QStringList DisplayedLines() const;
    int SelectedRow() const;
    // The pop-up window itself (for its place on the screen and its scroll bar).
    QWidget *PopupWindow() const;
    // Inserts the entry of the selected row in place of the typed prefix.
    void Complete();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString wordLeftOfCaret(int *startPos) const;
    void refreshList();
    void refreshHint();
    void onTextModified(int type);
    void refresh();
    void onCharTyped(QChar ch);
    bool isShortCut(const QKeyEvent *event) const;
    bool handleListKey(int key);
    void place();
    QPoint belowLineAt(int bytePos) const;

    TSynCompletionType iKind;
    TMemoCode *iEditor;
    TFormattedPopup *iPopup;
    QKeySequence iShortCut;
    QStringList iItemList;
    QStringList iInsertList;
    QList<int> iShownItems; // item index of each shown row (list)
    int iCurrentIndex = 0;
    int iStartPos = 0; // byte position where the completed word starts
    QPoint iAnchor;    // the pop-up's wished top left corner on the screen
    bool iRefreshPending = false;
    QString iTriggerChars;
    bool iTimerEnabled = false;
    QTimer iTimer;
    QString iEndOfTokenChr;
    TExecuteEvent iOnExecute;
};
