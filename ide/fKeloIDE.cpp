#include "ide/fKeloIDE.h"

#include "editor/MemoCode.h"
#include "ide/uActionIcons.h"
#include "ide/uCoupledLists.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uProgramBar.h"
#include "sandbox/uRunTimeline.h"
#include "script/uKeloCode.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

namespace {

// A splitter whose handle is painted with dotted lines in the shadow colour.
class TDottedHandle : public QSplitterHandle
{
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, palette().color(QPalette::Window));
        p.setPen(QPen(palette().color(QPalette::Shadow), 1, Qt::DotLine));
        if (orientation() == Qt::Horizontal) {
            for (int i = 1; i <= r.width() - 2; ++i)
                p.drawLine(r.left() + i, r.top(), r.left() + i, r.bottom());
        } else {
            for (int i = 1; i <= r.height() - 2; ++i)
                p.drawLine(r.left(), r.top() + i, r.right(), r.top() + i);
        }
    }
};

class TDottedSplitter : public QSplitter
{
public:
    TDottedSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
    {
        setHandleWidth(3);
        setChildrenCollapsible(false);
    }

protected:
    QSplitterHandle *createHandle() override { return new TDottedHandle(orientation(), this); }
};

// The speed panel: its designed width, narrower down to a short slider
// between the two end buttons, all three always shown.
class TSpeedPanel : public QWidget
{
public:
    static constexpr int DesignedWidth = 191;
    static constexpr int SmallestSliderWidth = 60;

    explicit TSpeedPanel(QWidget *parent) : QWidget(parent) { setMaximumWidth(DesignedWidth); }
    QSize sizeHint() const override { return {DesignedWidth, QWidget::sizeHint().height()}; }
};

// The speed panel stands in a bar of its own after the tool bar. In a window
// too narrow for both in one row it goes to a row of its own below, instead of
// into the tool bar's overflow; it is shown and hidden with the tool bar.
class TSpeedBarWrap : public QObject
{
public:
    TSpeedBarWrap(QMainWindow *window, QToolBar *tools, QToolBar *speed, QAction *showTools)
        : QObject(window), iWindow(window), iTools(tools), iSpeed(speed)
    {
        window->installEventFilter(this);
        connect(showTools, &QAction::toggled, speed, &QWidget::setVisible);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            wrap(iWindow->width() < iTools->sizeHint().width() + iSpeed->sizeHint().width());
        return QObject::eventFilter(watched, event);
    }

private:
    void wrap(bool below)
    {
        if (below == iBelow)
            return;
        iBelow = below;
        if (below)
            iWindow->insertToolBarBreak(iSpeed);
        else
            iWindow->removeToolBarBreak(iSpeed);
    }

    QMainWindow *iWindow;
    QToolBar *iTools;
    QToolBar *iSpeed;
    bool iBelow = false;
};

// One key press bound to two enabled actions is ambiguous to Qt, which then
// runs neither; here it runs the first enabled action in order of priority.
// On X11 the plus key pressed with Ctrl+Shift is offered both as Ctrl+Shift+=
// and as Ctrl++: it means Ctrl+Shift + the plus key, the font gets smaller.
// F6 pauses a run that can be paused and otherwise moves the focus on.
class TShortcutReferee : public QObject
{
public:
    explicit TShortcutReferee(const QList<QAction *> &byPriority) : QObject(byPriority.first()), iActions(byPriority)
    {
        for (QAction *action : iActions)
            action->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Shortcut || !static_cast<QShortcutEvent *>(event)->isAmbiguous())
            return QObject::eventFilter(watched, event);
        for (QAction *action : iActions)
            if (action->isEnabled()) {
                action->trigger();
                break;
            }
        return true;
    }

private:
    QList<QAction *> iActions;
};

QAction *makeAction(QObject *owner, const QString &caption, const QString &hint, const QList<QKeySequence> &keys = {})
{
    auto *action = new QAction(caption, owner);
    const QString shortHint = hint.section(QLatin1Char('|'), 0, 0);
    const QString longHint = hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1) : hint;
    action->setToolTip(shortHint);
    action->setStatusTip(longHint);
    action->setShortcuts(keys);
    return action;
}

} // namespace

TfrmKeloIDE::TfrmKeloIDE(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("KeloIDE"));
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPixelSize(13);
    setFont(windowFont);
    DlgOpenCode = {QStringLiteral("KeloCode (*.klc);;Alle Dateien (*)"), QStringLiteral("klc"), QStringLiteral("Code")};
    DlgSaveCode = DlgOpenCode;
    createActions();
    createClientArea();
    createTimeline();
    createMenus();
    createToolBars();
    createStatusBar();
    connectEditor();
    createKeyboardAccess();
    // The designed 943 x 576 client area lies below the menu bar.
    resize(943, 576 + menuBar()->sizeHint().height());
}

TfrmKeloIDE::~TfrmKeloIDE()
{
    // Focus and clipboard changes while the child widgets are being deleted
    // must not reach this half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    FormDestroy();
}

// The menus, the tool bar and the context menu of the editor and the breakpoint list.
enum class TfrmKeloIDE::TActionBar { File, Edit, Search, View, Run, Help, Debug, ToolBar, PopupBreaks };

struct TfrmKeloIDE::TActionRow
{
    // Where the action appears: in which bar, in which group (groups are set
    // apart by separators) and at which position within the group.
    struct TPlace
    {
        TActionBar bar;
        int group;
        int order;
    };

    QAction *TfrmKeloIDE::*field = nullptr;
    QString caption{};
    // "short|long": the tooltip before the bar, the status text after it.
    QString hint{};
    QList<QKeySequence> keys{};
    std::optional<TActionIcon> icon{};
    void (TfrmKeloIDE::*handler)() = nullptr;
    // An Edit action acts on the focused text control, which keeps its own keys.
    std::optional<TEditCommand> edit{};
    QList<TPlace> places{};
    bool enabled = true;
    // A check item, ticked at creation.
    bool toggle = false;
};

QList<TfrmKeloIDE::TActionRow> TfrmKeloIDE::ActionTable()
{
    using W = TfrmKeloIDE;
    using I = TActionIcon;
    using B = TActionBar;
    return {
        {.field = &W::AcClose,
         .caption = "Beenden",
         .hint = "Programm beenden",
         .keys = {Qt::CTRL | Qt::Key_Q},
         .icon = I::Close,
         .handler = &W::AcCloseExecute,
         .places = {{B::File, 1, 0}, {B::ToolBar, 0, 0}}},
        {.field = &W::AcNew,
         .caption = "Neu",
         .hint = "Neu",
         .keys = {Qt::CTRL | Qt::Key_N},
         .icon = I::New,
         .handler = &W::AcNewExecute,
         .places = {{B::File, 0, 0}, {B::ToolBar, 1, 0}}},
        {.field = &W::AcLoadCode,
         .caption = "Laden",
         .hint = "Lädt einen Quelltext",
         .keys = {Qt::CTRL | Qt::Key_L},
         .icon = I::Load,
         .handler = &W::AcLoadCodeExecute,
         .places = {{B::File, 0, 1}, {B::ToolBar, 1, 1}}},
        {.field = &W::AcSaveCodeAs,
         .caption = "Speichern unter...",
         .hint = "Speichert den Quelltext unter",
         .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_S},
         .icon = I::SaveAs,
         .handler = &W::AcSaveCodeAsExecute,
         .places = {{B::File, 0, 3}, {B::ToolBar, 1, 3}}},
        {.field = &W::AcSaveCode,
         .caption = "Speichern",
         .hint = "Speichert den Quelltext",
         .keys = {Qt::CTRL | Qt::Key_S},
         .icon = I::Save,
         .handler = &W::AcSaveCodeExecute,
         .places = {{B::File, 0, 2}, {B::ToolBar, 1, 2}},
         .enabled = false},
        {.field = &W::AcHelp,
         .caption = "Hilfe",
         .hint = "Hilfe",
         .keys = {Qt::Key_F1},
         .icon = I::Help,
         .handler = &W::AcHelpExecute,
         .places = {{B::Help, 0, 0}, {B::ToolBar, 6, 0}}},
        {.field = &W::AcAbout,
         .caption = "About...",
         .hint = "About...",
         .icon = I::About,
         .handler = &W::AcAboutExecute,
         .places = {{B::Help, 0, 1}, {B::ToolBar, 6, 1}}},
        // The plus key gives "+" on German keyboards and "=" on others.
        {.field = &W::AcFontPlus,
         .caption = "Schrift +",
         .hint = "vergrößert die Schriftart im Editor",
         .keys = {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal},
         .icon = I::FontPlus,
         .handler = &W::AcFontPlusExecute,
         .places = {{B::View, 0, 0}, {B::ToolBar, 3, 0}}},
        {.field = &W::AcFontMinus,
         .caption = "Schrift -",
         .hint = "verkleinert die Schriftart im Editor",
         .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_Plus, Qt::CTRL | Qt::SHIFT | Qt::Key_Equal,
                  Qt::CTRL | Qt::SHIFT | Qt::Key_Asterisk, Qt::CTRL | Qt::Key_Asterisk},
         .icon = I::FontMinus,
         .handler = &W::AcFontMinusExecute,
         .places = {{B::View, 0, 1}, {B::ToolBar, 3, 1}}},
        {.field = &W::AcStart,
         .caption = "Start",
         .hint = "Startet die Programmausführung",
         .keys = {Qt::Key_F5},
         .icon = I::Start,
         .handler = &W::AcStartExecute,
         .places = {{B::Run, 0, 0}, {B::ToolBar, 5, 0}}},
        {.field = &W::AcStop,
         .caption = "Stop",
         .hint = "Stoppt die Programmausführung",
         .keys = {Qt::Key_F8},
         .icon = I::Stop,
         .handler = &W::AcStopExecute,
         .places = {{B::Run, 0, 3}, {B::ToolBar, 5, 1}},
         .enabled = false},
        {.field = &W::AcPause,
         .caption = "Pause",
         .hint = "Hält das Programm an",
         .keys = {Qt::Key_F6},
         .icon = I::Pause,
         .handler = &W::AcPauseExecute,
         .places = {{B::Run, 0, 1}, {B::ToolBar, 5, 2}},
         .enabled = false},
        {.field = &W::AcStep,
         .caption = "Schritt",
         .hint = "Nächsten Befehl ausführen",
         .keys = {Qt::Key_F7},
         .icon = I::Step,
         .handler = &W::AcStepExecute,
         .places = {{B::Run, 0, 2}, {B::ToolBar, 5, 3}}},
        {.field = &W::AcParse,
         .caption = "Parse",
         .hint = "Überprüft das Programm auf Korrektheit",
         .keys = {Qt::Key_F9},
         .icon = I::Parse,
         .handler = &W::AcParseExecute,
         .places = {{B::Run, 0, 4}, {B::ToolBar, 5, 4}}},
        {.field = &W::AcStepBack,
         .caption = "Schritt zurück",
         .hint = "Letzten Befehl zurücknehmen",
         .keys = {Qt::SHIFT | Qt::Key_F7},
         .icon = I::StepBack,
         .handler = &W::AcStepBackExecute,
         .places = {{B::Run, 0, 5}},
         .enabled = false},
        {.field = &W::AcRunBack,
         .caption = "Zurück zum Haltepunkt",
         .hint = "Zurück zum letzten erreichten Haltepunkt",
         .keys = {Qt::SHIFT | Qt::Key_F5},
         .icon = I::RunBack,
         .handler = &W::AcRunBackExecute,
         .places = {{B::Run, 0, 6}},
         .enabled = false},
        {.field = &W::AcFind,
         .caption = "Suchen",
         .hint = "Suchen",
         .keys = {Qt::CTRL | Qt::Key_F},
         .icon = I::Find,
         .handler = &W::AcFindExecute,
         .places = {{B::Search, 0, 0}, {B::ToolBar, 2, 0}}},
        {.field = &W::AcFindNext,
         .caption = "Nächsten Suchen",
         .hint = "Nächstes Vorkommen suchen",
         .keys = {Qt::Key_F3},
         .icon = I::FindNext,
         .handler = &W::AcFindNextExecute,
         .places = {{B::Search, 0, 1}, {B::ToolBar, 2, 3}}},
        {.field = &W::AcFindPrev,
         .caption = "Vorigen Suchen",
         .hint = "Voriges Vorkommen suchen",
         .keys = {Qt::SHIFT | Qt::Key_F3},
         .icon = I::FindPrev,
         .handler = &W::AcFindPrevExecute,
         .places = {{B::Search, 0, 2}, {B::ToolBar, 2, 2}}},
        {.field = &W::AcFindReplace,
         .caption = "Suchen und Ersetzen",
         .hint = "Suchen und Ersetzen",
         .keys = {Qt::CTRL | Qt::Key_R},
         .icon = I::FindReplace,
         .handler = &W::AcFindReplaceExecute,
         .places = {{B::Search, 0, 3}, {B::ToolBar, 2, 1}}},
        {.field = &W::AcAddBreak,
         .caption = "Haltepunkt hinzufügen",
         .hint = "Haltepunkt hinzufügen",
         .icon = I::AddBreak,
         .handler = &W::AcAddBreakExecute,
         .places = {{B::ToolBar, 4, 0}, {B::PopupBreaks, 1, 0}}},
        {.field = &W::AcRemoveBreak,
         .caption = "Haltepunkt entfernen",
         .hint = "Haltepunkt entfernen",
         .icon = I::RemoveBreak,
         .handler = &W::AcRemoveBreakExecute,
         .places = {{B::ToolBar, 4, 1}, {B::PopupBreaks, 1, 1}}},
        {.field = &W::AcToggleBreak,
         .caption = "Haltepunkt umschalten",
         .hint = "Setzt oder entfernt den Haltepunkt in der Zeile der Einfügemarke",
         .keys = {Qt::Key_F2},
         .icon = I::AddBreak,
         .handler = &W::AcToggleBreakExecute,
         .places = {{B::Run, 2, 0}, {B::PopupBreaks, 1, 2}}},
        // Keys without a menu entry: moving between the window's areas, the
        // context menu and the menu bar from the keyboard.
        {.field = &W::AcFocusNext,
         .caption = "Nächster Bereich",
         .hint = "Wechselt zum nächsten Bereich des Fensters",
         .keys = {Qt::CTRL | Qt::Key_Tab, Qt::Key_F6},
         .handler = &W::AcFocusNextExecute},
        {.field = &W::AcFocusPrev,
         .caption = "Voriger Bereich",
         .hint = "Wechselt zum vorigen Bereich des Fensters",
         .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, Qt::SHIFT | Qt::Key_F6},
         .handler = &W::AcFocusPrevExecute},
        {.field = &W::AcContextMenu,
         .caption = "Kontextmenü",
         .hint = "Öffnet das Kontextmenü",
         .keys = {Qt::SHIFT | Qt::Key_F10},
         .handler = &W::AcContextMenuExecute},
        {.field = &W::AcMenuBar,
         .caption = "Menü",
         .hint = "Öffnet die Menüleiste",
         .keys = {Qt::Key_F10},
         .handler = &W::AcMenuBarExecute},
        {.field = &W::AcDebugCode,
         .caption = "Debug Code laden",
         .hint = "Debug Code laden",
         .keys = {Qt::CTRL | Qt::Key_D},
         .icon = I::DebugCode,
         .handler = &W::AcDebugCodeExecute,
         .places = {{B::Debug, 0, 0}}},
        {.field = &W::AcDelayMin,
         .caption = "Höchste Ausführungsgeschwindigkeit",
         .hint = "Höchste Ausführungsgeschwindigkeit",
         .icon = I::DelayMin,
         .handler = &W::AcDelayMinExecute,
         .places = {{B::Run, 1, 1}}},
        {.field = &W::AcDelayMax,
         .caption = "Niedrigste Ausführungsgeschwindigkeit",
         .hint = "Niedrigste Ausführungsgeschwindigkeit",
         .icon = I::DelayMax,
         .handler = &W::AcDelayMaxExecute,
         .places = {{B::Run, 1, 0}}},
        {.field = &W::AcCopy,
         .caption = "Kopieren",
         .hint = "Kopieren|Auswahl in die Zwischenablage kopieren",
         .keys = {QKeySequence::Copy},
         .icon = I::Copy,
         .edit = TEditCommand::Copy,
         .places = {{B::Edit, 0, 0}, {B::PopupBreaks, 0, 0}}},
        {.field = &W::AcPaste,
         .caption = "Einfügen",
         .hint = "Einfügen|Inhalt der Zwischenablage einfügen",
         .keys = {QKeySequence::Paste},
         .icon = I::Paste,
         .edit = TEditCommand::Paste,
         .places = {{B::Edit, 0, 1}, {B::PopupBreaks, 0, 2}}},
        {.field = &W::AcCut,
         .caption = "Ausschneiden",
         .hint = "Ausschneiden|Auswahl in die Zwischenablage verschieben",
         .keys = {QKeySequence::Cut},
         .icon = I::Cut,
         .edit = TEditCommand::Cut,
         .places = {{B::Edit, 0, 2}, {B::PopupBreaks, 0, 1}}},
        {.field = &W::AcSelectAll,
         .caption = "Alles &markieren",
         .hint = "Alles markieren|Gesamtes Dokument auswählen",
         .keys = {QKeySequence::SelectAll},
         .icon = I::SelectAll,
         .edit = TEditCommand::SelectAll,
         .places = {{B::Edit, 0, 3}, {B::PopupBreaks, 0, 3}}},
        {.field = &W::AcEditorOptions,
         .caption = "Editor - Optionen",
         .hint = "Optionen und Informationen zum Editor",
         .icon = I::EditorOptions,
         .handler = &W::AcEditorOptionsExecute,
         .places = {{B::Help, 1, 0}}},
        {.field = &W::miShowToolbar,
         .caption = "Toolbar anzeigen",
         .handler = &W::miShowToolbarClick,
         .places = {{B::View, 1, 0}},
         .toggle = true},
        {.field = &W::miShowProgrambar,
         .caption = "Programmleiste anzeigen",
         .handler = &W::miShowProgrambarClick,
         .places = {{B::View, 1, 1}},
         .toggle = true},
    };
}

void TfrmKeloIDE::createActions()
{
    for (const TActionRow &row : ActionTable()) {
        QAction *action = makeAction(this, row.caption, row.hint, row.keys);
        this->*row.field = action;
        if (row.icon)
            action->setIcon(ActionIcon(*row.icon));
        action->setEnabled(row.enabled);
        action->setCheckable(row.toggle);
        action->setChecked(row.toggle);
        if (row.edit) {
            connect(action, &QAction::triggered, this, [this, command = *row.edit] { editFocused(command); });
            continue;
        }
        // Shortcuts work while their action is enabled, whether or not a menu shows it.
        addAction(action);
        connect(action, &QAction::triggered, this, row.handler);
    }
    new TShortcutReferee({AcFontMinus, AcFontPlus});
    new TShortcutReferee({AcPause, AcFocusNext});
}

void TfrmKeloIDE::addPlacedActions(QWidget *bar, TActionBar which)
{
    struct TEntry
    {
        int group;
        int order;
        QAction *action;
    };
    QList<TEntry> entries;
    for (const TActionRow &row : ActionTable())
        for (const TActionRow::TPlace &place : row.places)
            if (place.bar == which)
                entries.append({place.group, place.order, this->*row.field});
    std::sort(entries.begin(), entries.end(), [](const TEntry &a, const TEntry &b) {
        return std::pair(a.group, a.order) < std::pair(b.group, b.order);
    });
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].group != entries[i - 1].group) {
            auto *separator = new QAction(bar);
            separator->setSeparator(true);
            bar->addAction(separator);
        }
        bar->addAction(entries[i].action);
    }
}

void TfrmKeloIDE::createMenus()
{
    const std::pair<TActionBar, QString> menus[] = {
        {TActionBar::File, "&Datei"},   {TActionBar::Edit, "&Bearbeiten"}, {TActionBar::Search, "&Suchen"},
        {TActionBar::View, "&Ansicht"}, {TActionBar::Run, "&Programm"},    {TActionBar::Help, "&?"},
        {TActionBar::Debug, "D&ebug"},
    };
    for (const auto &[bar, title] : menus) {
        QMenu *menu = menuBar()->addMenu(title);
        addPlacedActions(menu, bar);
        // Hidden: the debug code is reached by its shortcut only.
        menu->menuAction()->setVisible(bar != TActionBar::Debug);
    }

    PopupBreaks = new QMenu(this);
    addPlacedActions(PopupBreaks, TActionBar::PopupBreaks);
}

void TfrmKeloIDE::createToolBars()
{
    ToolBar = addToolBar(QStringLiteral("Toolbar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setIconSize(QSize(16, 16));
    addPlacedActions(ToolBar, TActionBar::ToolBar);

    QToolBar *speedBar = addToolBar(QStringLiteral("Ausführungsgeschwindigkeit"));
    speedBar->setObjectName(QStringLiteral("SpeedBar"));
    speedBar->setMovable(false);
    new TSpeedBarWrap(this, ToolBar, speedBar, miShowToolbar);
    PnDelay = new TSpeedPanel(speedBar);
    auto *row = new QHBoxLayout(PnDelay);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    BtDelayMax = new QToolButton(PnDelay);
    BtDelayMax->setAutoRaise(true);
    BtDelayMax->setToolTip(QStringLiteral("Niedrigste Ausführungsgeschwindigkeit"));
    BtDelayMax->setIcon(AcDelayMax->icon());
    TrackBar = new QSlider(Qt::Horizontal, PnDelay);
    TrackBar->setRange(0, 99);
    TrackBar->setToolTip(QStringLiteral("Ausführungsgeschwindigkeit"));
    BtDelayMin = new QToolButton(PnDelay);
    BtDelayMin->setAutoRaise(true);
    BtDelayMin->setToolTip(QStringLiteral("Höchste Ausführungsgeschwindigkeit"));
    BtDelayMin->setIcon(AcDelayMin->icon());
    row->addWidget(BtDelayMax);
    row->addWidget(TrackBar, 1);
    row->addWidget(BtDelayMin);
    TrackBar->setMinimumWidth(TSpeedPanel::SmallestSliderWidth);
    PnDelay->setMinimumWidth(row->minimumSize().width());
    speedBar->addWidget(PnDelay);

    // The flat buttons share the handlers, not the actions.
    connect(BtDelayMax, &QToolButton::clicked, this, &TfrmKeloIDE::AcDelayMaxExecute);
    connect(BtDelayMin, &QToolButton::clicked, this, &TfrmKeloIDE::AcDelayMinExecute);
    connect(TrackBar, &QSlider::valueChanged, this, &TfrmKeloIDE::TrackBarChange);
}

void TfrmKeloIDE::createStatusBar()
{
    static constexpr std::array<int, 6> widths{100, 100, 50, 100, 100, 200};
    for (size_t i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(statusBar());
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i + 1 < widths.size())
            panel->setFixedWidth(widths[i]);
        else
            panel->setMinimumWidth(widths[i]);
        statusBar()->addWidget(panel, i + 1 == widths.size() ? 1 : 0);
        SBarPanels[i] = panel;
    }
    SBarPanels[2]->setText(QStringLiteral("Code"));
}

void TfrmKeloIDE::createClientArea()
{
    SplitterLeft = new TDottedSplitter(Qt::Horizontal, this);
    PnClient = SplitterLeft;
    setCentralWidget(PnClient);

    SplitterModule = new TDottedSplitter(Qt::Vertical, SplitterLeft);
    PnLeft = SplitterModule;
    PnModule = new QWidget(SplitterModule);
    PnModule->setLayout(new QVBoxLayout);
    PnModule->layout()->setContentsMargins(0, 0, 0, 0);

    PnCodeVars = new QWidget(SplitterModule);
    auto *column = new QVBoxLayout(PnCodeVars);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *lists = new QHBoxLayout;
    lists->setSpacing(0);
    column->addLayout(lists, 1);
    QFont varFont(QStringLiteral("Lucida Console"));
    varFont.setPixelSize(13);
    for (QListWidget **box : {&lBoxCodeVarNames, &lBoxCodeVarValues}) {
        *box = new QListWidget(PnCodeVars);
        (*box)->setFrameShape(QFrame::NoFrame);
        (*box)->setFont(varFont);
        (*box)->setStyleSheet(QStringLiteral("QListWidget { background: rgb(255,255,204); }"));
        (*box)->setUniformItemSizes(true);
        (*box)->setFocusPolicy(Qt::NoFocus);
        // Small enough that the sandbox view keeps its designed height.
        (*box)->setMinimumHeight(13);
    }
    lBoxCodeVarNames->setFixedWidth(151);
    lists->addWidget(lBoxCodeVarNames);
    lists->addWidget(lBoxCodeVarValues, 1);
    CoupleLists(lBoxCodeVarNames, lBoxCodeVarValues);
    SplitterModule->setSizes({361, 576 - 361});
    SplitterModule->setStretchFactor(1, 1);

    PnRight = new QWidget(SplitterLeft);
    auto *right = new QVBoxLayout(PnRight);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    createProgramBar();
    right->addWidget(PnTools);
    SplitterMessages = new TDottedSplitter(Qt::Vertical, PnRight);
    right->addWidget(SplitterMessages, 1);
    MemoCode = new TMemoCode(SplitterMessages);
    MemoCode->setContextMenuPolicy(Qt::CustomContextMenu);
    createMessageArea();
    SplitterMessages->setStretchFactor(0, 1);
    SplitterMessages->setStretchFactor(1, 0);
    SplitterMessages->setSizes({576 - 40 - 176, 176});
    SplitterLeft->setSizes({393, 943 - 393 - 3});
    SplitterLeft->setStretchFactor(1, 1);
}

void TfrmKeloIDE::createProgramBar()
{
    auto *bar = new TProgramBar(PnRight);
    PnTools = bar;
    PnTools->setFixedHeight(40);
    auto *row = new QHBoxLayout(PnTools);
    row->setContentsMargins(4, 7, 4, 7);
    row->setSpacing(2);
    auto button = [this, bar](QAction *action) {
        auto *bt = new QPushButton(action->icon(), action->text(), PnTools);
        bt->setFixedHeight(26);
        bt->setToolTip(action->toolTip());
        bt->setFocusPolicy(Qt::NoFocus);
        bt->setEnabled(action->isEnabled());
        connect(bt, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, bt, [bt, action] {
            bt->setEnabled(action->isEnabled());
            bt->setIcon(action->icon());
        });
        bar->addButton(bt);
        return bt;
    };
    BtStart = button(AcStart);
    BtStop = button(AcStop);
    BtPause = button(AcPause);
    BtStep = button(AcStep);
    BtStepBack = button(AcStepBack);
    LGap = new QLabel(QStringLiteral("|"), PnTools);
    row->addWidget(LGap);
    BtCheck = button(AcParse);
    row->addStretch(1);
}

void TfrmKeloIDE::createMessageArea()
{
    PctrlMsg = new QTabWidget(SplitterMessages);
    PctrlMsg->setDocumentMode(true);
    MemoLog = new QPlainTextEdit;
    MemoLog->setReadOnly(true);
    MemoLog->setFrameShape(QFrame::NoFrame);
    MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lBoxErrors = new QListWidget;
    lBoxErrors->setFrameShape(QFrame::NoFrame);
    lBoxBreaks = new QListWidget;
    lBoxBreaks->setFrameShape(QFrame::NoFrame);
    lBoxBreaks->setContextMenuPolicy(Qt::CustomContextMenu);
    tsMsg = MemoLog;
    tsErrors = lBoxErrors;
    tsBreaks = lBoxBreaks;
    PctrlMsg->addTab(tsMsg, QStringLiteral("Meldungen"));
    PctrlMsg->addTab(tsErrors, QStringLiteral("Fehler"));
    PctrlMsg->addTab(tsBreaks, QStringLiteral("Haltepunkte"));
    PctrlMsg->setCurrentWidget(tsMsg);

    connect(lBoxErrors, &QListWidget::itemDoubleClicked, this, &TfrmKeloIDE::lBoxErrorsDblClick);
    connect(lBoxBreaks, &QListWidget::itemDoubleClicked, this, &TfrmKeloIDE::lBoxBreaksDblClick);
    connect(lBoxBreaks, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupBreaks->popup(lBoxBreaks->viewport()->mapToGlobal(pos)); });
}

QString TfrmKeloIDE::statusText(int panel) const { return SBarPanels.at(panel)->text(); }

void TfrmKeloIDE::setStatusText(int panel, const QString &text) { SBarPanels.at(panel)->setText(text); }

// Gives the first (index 0) or second (index 1) pane of a two-pane splitter a
// size, the other pane taking the rest of the splitter.
static void setPaneSize(QSplitter *splitter, int index, int size)
{
    // At the first show the splitters may not have their final size yet.
    if (QLayout *layout = splitter->window()->layout())
        layout->activate();
    const int extent = splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
    const int rest = qMax(1, extent - splitter->handleWidth() - size);
    splitter->setSizes(index == 0 ? QList<int>{size, rest} : QList<int>{rest, size});
}

int TfrmKeloIDE::panelLeftWidth() const { return SplitterLeft->sizes().value(0); }

// A width stored by a bigger window leaves the editor at least a third.
void TfrmKeloIDE::setPanelLeftWidth(int width)
{
    setPaneSize(SplitterLeft, 0, width); // lays the window out first
    const int most = SplitterLeft->width() - SplitterLeft->handleWidth() - (SplitterLeft->width() + 2) / 3;
    if (panelLeftWidth() > most)
        setPaneSize(SplitterLeft, 0, most);
}

int TfrmKeloIDE::panelModuleHeight() const { return SplitterModule->sizes().value(0); }

void TfrmKeloIDE::setPanelModuleHeight(int height) { setPaneSize(SplitterModule, 0, height); }

int TfrmKeloIDE::panelMessagesHeight() const { return SplitterMessages->sizes().value(1); }

void TfrmKeloIDE::setPanelMessagesHeight(int height) { setPaneSize(SplitterMessages, 1, height); }
