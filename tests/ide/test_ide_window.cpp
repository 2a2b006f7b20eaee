// The IDE window's shell: the action table, shortcuts reaching their actions
// while the editor has the focus, menus, status panels, font size, bars, the
// first activation with its splash, and the Edit actions' enabled states.
#include "ide_run_fixture.h"

#include "ide/uAppSetup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

// Readable texts in failure messages (internal to this file).
static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {
struct TActionRow
{
    QAction *TRunTestWindow::*action;
    const char *caption;
    const char *hint;
    QKeySequence shortcut;
    bool enabled;
};

// The action table: caption, tooltip, first shortcut, enabled at creation.
const TActionRow ActionTable[] = {
    {&TRunTestWindow::AcClose, "Beenden", "Programm beenden", QKeySequence("Ctrl+Q"), true},
    {&TRunTestWindow::AcNew, "Neu", "Neu", QKeySequence("Ctrl+N"), true},
    {&TRunTestWindow::AcLoadCode, "Laden", "Lädt einen Quelltext", QKeySequence("Ctrl+L"), true},
    {&TRunTestWindow::AcSaveCodeAs, "Speichern unter...", "Speichert den Quelltext unter",
     QKeySequence("Ctrl+Shift+S"), true},
    {&TRunTestWindow::AcSaveCode, "Speichern", "Speichert den Quelltext", QKeySequence("Ctrl+S"), false},
    {&TRunTestWindow::AcHelp, "Hilfe", "Hilfe", QKeySequence("F1"), true},
    {&TRunTestWindow::AcAbout, "About...", "About...", QKeySequence(), true},
    {&TRunTestWindow::AcFontPlus, "Schrift +", "vergrößert die Schriftart im Editor", QKeySequence("Ctrl++"), true},
    {&TRunTestWindow::AcFontMinus, "Schrift -", "verkleinert die Schriftart im Editor",
     QKeySequence("Ctrl+Shift++"), true},
    {&TRunTestWindow::AcStart, "Start", "Startet die Programmausführung", QKeySequence("F5"), true},
    {&TRunTestWindow::AcStop, "Stop", "Stoppt die Programmausführung", QKeySequence("F8"), false},
    {&TRunTestWindow::AcPause, "Pause", "Hält das Programm an", QKeySequence("F6"), false},
    {&TRunTestWindow::AcStep, "Schritt", "Nächsten Befehl ausführen", QKeySequence("F7"), true},
    {&TRunTestWindow::AcParse, "Parse", "Überprüft das Programm auf Korrektheit", QKeySequence("F9"), true},
    {&TRunTestWindow::AcFind, "Suchen", "Suchen", QKeySequence("Ctrl+F"), true},
    {&TRunTestWindow::AcFindNext, "Nächsten Suchen", "Nächstes Vorkommen suchen", QKeySequence("F3"), true},
    {&TRunTestWindow::AcFindPrev, "Vorigen Suchen", "Voriges Vorkommen suchen", QKeySequence("Shift+F3"), true},
    {&TRunTestWindow::AcFindReplace, "Suchen und Ersetzen", "Suchen und Ersetzen", QKeySequence("Ctrl+R"), true},
    {&TRunTestWindow::AcAddBreak, "Haltepunkt hinzufügen", "Haltepunkt hinzufügen", QKeySequence(), true},
    {&TRunTestWindow::AcRemoveBreak, "Haltepunkt entfernen", "Haltepunkt entfernen", QKeySequence(), true},
    {&TRunTestWindow::AcDebugCode, "Debug Code laden", "Debug Code laden", QKeySequence("Ctrl+D"), true},
    {&TRunTestWindow::AcDelayMin, "Höchste Ausführungsgeschwindigkeit", "Höchste Ausführungsgeschwindigkeit",
     QKeySequence(), true},
    {&TRunTestWindow::AcDelayMax, "Niedrigste Ausführungsgeschwindigkeit", "Niedrigste Ausführungsgeschwindigkeit",
     QKeySequence(), true},
    {&TRunTestWindow::AcCopy, "Kopieren", "Kopieren", QKeySequence("Ctrl+C"), false},
    {&TRunTestWindow::AcSelectAll, "Alles &markieren", "Alles markieren", QKeySequence("Ctrl+A"), false},
    {&TRunTestWindow::AcEditorOptions, "Editor - Optionen", "Optionen und Informationen zum Editor",
     QKeySequence(), true},
};

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

// Window tests that need the window shown and active (shortcuts, focus).
class ShownWindowTest : public RunTest
{
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        window->show();
        window->FormActivate();
        QApplication::setActiveWindow(window.get());
        window->editor()->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(grazlo_test::waitFor([&] { return window->editor()->hasFocus(); }));
    }
};
} // namespace

TEST_F(RunTest, EveryActionHasItsCaptionHintShortcutAndInitialState)
{
    for (const TActionRow &row : ActionTable) {
        const QAction *action = window.get()->*row.action;
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(action->text(), QString::fromUtf8(row.caption));
        EXPECT_EQ(action->toolTip(), QString::fromUtf8(row.hint));
        EXPECT_EQ(action->shortcut(), row.shortcut);
        // The Edit and find-next actions follow the focus and the search text.
        if (action != window->AcCopy && action != window->AcSelectAll && action != window->AcFindNext &&
            action != window->AcFindPrev) {
            EXPECT_EQ(action->isEnabled(), row.enabled);
        }
        EXPECT_FALSE(action->icon().isNull());
    }
    EXPECT_EQ(window->AcCopy->statusTip(), "Auswahl in die Zwischenablage kopieren");
    EXPECT_EQ(window->windowTitle(), "KeloIDE");
    EXPECT_EQ(window->BtStart->text(), "Start F5");
    EXPECT_EQ(window->BtStop->text(), "Stop F8");
    EXPECT_EQ(window->BtStep->text(), "Schritt F7");
    EXPECT_EQ(window->BtCheck->text(), "Parse F9");
    EXPECT_EQ(window->BtPause->text(), "Pause F6");
    EXPECT_EQ(window->statusText(2), "Code");
    EXPECT_EQ(window->tabText(window->tsMsg), "Meldungen");
    EXPECT_EQ(window->tabText(window->tsErrors), "Fehler");
    EXPECT_EQ(window->tabText(window->tsBreaks), "Haltepunkte");

    // The run buttons follow their actions, with a separate disabled picture.
    EXPECT_FALSE(window->BtStop->isEnabled());
    const QIcon stop = window->AcStop->icon();
    EXPECT_NE(stop.pixmap(16, QIcon::Disabled).toImage(), stop.pixmap(16, QIcon::Normal).toImage());
}

TEST_F(RunTest, MenusHoldTheActionsInTheirOrderAndDebugIsHidden)
{
    QStringList titles;
    QList<QMenu *> menus;
    for (QAction *a : window->menuBar()->actions()) {
        titles.append(a->text());
        menus.append(a->menu());
    }
    ASSERT_EQ(titles, QStringList({"Datei", "Bearbeiten", "Suchen", "Ansicht", "Programm", "?", "Debug"}));
    EXPECT_EQ(menuTexts(menus[0]), QStringList({"Neu", "Laden", "Speichern", "Speichern unter...", "-", "Beenden"}));
    EXPECT_EQ(menuTexts(menus[1]), QStringList({"Kopieren", "Einfügen", "Ausschneiden", "Alles &markieren"}));
    EXPECT_EQ(menuTexts(menus[2]),
              QStringList({"Suchen", "Nächsten Suchen", "Vorigen Suchen", "Suchen und Ersetzen"}));
    EXPECT_EQ(menuTexts(menus[3]), QStringList({"Schrift +", "Schrift -", "-", "Toolbar anzeigen",
                                                "Programmleiste anzeigen"}));
    EXPECT_EQ(menuTexts(menus[4]), QStringList({"Start", "Pause", "Schritt", "Stop", "Parse", "-",
                                                "Niedrigste Ausführungsgeschwindigkeit",
                                                "Höchste Ausführungsgeschwindigkeit"}));
    EXPECT_EQ(menuTexts(menus[5]), QStringList({"Hilfe", "About...", "-", "Editor - Optionen"}));
    EXPECT_FALSE(window->menuBar()->actions().last()->isVisible());
}

TEST_F(ShownWindowTest, EveryShortcutReachesItsActionWhileTheEditorHasTheFocus)
{
    window->AcSaveCode->setEnabled(true); // shortcuts work while their action is enabled
    for (const TActionRow &row : ActionTable) {
        QAction *action = window.get()->*row.action;
        if (row.shortcut.isEmpty() || action == window->AcCopy || action == window->AcSelectAll)
            continue;
        SCOPED_TRACE(row.caption);
        action->setEnabled(true);
        // Only the shortcut is under test, not what the command does.
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(action, &QAction::triggered);
        const QKeyCombination key = row.shortcut[0];
        QTest::keyClick(window->editor(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(spy.count(), 1);
    }
    EXPECT_TRUE(window->editor()->Lines().join("").isEmpty()) << "no key reached the text";
}

TEST_F(ShownWindowTest, EditActionsFollowTheFocusedTextControl)
{
    MemoCode &editor = *window->editor();
    editor.setLines({"tick();"});
    EXPECT_FALSE(window->AcCopy->isEnabled());
    EXPECT_TRUE(window->AcSelectAll->isEnabled());
    window->AcSelectAll->trigger();
    EXPECT_TRUE(window->AcCopy->isEnabled());
    EXPECT_TRUE(window->AcCut->isEnabled());
    window->AcCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "tick();");
    EXPECT_TRUE(window->AcPaste->isEnabled());

    editor.setReadOnly(true);
    window->AcSelectAll->trigger();
    EXPECT_FALSE(window->AcCut->isEnabled()) << "nothing is cut from a read-only editor";
    EXPECT_FALSE(window->AcPaste->isEnabled());

    // A list on a hidden tab page cannot take the focus: show its page first.
    window->PctrlMsg->setCurrentWidget(window->tsErrors);
    window->lBoxErrors->setFocus();
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->lBoxErrors->hasFocus(); }));
    EXPECT_FALSE(window->AcSelectAll->isEnabled()) << "a list is no text control";
}

TEST_F(RunTest, CaretPanelsAreFormattedWithFixedWidths)
{
    window->editor()->setLines(QStringList(20, "abcdefgh"));
    window->editor()->setCaretXY({5, 12});
    window->UpdateCaretInfo();
    EXPECT_EQ(window->statusText(3), "Zeile     12");
    EXPECT_EQ(window->statusText(4), "Spalte   5 ");
}

TEST_F(RunTest, FontSizeChangesByOnePointAndTheWheelWithCtrlDoesTheSame)
{
    MemoCode &editor = *window->editor();
    const int start = QFontInfo(editor.codeFont()).pointSize();
    window->AcFontPlus->trigger();
    EXPECT_EQ(editor.codeFont().pointSize(), start + 1);
    EXPECT_EQ(editor.gutterFont().pointSize(), start + 1) << "the gutter follows the editor";

    EXPECT_TRUE(window->MemoCodeMouseWheel(-120, Qt::ControlModifier));
    EXPECT_EQ(editor.codeFont().pointSize(), start);
    EXPECT_FALSE(window->MemoCodeMouseWheel(-120, Qt::NoModifier)) << "without Ctrl the wheel scrolls";
    EXPECT_EQ(editor.codeFont().pointSize(), start);

    for (int i = 0; i < 40; ++i)
        window->AcFontMinus->trigger();
    EXPECT_EQ(editor.codeFont().pointSize(), 1);
    for (int i = 0; i < 100; ++i)
        window->AcFontPlus->trigger();
    EXPECT_EQ(editor.codeFont().pointSize(), 101) << "no upper bound";
}

TEST_F(RunTest, TheViewMenuHidesAndShowsBothBars)
{
    window->show();
    window->FormActivate();
    window->miShowToolbar->trigger();
    EXPECT_FALSE(window->ToolBar->isVisible());
    EXPECT_FALSE(window->miShowToolbar->isChecked());
    const int editorTop = window->editor()->mapTo(window.get(), QPoint()).y();
    window->miShowProgrambar->trigger();
    EXPECT_FALSE(window->PnTools->isVisible());
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->editor()->mapTo(window.get(), QPoint()).y() < editorTop; }))
        << "the editor moves up into the program bar's place";
    window->miShowToolbar->trigger();
    window->miShowProgrambar->trigger();
    EXPECT_TRUE(window->ToolBar->isVisible());
    EXPECT_TRUE(window->PnTools->isVisible());
    EXPECT_TRUE(window->miShowProgrambar->isChecked());
}

TEST_F(RunTest, ASmallWindowKeepsTheProgramButtonsAndTheSpeedSliderInReach)
{
    window->show();
    window->FormActivate();
    window->resize(640, 480);
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->width() == 640; }))
        << "the window shrinks to " << window->width();
    EXPECT_TRUE(grazlo_test::waitFor([&] { return window->TrackBar->width() >= 60; }))
        << "the slider is " << window->TrackBar->width() << " pixels wide";
    const QRect bar = window->PnTools->rect();
    for (QPushButton *button : {window->BtStart, window->BtStop, window->BtPause, window->BtStep, window->BtCheck}) {
        EXPECT_TRUE(bar.contains(QRect(button->mapTo(window->PnTools, QPoint()), button->size())))
            << button->toolTip().toStdString();
        EXPECT_TRUE(button->isVisible());
        EXPECT_FALSE(button->icon().isNull());
    }
    EXPECT_TRUE(window->TrackBar->isVisible()) << "not in the tool bar's overflow menu";
    const QRect slider(window->TrackBar->mapTo(window.get(), QPoint()), window->TrackBar->size());
    EXPECT_TRUE(window->rect().contains(slider));

    window->resize(1200, 700);
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->BtStart->text() == "Start F5"; }))
        << "the captions come back";
    EXPECT_EQ(window->BtStart->width(), 100);
}

TEST_F(RunTest, FirstActivationShowsTheSplashForAtLeastItsTimeAndOnlyOnce)
{
    QWidget owner;
    auto *splash = new QWidget(&owner);
    splash->resize(200, 100);
    window->splash = splash;
    bool shownInside = false;
    clock.onSleep = [&] { shownInside = shownInside || (splash->isVisible() && splash->parent() == window.get()); };
    window->show();
    const qint64 started = clock.now;
    window->FormActivate();
    EXPECT_TRUE(shownInside);
    EXPECT_GE(clock.now - started, 1200);
    EXPECT_EQ(splash->parent(), &owner) << "the splash goes back to its owner";
    EXPECT_FALSE(splash->isVisible());

    const int sleeps = clock.sleeps;
    window->FormActivate();
    EXPECT_EQ(clock.sleeps, sleeps) << "a later activation waits for nothing";
}

TEST_F(RunTest, ShowOrRaiseShowsRestoresAndKeepsOneWindow)
{
    QWidget other;
    TfrmKeloIDE::ShowOrRaise(&other);
    EXPECT_TRUE(other.isVisible());
    other.showMinimized();
    TfrmKeloIDE::ShowOrRaise(&other);
    EXPECT_FALSE(other.isMinimized());
    TfrmKeloIDE::ShowOrRaise(nullptr);
}

TEST_F(RunTest, HelpIsCreatedOnceAndShownAgainOnEveryUse)
{
    window->AcHelp->trigger();
    QWidget *help = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != window.get() && w->isVisible() && w->parentWidget() == window.get())
            help = w;
    ASSERT_NE(help, nullptr);
    help->hide();
    window->AcHelp->trigger();
    EXPECT_TRUE(help->isVisible());
    int helpWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        helpWindows += w->parentWidget() == window.get() && w->isWindow() && w->isVisible();
    EXPECT_EQ(helpWindows, 1) << "the same window is shown again";

    window->AcAbout->trigger();
    EXPECT_EQ(window->abouts, 1);
}

TEST(AppSetup, WindowsFontNamesMapToInstalledFamilies)
{
    InstallFontSubstitutes();
    for (const char *name : {"Courier New", "Lucida Console", "Tahoma", "MS Sans Serif"}) {
        QFont font{QString::fromLatin1(name)};
        EXPECT_NE(QFontInfo(font).family(), QString()) << name;
        EXPECT_FALSE(QFont::substitutes(QString::fromLatin1(name)).isEmpty()) << name;
    }
    QFont mono{QStringLiteral("Courier New")};
    EXPECT_TRUE(QFontInfo(mono).fixedPitch()) << "the editor's font keeps its fixed pitch";
}
