#pragma once
// A sheep window of the test's class, shown and active with the editor
// focused, on default settings in a file of its own and a working folder of
// its own.
#include "ide/uWindowSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

template <class TWindow> class TShownSheepWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        setSettingsFileName(work.filePath("grazlo.ini"));
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
        window = std::make_unique<TWindow>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->editor()->setFocus();
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
