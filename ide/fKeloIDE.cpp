#include "ide/fKeloIDE.h"

#include "editor/MemoCode.h"
#include "ide/uActionIcons.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uProgramBar.h"
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
#include <QResizeEvent>
#include <QShortcutEvent>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

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

// The speed panel of the tool bar: its designed width, but narrower rather than
// pushed into the tool bar's overflow menu when the window is small; then only
// the slider remains, the two end buttons give it their room.
class TSpeedPanel : public QWidget
{
public:
    static constexpr int DesignedWidth = 191;
    static constexpr int SmallestWidth = 72;
    static constexpr int WidthWithButtons = 150;

    explicit TSpeedPanel(QWidget *parent) : QWidget(parent)
    {
        setMinimumWidth(SmallestWidth);
        setMaximumWidth(DesignedWidth);
    }
    QSize sizeHint() const override { return {DesignedWidth, QWidget::sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        for (QToolButton *button : findChildren<QToolButton *>())
            button->setVisible(event->size().width() >= WidthWithButtons);
    }
};

// On X11 the plus key pressed with Ctrl+Shift is offered to the shortcuts both
// as Ctrl+Shift+= and as Ctrl++, so the two font actions claim the same press.
// That press means Ctrl+Shift + the plus key: the font gets smaller.
class TFontKeyReferee : public QObject
{
public:
    TFontKeyReferee(QAction *plus, QAction *minus) : QObject(minus), iMinus(minus)
    {
        plus->installEventFilter(this);
        minus->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Shortcut || !static_cast<QShortcutEvent *>(event)->isAmbiguous())
            return QObject::eventFilter(watched, event);
        if (iMinus->isEnabled())
            iMinus->trigger();
        return true;
    }

private:
    QAction *iMinus;
};

QAction *makeAction(QObject *owner, const QString &caption, const QString &hint,
                    const QList<QKeySequence> &keys = {})
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
    createMenus();
    createToolBars();
    createStatusBar();
    connectEditor();
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

void TfrmKeloIDE::createActions()
{
    AcClose = makeAction(this, QStringLiteral("Beenden"), QStringLiteral("Programm beenden"),
                         {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    AcNew = makeAction(this, QStringLiteral("Neu"), QStringLiteral("Neu"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    AcLoadCode = makeAction(this, QStringLiteral("Laden"), QStringLiteral("Lädt einen Quelltext"),
                            {QKeySequence(Qt::CTRL | Qt::Key_L)});
    AcSaveCodeAs = makeAction(this, QStringLiteral("Speichern unter..."),
                              QStringLiteral("Speichert den Quelltext unter"),
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    AcSaveCode = makeAction(this, QStringLiteral("Speichern"), QStringLiteral("Speichert den Quelltext"),
                            {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AcSaveCode->setEnabled(false);
    AcHelp = makeAction(this, QStringLiteral("Hilfe"), QStringLiteral("Hilfe"), {QKeySequence(Qt::Key_F1)});
    AcAbout = makeAction(this, QStringLiteral("About..."), QStringLiteral("About..."));
    // The plus key gives "+" on German keyboards and "=" on others.
    AcFontPlus = makeAction(this, QStringLiteral("Schrift +"), QStringLiteral("vergrößert die Schriftart im Editor"),
                            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AcFontMinus = makeAction(this, QStringLiteral("Schrift -"), QStringLiteral("verkleinert die Schriftart im Editor"),
                             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Asterisk),
                              QKeySequence(Qt::CTRL | Qt::Key_Asterisk)});
    new TFontKeyReferee(AcFontPlus, AcFontMinus);
    AcStart = makeAction(this, QStringLiteral("Start"), QStringLiteral("Startet die Programmausführung"),
                         {QKeySequence(Qt::Key_F5)});
    AcStop = makeAction(this, QStringLiteral("Stop"), QStringLiteral("Stoppt die Programmausführung"),
                        {QKeySequence(Qt::Key_F8)});
    AcStop->setEnabled(false);
    AcPause = makeAction(this, QStringLiteral("Pause"), QStringLiteral("Hält das Programm an"),
                         {QKeySequence(Qt::Key_F6)});
    AcPause->setEnabled(false);
    AcStep = makeAction(this, QStringLiteral("Schritt"), QStringLiteral("Nächsten Befehl ausführen"),
                        {QKeySequence(Qt::Key_F7)});
    AcParse = makeAction(this, QStringLiteral("Parse"), QStringLiteral("Überprüft das Programm auf Korrektheit"),
                         {QKeySequence(Qt::Key_F9)});
    AcFind = makeAction(this, QStringLiteral("Suchen"), QStringLiteral("Suchen"), {QKeySequence(Qt::CTRL | Qt::Key_F)});
    AcFindNext = makeAction(this, QStringLiteral("Nächsten Suchen"), QStringLiteral("Nächstes Vorkommen suchen"),
                            {QKeySequence(Qt::Key_F3)});
    AcFindPrev = makeAction(this, QStringLiteral("Vorigen Suchen"), QStringLiteral("Voriges Vorkommen suchen"),
                            {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    AcFindReplace = makeAction(this, QStringLiteral("Suchen und Ersetzen"), QStringLiteral("Suchen und Ersetzen"),
                               {QKeySequence(Qt::CTRL | Qt::Key_R)});
    AcAddBreak = makeAction(this, QStringLiteral("Haltepunkt hinzufügen"), QStringLiteral("Haltepunkt hinzufügen"));
    AcRemoveBreak = makeAction(this, QStringLiteral("Haltepunkt entfernen"), QStringLiteral("Haltepunkt entfernen"));
    AcDebugCode = makeAction(this, QStringLiteral("Debug Code laden"), QStringLiteral("Debug Code laden"),
                             {QKeySequence(Qt::CTRL | Qt::Key_D)});
    AcDelayMin = makeAction(this, QStringLiteral("Höchste Ausführungsgeschwindigkeit"),
                            QStringLiteral("Höchste Ausführungsgeschwindigkeit"));
    AcDelayMax = makeAction(this, QStringLiteral("Niedrigste Ausführungsgeschwindigkeit"),
                            QStringLiteral("Niedrigste Ausführungsgeschwindigkeit"));
    AcCopy = makeAction(this, QStringLiteral("Kopieren"),
                        QStringLiteral("Kopieren|Auswahl in die Zwischenablage kopieren"), {QKeySequence::Copy});
    AcPaste = makeAction(this, QStringLiteral("Einfügen"),
                         QStringLiteral("Einfügen|Inhalt der Zwischenablage einfügen"), {QKeySequence::Paste});
    AcCut = makeAction(this, QStringLiteral("Ausschneiden"),
                       QStringLiteral("Ausschneiden|Auswahl in die Zwischenablage verschieben"), {QKeySequence::Cut});
    AcSelectAll = makeAction(this, QStringLiteral("Alles &markieren"),
                             QStringLiteral("Alles markieren|Gesamtes Dokument auswählen"), {QKeySequence::SelectAll});
    AcEditorOptions = makeAction(this, QStringLiteral("Editor - Optionen"),
                                 QStringLiteral("Optionen und Informationen zum Editor"));
    miShowToolbar = new QAction(QStringLiteral("Toolbar anzeigen"), this);
    miShowToolbar->setCheckable(true);
    miShowToolbar->setChecked(true);
    miShowProgrambar = new QAction(QStringLiteral("Programmleiste anzeigen"), this);
    miShowProgrambar->setCheckable(true);
    miShowProgrambar->setChecked(true);

    const std::pair<QAction *, TActionIcon> icons[] = {
        {AcClose, TActionIcon::Close}, {AcNew, TActionIcon::New}, {AcLoadCode, TActionIcon::Load},
        {AcSaveCodeAs, TActionIcon::SaveAs}, {AcSaveCode, TActionIcon::Save}, {AcHelp, TActionIcon::Help},
        {AcAbout, TActionIcon::About}, {AcFontPlus, TActionIcon::FontPlus}, {AcFontMinus, TActionIcon::FontMinus},
        {AcStart, TActionIcon::Start}, {AcStop, TActionIcon::Stop}, {AcPause, TActionIcon::Pause},
        {AcStep, TActionIcon::Step}, {AcParse, TActionIcon::Parse}, {AcFind, TActionIcon::Find},
        {AcFindNext, TActionIcon::FindNext}, {AcFindPrev, TActionIcon::FindPrev},
        {AcFindReplace, TActionIcon::FindReplace}, {AcAddBreak, TActionIcon::AddBreak},
        {AcRemoveBreak, TActionIcon::RemoveBreak}, {AcDebugCode, TActionIcon::DebugCode},
        {AcDelayMin, TActionIcon::DelayMin}, {AcDelayMax, TActionIcon::DelayMax}, {AcCopy, TActionIcon::Copy},
        {AcPaste, TActionIcon::Paste}, {AcCut, TActionIcon::Cut}, {AcSelectAll, TActionIcon::SelectAll},
        {AcEditorOptions, TActionIcon::EditorOptions}};
    for (const auto &[action, icon] : icons)
        action->setIcon(ActionIcon(icon));

    // Shortcuts work while their action is enabled, whether or not a menu shows it.
    addActions({AcClose, AcNew, AcLoadCode, AcSaveCodeAs, AcSaveCode, AcHelp, AcAbout, AcFontPlus, AcFontMinus,
                AcStart, AcStop, AcPause, AcStep, AcParse, AcFind, AcFindNext, AcFindPrev, AcFindReplace,
                AcAddBreak, AcRemoveBreak, AcDebugCode, AcDelayMin, AcDelayMax, AcEditorOptions});

    connect(AcClose, &QAction::triggered, this, &TfrmKeloIDE::AcCloseExecute);
    connect(AcNew, &QAction::triggered, this, &TfrmKeloIDE::AcNewExecute);
    connect(AcLoadCode, &QAction::triggered, this, &TfrmKeloIDE::AcLoadCodeExecute);
    connect(AcSaveCodeAs, &QAction::triggered, this, &TfrmKeloIDE::AcSaveCodeAsExecute);
    connect(AcSaveCode, &QAction::triggered, this, &TfrmKeloIDE::AcSaveCodeExecute);
    connect(AcHelp, &QAction::triggered, this, &TfrmKeloIDE::AcHelpExecute);
    connect(AcAbout, &QAction::triggered, this, &TfrmKeloIDE::AcAboutExecute);
    connect(AcFontPlus, &QAction::triggered, this, &TfrmKeloIDE::AcFontPlusExecute);
    connect(AcFontMinus, &QAction::triggered, this, &TfrmKeloIDE::AcFontMinusExecute);
    connect(AcStart, &QAction::triggered, this, &TfrmKeloIDE::AcStartExecute);
    connect(AcStop, &QAction::triggered, this, &TfrmKeloIDE::AcStopExecute);
    connect(AcPause, &QAction::triggered, this, &TfrmKeloIDE::AcPauseExecute);
    connect(AcStep, &QAction::triggered, this, &TfrmKeloIDE::AcStepExecute);
    connect(AcParse, &QAction::triggered, this, &TfrmKeloIDE::AcParseExecute);
    connect(AcFind, &QAction::triggered, this, &TfrmKeloIDE::AcFindExecute);
    connect(AcFindNext, &QAction::triggered, this, &TfrmKeloIDE::AcFindNextExecute);
    connect(AcFindPrev, &QAction::triggered, this, &TfrmKeloIDE::AcFindNextExecute);
    connect(AcFindReplace, &QAction::triggered, this, &TfrmKeloIDE::AcFindReplaceExecute);
    connect(AcAddBreak, &QAction::triggered, this, &TfrmKeloIDE::AcAddBreakExecute);
    connect(AcRemoveBreak, &QAction::triggered, this, &TfrmKeloIDE::AcRemoveBreakExecute);
    connect(AcDebugCode, &QAction::triggered, this, &TfrmKeloIDE::AcDebugCodeExecute);
    connect(AcDelayMin, &QAction::triggered, this, &TfrmKeloIDE::AcDelayMinExecute);
    connect(AcDelayMax, &QAction::triggered, this, &TfrmKeloIDE::AcDelayMaxExecute);
    connect(AcEditorOptions, &QAction::triggered, this, &TfrmKeloIDE::AcEditorOptionsExecute);
    connect(miShowToolbar, &QAction::triggered, this, &TfrmKeloIDE::miShowToolbarClick);
    connect(miShowProgrambar, &QAction::triggered, this, &TfrmKeloIDE::miShowProgrambarClick);
}

void TfrmKeloIDE::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("Datei"));
    file->addActions({AcNew, AcLoadCode, AcSaveCode, AcSaveCodeAs});
    file->addSeparator();
    file->addAction(AcClose);

    menuBar()->addMenu(QStringLiteral("Bearbeiten"))->addActions({AcCopy, AcPaste, AcCut, AcSelectAll});
    menuBar()->addMenu(QStringLiteral("Suchen"))->addActions({AcFind, AcFindNext, AcFindPrev, AcFindReplace});

    QMenu *view = menuBar()->addMenu(QStringLiteral("Ansicht"));
    view->addActions({AcFontPlus, AcFontMinus});
    view->addSeparator();
    view->addActions({miShowToolbar, miShowProgrambar});

    QMenu *run = menuBar()->addMenu(QStringLiteral("Programm"));
    run->addActions({AcStart, AcPause, AcStep, AcStop, AcParse});
    run->addSeparator();
    run->addActions({AcDelayMax, AcDelayMin});

    QMenu *help = menuBar()->addMenu(QStringLiteral("?"));
    help->addActions({AcHelp, AcAbout});
    help->addSeparator();
    help->addAction(AcEditorOptions);

    QMenu *debug = menuBar()->addMenu(QStringLiteral("Debug"));
    debug->addAction(AcDebugCode);
    debug->menuAction()->setVisible(false);

    PopupBreaks = new QMenu(this);
    PopupBreaks->addActions({AcCopy, AcCut, AcPaste, AcSelectAll});
    PopupBreaks->addSeparator();
    PopupBreaks->addActions({AcAddBreak, AcRemoveBreak});
}

void TfrmKeloIDE::createToolBars()
{
    ToolBar = addToolBar(QStringLiteral("Toolbar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->addAction(AcClose);
    ToolBar->addSeparator();
    ToolBar->addActions({AcNew, AcLoadCode, AcSaveCode, AcSaveCodeAs});
    ToolBar->addSeparator();
    ToolBar->addActions({AcFind, AcFindReplace, AcFindPrev, AcFindNext});
    ToolBar->addSeparator();
    ToolBar->addActions({AcFontPlus, AcFontMinus});
    ToolBar->addSeparator();
    ToolBar->addActions({AcAddBreak, AcRemoveBreak});
    ToolBar->addSeparator();
    ToolBar->addActions({AcStart, AcStop, AcPause, AcStep, AcParse});
    ToolBar->addSeparator();
    ToolBar->addActions({AcHelp, AcAbout});

    PnDelay = new TSpeedPanel(ToolBar);
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
    ToolBar->addWidget(PnDelay);

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
    MemoCode = new ::MemoCode(SplitterMessages);
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

QString TfrmKeloIDE::statusText(int panel) const
{
    return SBarPanels.at(panel)->text();
}

void TfrmKeloIDE::setStatusText(int panel, const QString &text)
{
    SBarPanels.at(panel)->setText(text);
}

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

int TfrmKeloIDE::panelLeftWidth() const
{
    return SplitterLeft->sizes().value(0);
}

void TfrmKeloIDE::setPanelLeftWidth(int width)
{
    setPaneSize(SplitterLeft, 0, width);
}

int TfrmKeloIDE::panelModuleHeight() const
{
    return SplitterModule->sizes().value(0);
}

void TfrmKeloIDE::setPanelModuleHeight(int height)
{
    setPaneSize(SplitterModule, 0, height);
}

int TfrmKeloIDE::panelMessagesHeight() const
{
    return SplitterMessages->sizes().value(1);
}

void TfrmKeloIDE::setPanelMessagesHeight(int height)
{
    setPaneSize(SplitterMessages, 1, height);
}
