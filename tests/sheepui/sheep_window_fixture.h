#pragma once
// Fixtures for tests of the sheep window: a window of the test's class on
// default settings, and the window with the parts the keyboard and
// accessibility tests reach opened, shown and active.
#include "editor/MemoCode.h"
#include "ide/uWindowSettings.h"
#include "sheep/fGrazloIDE.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

class TOpenSheepWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcEditorOptions;
    using TfrmKeloIDE::AcHelp;
    using TfrmKeloIDE::AcParseExecute;
    using TfrmKeloIDE::AcStartExecute;
    using TfrmKeloIDE::LAnnounce;
    using TfrmKeloIDE::lBoxBreaks;
    using TfrmKeloIDE::lBoxCodeVarNames;
    using TfrmKeloIDE::lBoxCodeVarValues;
    using TfrmKeloIDE::lBoxErrors;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::PctrlMsg;
    using TfrmKeloIDE::PopupBreaks;
    using TfrmKeloIDE::redMarkedLine;
    using TfrmKeloIDE::StepProgram;
    using TfrmKeloIDE::TrackBar;
};

// Every test starts from the default window settings, in a file of its own,
// and in a working folder of its own.
template <class TWindow> class TSheepWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        setSettingsFileName(work.filePath("grazlo.ini"));
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
        window = std::make_unique<TWindow>();
    }
    void TearDown() override
    {
        window.reset();
        setSettingsFileName(QString());
        QDir::setCurrent(oldDir);
    }

    QTemporaryDir work;
    QString oldDir;
    std::unique_ptr<TWindow> window;
};

// The window shown and active, the editor focused.
class TShownSheepWindow : public TSheepWindowFixture<TOpenSheepWindow>
{
protected:
    void SetUp() override
    {
        TSheepWindowFixture::SetUp();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        editor()->setFocus();
    }
    TMemoCode *editor() const { return window->editor(); }
    static QWidget *focus() { return QApplication::focusWidget(); }
};
