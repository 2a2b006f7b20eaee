#pragma once
// An IDE window on a small "tick" sandbox, a clock that advances only when the
// window sleeps, and recorded modal messages: the run loop's 50 ms slices cost
// no real time, and a test can act "between slices" like a user would.
#include "base/uClock.h"
#include "editor/MemoCode.h"
#include "ide/fKeloIDE.h"
#include "ide/uDialogs.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uWindowSettings.h"
#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"
#include "tests/support/WaitFor.h"
#include "tests/support/Printers.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <array>
#include <functional>
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
        }
        else if (name == u"ticks")
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

class TRecordingDialogs final : public TDialogs
{
public:
    void message(QWidget *, TDlgKind kind, const QString &, const QString &text) override
    {
        kinds.append(kind);
        texts.append(text);
    }
    TDlgAnswer ask(QWidget *, TDlgKind, const QString &, const QString &text, const QList<TDlgAnswer> &) override
    {
        texts.append(text);
        return TDlgAnswer::No;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QList<TDlgKind> kinds;
    QStringList texts;
};

// Opens the window's protected run control to the tests; ReloadSandBox is counted.
class TRunTestWindow final : public TfrmKeloIDE
{
public:
    TRunTestWindow() { FormCreate(); }
    ~TRunTestWindow() override { FormDestroy(); }

    TKeloSandBox *sandbox() override { return &box; }
    void ReloadSandBox() override { ++reloads; }
    QWidget *getSplash() override { return splash; }
    QString getUpdateUrl() override { return QString(); }
    QString getVersion() override { return QStringLiteral("2.0"); }
    void ShowAbout() override { ++abouts; }

    using TfrmKeloIDE::AcAbout;
    using TfrmKeloIDE::AcAddBreak;
    using TfrmKeloIDE::AcAddBreakExecute;
    using TfrmKeloIDE::AcClose;
    using TfrmKeloIDE::AcCopy;
    using TfrmKeloIDE::AcCut;
    using TfrmKeloIDE::AcDebugCode;
    using TfrmKeloIDE::AcDelayMax;
    using TfrmKeloIDE::AcDelayMin;
    using TfrmKeloIDE::AcEditorOptions;
    using TfrmKeloIDE::AcFind;
    using TfrmKeloIDE::AcFindNext;
    using TfrmKeloIDE::AcFindPrev;
    using TfrmKeloIDE::AcFindReplace;
    using TfrmKeloIDE::AcFontMinus;
    using TfrmKeloIDE::AcFontPlus;
    using TfrmKeloIDE::AcHelp;
    using TfrmKeloIDE::AcLoadCode;
    using TfrmKeloIDE::AcNew;
    using TfrmKeloIDE::AcParse;
    using TfrmKeloIDE::AcParseExecute;
    using TfrmKeloIDE::AcPaste;
    using TfrmKeloIDE::AcPause;
    using TfrmKeloIDE::AcPauseExecute;
    using TfrmKeloIDE::AcRemoveBreak;
    using TfrmKeloIDE::AcRemoveBreakExecute;
    using TfrmKeloIDE::AcSaveCode;
    using TfrmKeloIDE::AcSaveCodeAs;
    using TfrmKeloIDE::AcSelectAll;
    using TfrmKeloIDE::AcStart;
    using TfrmKeloIDE::AcStartExecute;
    using TfrmKeloIDE::AcStep;
    using TfrmKeloIDE::AcStepExecute;
    using TfrmKeloIDE::AcStop;
    using TfrmKeloIDE::AcStopExecute;
    using TfrmKeloIDE::BtCheck;
    using TfrmKeloIDE::BtPause;
    using TfrmKeloIDE::BtStart;
    using TfrmKeloIDE::BtStep;
    using TfrmKeloIDE::BtStop;
    using TfrmKeloIDE::doRun;
    using TfrmKeloIDE::FormActivate;
    using TfrmKeloIDE::lBoxBreaks;
    using TfrmKeloIDE::lBoxBreaksDblClick;
    using TfrmKeloIDE::lBoxCodeVarNames;
    using TfrmKeloIDE::lBoxCodeVarValues;
    using TfrmKeloIDE::lBoxErrors;
    using TfrmKeloIDE::lBoxErrorsDblClick;
    using TfrmKeloIDE::MemoCodeGutterClick;
    using TfrmKeloIDE::MemoCodeMouseWheel;
    using TfrmKeloIDE::MemoCodeSpecialLineColors;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::miShowProgrambar;
    using TfrmKeloIDE::miShowToolbar;
    using TfrmKeloIDE::ParseCode;
    using TfrmKeloIDE::PctrlMsg;
    using TfrmKeloIDE::PnTools;
    using TfrmKeloIDE::redMarkedLine;
    using TfrmKeloIDE::SandboxMessage;
    using TfrmKeloIDE::ToolBar;
    using TfrmKeloIDE::TrackBar;
    using TfrmKeloIDE::tsBreaks;
    using TfrmKeloIDE::tsErrors;
    using TfrmKeloIDE::tsMsg;
    using TfrmKeloIDE::UpdateCaretInfo;

    // Caption of a tab of the message area.
    QString tabText(QWidget *tab) const { return PctrlMsg->tabText(PctrlMsg->indexOf(tab)); }
    // The five run actions' enabled states, in the order Start, Stop, Pause, Step, Parse.
    std::array<bool, 5> runActions() const
    {
        return {AcStart->isEnabled(), AcStop->isEnabled(), AcPause->isEnabled(), AcStep->isEnabled(),
                AcParse->isEnabled()};
    }
    QStringList items(const QListWidget *box) const
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->item(i)->text());
        return texts;
    }

    TTickSandBox box;
    int reloads = 0;
    int abouts = 0;
    QWidget *splash = nullptr;
};

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

    static constexpr std::array<bool, 5> Idle{true, false, false, true, true};
    static constexpr std::array<bool, 5> Running{false, true, true, false, false};
    static constexpr std::array<bool, 5> Paused{true, true, false, true, false};
    static constexpr std::array<bool, 5> IdleAfterFailedStart{true, false, false, false, true};

    QTemporaryDir settingsDir;
    TSteppingClock clock;
    TRecordingDialogs dialogs;
    std::unique_ptr<TRunTestWindow> window;
};
