#pragma once
// Sheep window fixtures: default settings in a file and working folder of the
// test's own; and the window shown, active, with the editor focused.
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
    using TfrmKeloIDE::AcEditorOptions, TfrmKeloIDE::AcHelp, TfrmKeloIDE::AcParseExecute, TfrmKeloIDE::AcStartExecute,
        TfrmKeloIDE::LAnnounce, TfrmKeloIDE::lBoxBreaks, TfrmKeloIDE::lBoxCodeVarNames, TfrmKeloIDE::lBoxCodeVarValues,
        TfrmKeloIDE::lBoxErrors, TfrmKeloIDE::MemoLog, TfrmKeloIDE::PctrlMsg, TfrmKeloIDE::PopupBreaks,
        TfrmKeloIDE::redMarkedLine, TfrmKeloIDE::StepProgram, TfrmKeloIDE::TrackBar;
};

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
