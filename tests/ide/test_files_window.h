#pragma once
// A bare IDE window on a silent sandbox, with scripted modal dialogs, for the
// tests of the window's file, settings and search commands.
#include "editor/MemoCode.h"
#include "ide/fDlgSearchText.h"
#include "ide/fKeloIDE.h"
#include "ide/uWindowSettings.h"
#include "sandbox/uKeloSandbox.h"
#include "tests/ide/ide_test_window.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedDialogs.h"

#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class TSilentSandBox final : public TKeloSandBox
{
public:
    QString Debug() override { return QString(); }
    void setStd() override {}
};

using TFilesTestWindow = TIdeTestWindow<TSilentSandBox>;

// A window with scripted dialogs and its settings file in a temporary folder.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setDialogs(&dialogs);
        setSettingsFileName(dir.filePath("settings.ini"));
        window = std::make_unique<TFilesTestWindow>();
    }
    void TearDown() override
    {
        window.reset();
        setSettingsFileName(QString());
        setDialogs(nullptr);
    }
    TMemoCode &editor() { return *window->editor(); }

    QTemporaryDir dir;
    TScriptedDialogs dialogs;
    std::unique_ptr<TFilesTestWindow> window;
};
