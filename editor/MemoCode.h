#pragma once
// The source editor: a thin layer over QsciScintilla that offers what the IDE
// window, the debug gutter, search and replace and the completion pop-ups need:
// 1-based buffer coordinates in UTF-16 units, a self-painted gutter, per-line
// special colours, plugin hooks for painting and for inserted/deleted lines,
// bookmarks, the behaviour option set, and a search-and-replace operation.
#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

class TSynEditPlugin;
class TSynGeneralSyn;
class QPainter;

// A position in the text: column and line, both counted from 1.
struct TBufferCoord
{
    int Char = 1;
    int Line = 1;
    bool operator==(const TBufferCoord &) const = default;
};

// The editor's behaviour options; the bit numbers are those of the options dialog.
enum TSynEditorOption : quint32 {
    eoAltSetsColumnMode = 1u << 0,
    eoAutoIndent = 1u << 1,
    eoAutoSizeMaxScrollWidth = 1u << 2,
    eoDisableScrollArrows = 1u << 3,
    eoDragDropEditing = 1u << 4,
    eoDropFiles = 1u << 5,
    eoEnhanceHomeKey = 1u << 6,
    eoEnhanceEndKey = 1u << 7,
    eoGroupUndo = 1u << 8,
    eoHalfPageScroll = 1u << 9,
    eoHideShowScrollbars = 1u << 10,
    eoKeepCaretX = 1u << 11,
    eoNoCaret = 1u << 12,
    eoNoSelection = 1u << 13,
    eoRightMouseMovesCursor = 1u << 14,
    eoScrollByOneLess = 1u << 15,
    eoScrollHintFollows = 1u << 16,
    eoScrollPastEof = 1u << 17,
    eoScrollPastEol = 1u << 18,
    eoShowScrollHint = 1u << 19,
    eoShowSpecialChars = 1u << 20,
    eoSmartTabDelete = 1u << 21,
    eoSmartTabs = 1u << 22,
    eoSpecialLineDefaultFg = 1u << 23,
    eoTabIndent = 1u << 24,
    eoTabsToSpaces = 1u << 25,
    eoTrimTrailingSpaces = 1u << 26,
};
Q_DECLARE_FLAGS(TSynEditorOptions, TSynEditorOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSynEditorOptions)

constexpr int SynEditorOptionCount = 27;
// The set every editor starts with.
constexpr TSynEditorOptions SynEditorDefaultOptions = TSynEditorOptions::fromInt(0x070C81B7);

enum TSynSearchOption : quint32 {
    ssoMatchCase = 1u << 0,
    ssoWholeWord = 1u << 1,
    ssoBackwards = 1u << 2,
    ssoEntireScope = 1u << 3,
    ssoSelectedOnly = 1u << 4,
    ssoReplace = 1u << 5,
    ssoReplaceAll = 1u << 6,
    ssoPrompt = 1u << 7,
};
Q_DECLARE_FLAGS(TSynSearchOptions, TSynSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSynSearchOptions)

enum class TSynSearchEngine { Plain, Regex };
enum class TSynReplaceAction { raCancel, raSkip, raReplace, raReplaceAll };

// One mark of the gutter; only bookmarks exist in this editor.
struct TSynEditMark
{
    int Line = 0;
    int BookmarkNumber = -1;
    bool IsBookmark = true;
};

class TMemoCode : public QsciScintilla
{
    Q_OBJECT
public:
    using TSpecialLineColorsEvent = std::function<void(int line, bool &special, QColor &fg, QColor &bg)>;
    using TGutterClickEvent = std::function<void(Qt::MouseButton button, int x, int y, int line)>;
    using TDropFilesEvent = std::function<void(const QStringList &files)>;
    using TReplaceTextEvent =
        std::function<TSynReplaceAction(const QString &search, const QString &replace, int line, int column)>;
    using TKeyEvent = std::function<void(QKeyEvent *event)>;
    using TMouseEvent = std::function<void(QMouseEvent *event)>;
    using TWheelEvent = std::function<bool(QWheelEvent *event)>; // true = handled
    using TNotifyEvent = std::function<void()>;

    explicit TMemoCode(QWidget *parent = nullptr);
    ~TMemoCode() override;

    // Text as lines (0-based list). Loading and clearing do not reach the
    // lines-inserted/deleted hooks, empty the undo buffer and keep NUL characters.
    QStringList Lines() const;
    void setLines(const QStringList &lines);
    void ClearAll();
    int LineCount() const;
    // Whether the text may differ from the one at the last save point; false
    // only when it is that text. Loading a text removes the save point.
    bool Modified() const;
    void SetSavePoint();
    QString LineText(int line) const; // 1-based; empty outside the text

    // Caret and selection in buffer coordinates.
    TBufferCoord CaretXY() const;
    int CaretX() const { return CaretXY().Char; }
    int CaretY() const { return CaretXY().Line; }
    void setCaretXY(const TBufferCoord &pos);
    bool SelAvail() const;
    TBufferCoord BlockBegin() const;
    TBufferCoord BlockEnd() const;
    void setSelection(const TBufferCoord &begin, const TBufferCoord &end);
    QString SelText() const;
    QString WordAt(const TBufferCoord &pos) const;

    // Geometry: rows are display rows counted from 1.
    int LineHeight() const;
    int TopLine() const;
    int RowToLine(int row) const;
    int LineToRow(int line) const;
    int RowAtY(int y) const;
    QPoint BufferToPixels(const TBufferCoord &pos) const; // widget coordinates, top-left
    int GutterWidth() const { return iGutterWidth; }

    void Invalidate();
    void InvalidateLine(int line);
    void InvalidateGutterLine(int line);

    // Fonts: the text font is the highlighter's; the gutter has its own.
    QFont codeFont() const;
    void setCodeFont(const QFont &font);
    QFont gutterFont() const { return iGutterFont; }
    void setGutterFont(const QFont &font);
    QColor gutterFontColor() const { return iGutterFontColor; }
    void setGutterFontColor(const QColor &color);
    QColor activeLineColor() const { return iActiveLineColor; }
    void setActiveLineColor(const QColor &color);
    TSynGeneralSyn *Highlighter() const { return iHighlighter; }

    // Bookmarks 0..9 (Ctrl+Shift+digit toggles, Ctrl+digit jumps).
    void setBookmark(int number, int line);
    void clearBookmark(int number);
    int bookmarkLine(int number) const; // 0 = not set
    bool hasBookmarkOn(int line) const;
    QList<TSynEditMark> Marks() const;
    int BookmarkLeftMargin() const { return 2; }
    int BookmarkXOffset() const { return 10; }

    // Behaviour options.
    TSynEditorOptions Options() const { return iOptions; }
    void setOptions(TSynEditorOptions options);
    int TabWidth() const { return tabWidth(); }
    // With TrimTrailingSpaces on, removes the blanks at the end of every line
    // (one undo step), so that what is saved holds none; otherwise does nothing.
    void TrimTrailingSpacesForSave();

    // Search and replace with the current engine; returns the number of
    // occurrences found (and replaced, when replacing); the last one is selected.
    TSynSearchEngine SearchEngine() const { return iSearchEngine; }
    void setSearchEngine(TSynSearchEngine engine) { iSearchEngine = engine; }
    int SearchReplace(const QString &search, const QString &replace, TSynSearchOptions options);
    // False for a pattern the current engine cannot read (a broken regular expression).
    bool SearchPatternValid(const QString &search) const;

    // Undo and redo of a group of changes are reported as one change.
    void undo() override;
    void redo() override;

    // Frees a key from the component's own bindings so that window shortcuts see it.
    void FreeKey(int key);

    // Plugins (registered by the plugin base class).
    void AddPlugin(TSynEditPlugin *plugin);
    void RemovePlugin(TSynEditPlugin *plugin);

    // Events.
    TSpecialLineColorsEvent OnSpecialLineColors() const { return iOnSpecialLineColors; }
    void setOnSpecialLineColors(TSpecialLineColorsEvent e) { iOnSpecialLineColors = std::move(e); }
    TGutterClickEvent OnGutterClick() const { return iOnGutterClick; }
    void setOnGutterClick(TGutterClickEvent e) { iOnGutterClick = std::move(e); }
    TDropFilesEvent OnDropFiles() const { return iOnDropFiles; }
    void setOnDropFiles(TDropFilesEvent e) { iOnDropFiles = std::move(e); }
    TReplaceTextEvent OnReplaceText() const { return iOnReplaceText; }
    void setOnReplaceText(TReplaceTextEvent e) { iOnReplaceText = std::move(e); }
    TNotifyEvent OnChange() const { return iOnChange; }
    void setOnChange(TNotifyEvent e) { iOnChange = std::move(e); }
    TNotifyEvent OnClick() const { return iOnClick; }
    void setOnClick(TNotifyEvent e) { iOnClick = std::move(e); }
    void setOnKeyDown(TKeyEvent e) { iOnKeyDown = std::move(e); }
    void setOnKeyPress(TKeyEvent e) { iOnKeyPress = std::move(e); }
    void setOnKeyUp(TKeyEvent e) { iOnKeyUp = std::move(e); }
    void setOnMouseDown(TMouseEvent e) { iOnMouseDown = std::move(e); }
    void setOnMouseUp(TMouseEvent e) { iOnMouseUp = std::move(e); }
    void setOnMouseWheel(TWheelEvent e) { iOnMouseWheel = std::move(e); }

signals:
    // A character was typed (after it was inserted).
    void charTyped(QChar ch);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Byte position <-> buffer coordinates.
    int positionOf(const TBufferCoord &pos) const;
    TBufferCoord coordOf(int bytePos) const;
    QByteArray lineBytes(int line0) const;
    QByteArray rawBytes(int start, int end) const;

    void onModified(int pos, int type, const char *text, int length, int linesAdded);
    void editedAt(int pos, bool inserted, bool undoOrRedo, int linesAdded);
    // Many edits made as one (replace-all, trimming, undo, redo) report one change at their end.
    void beginChangeBatch();
    void endChangeBatch();
    void noteBatchEdit(int pos, int type);
    void finishBatchEdit();
    void onCharAdded(int ch);
    void updateGutterWidth();
    void paintGutter(QPainter &painter, const QRect &clip, int firstRow, int lastRow);
    void applySpecialLineColors(int firstLine, int lastLine);
    void applyLineBackground(int line0, const QColor &bg);
    void applyLineForeground(int line0, const QColor &fg);
    int backgroundMarkerFor(const QColor &color);
    int foregroundIndicatorFor(const QColor &color);
    static int digitKeyOf(const QKeyEvent &event);
    void toggleBookmark(int number);
    void gotoBookmark(int number);

    // Option handling (MemoCodeOptions.cpp).
    class TScrollArrowStyle;
    void installScrollArrowStyle();
    void applyOptions();
    bool handleOptionKey(QKeyEvent *event);
    bool handleEndKey();
    bool handleLineKey(bool down, bool extend);
    bool handlePageKey(bool down, bool extend);
    bool handleSmartTab();
    bool handleSmartTabDelete();
    bool handleSingleLineIndent(bool unindent);
    void pressWithOptions(QMouseEvent *event);
    bool altColumnMove(QMouseEvent *event);
    void showScrollHint(int sliderValue);
    void trimLineEnd(int line0);
    void caretLineCheck();
    bool handleFileDrag(QDragMoveEvent *event);

    // Search (MemoCodeSearch.cpp).
    bool findOccurrence(const QString &search, TSynSearchOptions options, bool first, int from = -1);
    bool findMatch(const QString &search, TSynSearchOptions options, bool first, int from);
    bool selectionIsWholeWord() const;
    int beyondEmptyMatch(bool forward) const;
    TSynReplaceAction askReplace(const QString &search, const QString &replace);

    TSynGeneralSyn *iHighlighter = nullptr;
    QList<TSynEditPlugin *> iPlugins;
    bool iLoading = false;
    bool iHasSavePoint = false;
    int iChangeBatchDepth = 0;
    bool iChangedInBatch = false;
    int iEventMaskOutsideBatch = 0;
    struct
    {
        int pos = -1; // -1: none
        int type = 0;
        int lines = 0; // line count before the change
    } iBatchEdit;
    QList<int> iUndoKeys;
    QList<int> iRedoKeys;
    int iGutterWidth = 0;
    int iGutterLeftOffset = 14;
    int iGutterDigitCount = 4;
    QFont iGutterFont;
    QColor iGutterFontColor;
    QColor iActiveLineColor;
    QMap<QRgb, int> iBackgroundMarkers;
    QMap<QRgb, int> iForegroundIndicators;
    int iBookmarkMarkers[10];
    TSynEditorOptions iOptions;
    TSynSearchEngine iSearchEngine = TSynSearchEngine::Plain;
    int iLastCaretLine = 0;
    int iEditedLine = 0; // 1-based line of the last edit; trimmed when the caret leaves it
    bool iMousePressedInText = false;

    TSpecialLineColorsEvent iOnSpecialLineColors;
    TGutterClickEvent iOnGutterClick;
    TDropFilesEvent iOnDropFiles;
    TReplaceTextEvent iOnReplaceText;
    TNotifyEvent iOnChange;
    TNotifyEvent iOnClick;
    TKeyEvent iOnKeyDown;
    TKeyEvent iOnKeyPress;
    TKeyEvent iOnKeyUp;
    TMouseEvent iOnMouseDown;
    TMouseEvent iOnMouseUp;
    TWheelEvent iOnMouseWheel;

    friend class TSynEditPlugin;
};
