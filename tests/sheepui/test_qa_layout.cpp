// The sheep window's layout on a fresh start, as a learner first sees it.
#include "ide/uWindowSettings.h"
#include "sheep/fGrazloIDE.h"

#include <QFile>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TLayoutWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::panelModuleHeight;
    using TfrmKeloIDE::PnModule;
};

} // namespace

// The designed client area (943 x 576, below the menu bar) leaves the lawn view
// its 361 pixels beside the environment values, and that is what gets stored.
TEST(QaSheepLayout, AFreshStartGivesTheLawnViewItsDesignedHeight)
{
    QFile::remove(SettingsFileName());
    TLayoutWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.height() - window.menuBar()->height(), 576);
    QTRY_COMPARE(window.PnModule->height(), 361);
    EXPECT_EQ(window.panelModuleHeight(), 361) << "the height written to the settings";
}
