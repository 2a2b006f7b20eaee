// Faults found by using the IDE window like a learner: keys that must reach the
// right command while the editor has the focus.
#include "ide_run_fixture.h"

#include <QAction>
#include <QApplication>
#include <QShortcutEvent>
#include <QTest>

// With a US key layout the plus key is the "=" key: Ctrl+Shift on it must shrink
// the font. X11 offers that press both as Ctrl+Shift+= and as Ctrl++, which Qt
// hands to an action as an ambiguous shortcut.
TEST_F(RunTest, CtrlShiftOnThePlusKeyShrinksTheFontOnEveryKeyLayout)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->editor()->setFocus();
    ASSERT_TRUE(grazlo_test::waitFor([&] { return window->editor()->hasFocus(); }));
    auto fontSize = [this] { return window->editor()->codeFont().pointSize(); };
    const int start = fontSize();
    QTest::keyClick(window->editor(), Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fontSize(), start - 1) << "Ctrl+Shift+= (US layout)";

    QShortcutEvent bothClaim(QKeySequence(Qt::CTRL | Qt::Key_Plus), 0, true);
    QApplication::sendEvent(window->AcFontPlus, &bothClaim);
    EXPECT_EQ(fontSize(), start - 2) << "the press claimed by both font actions shrinks";

    QTest::keyClick(window->editor(), Qt::Key_Asterisk, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fontSize(), start - 3) << "Ctrl+Shift+* (German layout)";

    QTest::keyClick(window->editor(), Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(window->editor(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(fontSize(), start - 1) << "Ctrl + the plus key still enlarges on both layouts";
    EXPECT_TRUE(window->editor()->Lines().join("").isEmpty()) << "no key reached the text";
}
