// The sheep window's layout on a fresh start, as a learner first sees it.
#include "ide/uWindowSettings.h"
#include "sheep/fGrazloIDE.h"
#include "tests/support/Printers.h"
#include "tests/support/WaitFor.h"

#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TLayoutWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::panelModuleHeight;
    using TfrmKeloIDE::PnModule;
};

// A fresh start: the window reads and writes a settings file of its own.
class QaSheepLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        setSettingsFileName(settingsDir.filePath("grazlo.ini"));
    }
    void TearDown() override { setSettingsFileName(QString()); }

    QTemporaryDir settingsDir;
};

} // namespace

// The designed client area (943 x 576, below the menu bar) leaves the lawn view
// its 361 pixels beside the environment values, and that is what gets stored.
TEST_F(QaSheepLayout, AFreshStartGivesTheLawnViewItsDesignedHeight)
{
    TLayoutWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.height() - window.menuBar()->height(), 576);
    EXPECT_TRUE(grazlo_test::waitFor([&] { return window.PnModule->height() == 361; }))
        << "lawn view height " << window.PnModule->height();
    EXPECT_EQ(window.panelModuleHeight(), 361) << "the height written to the settings";
}
