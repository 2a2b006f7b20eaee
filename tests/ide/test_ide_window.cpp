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
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

namespace {
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

// What every row of the action table must satisfy, checked on the menus, the
// tool bar and the context menu built from it: each action can be reached
// there or by its key, a menu entry has a caption, a hint and a picture (a
// switch shows its tick instead), no key serves two actions, and separators
// only stand between entries.
TEST_F(RunTest, EveryActionIsPlacedNamedAndKeyedOnce)
{
    QStringList titles;
    QList<QWidget *> bars{window->ToolBar};
    for (QAction *a : window->menuBar()->actions()) {
        titles.append(a->text().remove('&'));
        bars.append(a->menu());
    }
    EXPECT_EQ(titles, QStringList({"Datei", "Bearbeiten", "Suchen", "Ansicht", "Programm", "?", "Debug"}));
    EXPECT_FALSE(window->menuBar()->actions().last()->isVisible());
    const QList<QMenu *> popups = window->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(popups.size(), 1);
    bars.append(popups[0]);

    QSet<QAction *> placed;
    for (QWidget *bar : bars) {
        const QList<QAction *> actions = bar->actions();
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const QAction *a = actions[i];
            placed.insert(actions[i]);
            if (a->isSeparator()) {
                EXPECT_TRUE(i > 0 && i + 1 < actions.size() && !actions[i - 1]->isSeparator()) << i;
            } else if (bar != window->ToolBar && !a->isCheckable()) {
                EXPECT_FALSE(a->text().isEmpty() || a->statusTip().isEmpty() || a->icon().isNull())
                    << a->text().toStdString();
            } else if (!a->text().isEmpty()) {
                EXPECT_FALSE(a->icon().isNull() && !a->isCheckable()) << a->text().toStdString();
            }
        }
    }
    // F6 alone is shared: it pauses a run that can be paused and otherwise moves the focus on.
    const QSet<QAction *> sharingF6{window->AcPause, window->AcFocusNext};
    QHash<QKeySequence, QAction *> keys;
    for (QAction *a : window->findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
        if (a->isSeparator() || a->menu() || a->text().isEmpty())
            continue;
        EXPECT_TRUE(placed.contains(a) || !a->shortcut().isEmpty()) << a->text().toStdString();
        for (const QKeySequence &key : a->shortcuts()) {
            EXPECT_TRUE(!keys.contains(key) || (QSet<QAction *>{keys[key], a} == sharingF6))
                << key.toString().toStdString();
            keys.insert(key, a);
        }
    }
    EXPECT_TRUE(window->miShowToolbar->isChecked());
    EXPECT_TRUE(window->miShowProgrambar->isChecked());
}

TEST_F(RunTest, ActionsOffAtCreationAndTheProgramBarsTexts)
{
    EXPECT_FALSE(window->AcSaveCode->isEnabled());
    EXPECT_FALSE(window->AcStop->isEnabled());
    EXPECT_FALSE(window->AcPause->isEnabled());
    for (QAction *on : {window->AcStart, window->AcStep, window->AcParse, window->AcNew, window->AcClose})
        EXPECT_TRUE(on->isEnabled()) << on->text().toStdString();
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

TEST_F(ShownWindowTest, EveryShortcutReachesItsActionWhileTheEditorHasTheFocus)
{
    window->AcSaveCode->setEnabled(true); // shortcuts work while their action is enabled
    int tried = 0;
    // The Edit actions are not among them: their keys belong to the focused text control.
    for (QAction *action : window->actions()) {
        if (action->shortcut().isEmpty())
            continue;
        SCOPED_TRACE(action->text().toStdString());
        ++tried;
        action->setEnabled(true);
        // Only the shortcut is under test, not what the command does.
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(action, &QAction::triggered);
        const QKeyCombination key = action->shortcut()[0];
        QTest::keyClick(window->editor(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(spy.count(), 1);
    }
    EXPECT_EQ(tried, 25);
    EXPECT_TRUE(window->editor()->Lines().join("").isEmpty()) << "no key reached the text";
}

TEST_F(ShownWindowTest, EditActionsFollowTheFocusedTextControl)
{
    TMemoCode &editor = *window->editor();
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

    window->editor()->setCaretXY({9, 12});
    QTest::keyClick(window->editor(), Qt::Key_Right); // past the line's end
    QTest::keyClick(window->editor(), Qt::Key_Right);
    window->UpdateCaretInfo();
    EXPECT_EQ(window->statusText(4), "Spalte  11 ");
}

TEST_F(RunTest, FontSizeChangesByOnePointAndTheWheelWithCtrlDoesTheSame)
{
    TMemoCode &editor = *window->editor();
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
