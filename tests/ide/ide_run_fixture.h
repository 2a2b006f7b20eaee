#pragma once
// An IDE window on a small "tick" sandbox, a clock that advances only when the
// window sleeps, and recorded modal messages: the run loop's 50 ms slices cost
// no real time, and a test can act "between slices" like a user would.
#include "base/uClock.h"
#include "editor/MemoCode.h"
#include "ide/fKeloIDE.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uWindowSettings.h"
#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"
#include "tests/ide/ide_test_window.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitFor.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// tick() counts its calls; ticks is an environment value; setStd counts resets.
class TTickSandBox final : public TKeloSandBox
{
public:
    QString Debug() override { return QString::number(ticks); }
    void setStd() override
    {
        ticks = 0;
        ++resets;
    }
    void RegisterFunctions(TProgram *prog) override
    {
        TKeloSandBox::RegisterFunctions(prog);
        DeclareFunction(prog, QStringLiteral("tick"), TType::void_, TParamList(), standardHandler(),
                        QStringLiteral("Zählt."), QString());
        DeclareFunction(prog, QStringLiteral("ticks"), TType::int_, TParamList(), standardHandler(),
                        QStringLiteral("Zählerstand."), QString());
    }
    void CallFunction(const QString &name, QStringList &params, QString &result, bool &handled) override
    {
        TKeloSandBox::CallFunction(name, params, result, handled);
        if (handled)
            return;
        handled = true;
        if (name == u"tick") {
            ++ticks;
            if (onTick)
                onTick();
        } else if (name == u"ticks")
            result = QString::number(ticks);
        else
            handled = false;
    }

    int ticks = 0;
    int resets = 0;
    std::function<void()> onTick;
};

// Time moves only when the window sleeps; onSleep runs after every slice.
class TSteppingClock final : public TClock
{
public:
    qint64 nowMs() override { return now; }
    void sleepMs(int ms) override
    {
        now += ms;
        ++sleeps;
        if (onSleep)
            onSleep();
    }
    qint64 now = 1000000;
    int sleeps = 0;
    std::function<void()> onSleep;
};

using TRunTestWindow = TIdeTestWindow<TTickSandBox>;

// A window with the stepping clock, the recorded dialogs and a settings file of
// its own installed: test programs run in parallel must not share settings.
class RunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        setSettingsFileName(settingsDir.filePath(QStringLiteral("grazlo.ini")));
        setClock(&clock);
        dialogs.unanswered = TDlgAnswer::No;
        setDialogs(&dialogs);
        window = std::make_unique<TRunTestWindow>();
    }
    void TearDown() override
    {
        clock.onSleep = nullptr;
        window.reset();
        setDialogs(nullptr);
        setClock(nullptr);
        setSettingsFileName(QString());
    }
    void setScript(const QStringList &lines) { window->editor()->setLines(lines); }
    TKeloDebugSyneditPlugin &plugin() { return *window->plugin(); }
    // The breakpoint entry a hit selected, or -1.
    int selectedBreak() const
    {
        const QList<QListWidgetItem *> selected = window->lBoxBreaks->selectedItems();
        return selected.isEmpty() ? -1 : window->lBoxBreaks->row(selected.first());
    }

    static constexpr std::array<bool, 5> Idle{true, false, false, true, true};
    static constexpr std::array<bool, 5> Running{false, true, true, false, false};
    static constexpr std::array<bool, 5> Paused{true, true, false, true, false};
    static constexpr std::array<bool, 5> IdleAfterFailedStart{true, false, false, false, true};

    QTemporaryDir settingsDir;
    TSteppingClock clock;
    TScriptedDialogs dialogs;
    std::unique_ptr<TRunTestWindow> window;
};
