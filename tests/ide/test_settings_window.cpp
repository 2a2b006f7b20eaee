// The window's settings: read at the first show, written at destruction, and
// an unwritable settings file reported with its path.
#include "ide/uWindowSettings.h"
#include "test_files_window.h"

#include <QAction>
#include <QFile>
#include <QSlider>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WindowSettings : public WindowTest
{
protected:
    QString settingsPath() const { return dir.filePath("settings.ini"); }
    TIniFile written() const { return TIniFile(settingsPath()); }
};
} // namespace

TEST_F(WindowSettings, WithoutAFileTheWindowStartsTopLeftWithBothBarsAtTheHighestSpeed)
{
    window->show();
    const TPlaceRect rect = NormalRect(window.get());
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_FALSE(window->ToolBar->isHidden());
    EXPECT_FALSE(window->PnTools->isHidden());
    EXPECT_TRUE(window->miShowToolbar->isChecked());
    EXPECT_TRUE(window->miShowProgrambar->isChecked());
    EXPECT_EQ(window->TrackBar->value(), 99);
    EXPECT_EQ(window->delay(), 0);
    EXPECT_TRUE(window->doSearch4Update);
}

TEST_F(WindowSettings, StoredValuesAreAppliedAtTheFirstShowOnly)
{
    WriteAll(settingsPath(), "[main]\nleft=0\ntop=20\nwidth=780\nheight=600\nstate=1\nshowtoolbar=0\n"
                             "showprogrambar=0\npaste=99\nsearch4update=0\npanelleft=240\n");
    window->show();
    EXPECT_EQ(NormalRect(window.get()), (TPlaceRect{0, 20, 780, 620}));
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->ToolBar->isHidden());
    EXPECT_FALSE(window->miShowToolbar->isChecked());
    EXPECT_TRUE(window->PnTools->isHidden());
    EXPECT_FALSE(window->miShowProgrambar->isChecked());
    EXPECT_EQ(window->TrackBar->value(), 99);
    EXPECT_EQ(window->delay(), 10);
    EXPECT_FALSE(window->doSearch4Update);
    EXPECT_EQ(window->panelLeftWidth(), 240);

    WriteAll(settingsPath(), "[main]\nleft=30\n");
    window->hide();
    window->show();
    EXPECT_EQ(NormalRect(window.get()).left, 0);
}

TEST_F(WindowSettings, DestructionWritesWhatTheNextStartReads)
{
    WriteAll(settingsPath(), "[main]\nleft=10\ntop=20\nwidth=780\nheight=600\nsearch4update=0\n");
    window->show();
    window->ToolBar->setVisible(false);
    window->TrackBar->setValue(37);
    window->setPanelLeftWidth(230);
    window.reset();

    const TIniFile ini = written();
    EXPECT_EQ(ini.ReadInteger("main", "left", -1), 10);
    EXPECT_EQ(ini.ReadInteger("main", "height", -1), 600);
    EXPECT_EQ(ini.ReadInteger("main", "state", -1), 0);
    EXPECT_EQ(ini.ReadString("main", "showtoolbar", ""), "0");
    EXPECT_EQ(ini.ReadString("main", "showprogrambar", ""), "1");
    EXPECT_EQ(ini.ReadInteger("main", "paste", -1), 37);
    EXPECT_EQ(ini.ReadInteger("main", "panelleft", -1), 230);
    EXPECT_EQ(ini.ReadString("main", "search4update", ""), "0");

    window = std::make_unique<TFilesTestWindow>();
    window->show();
    EXPECT_TRUE(window->ToolBar->isHidden());
    EXPECT_EQ(window->TrackBar->value(), 37);
    EXPECT_EQ(window->panelLeftWidth(), 230);
}

TEST_F(WindowSettings, AnUnwritableFileIsReportedWithItsPath)
{
    WriteAll(dir.filePath("blocker"), "a file, not a folder");
    const QString path = dir.filePath("blocker/settings.ini");
    setSettingsFileName(path);
    EXPECT_FALSE(window->WriteSettings());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Error);
    EXPECT_EQ(dialogs.shown[0].text, "In " + path + " kann nicht geschrieben werden");
}
