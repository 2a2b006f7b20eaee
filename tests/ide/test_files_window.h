#pragma once
// A bare IDE window on a silent sandbox, with scripted modal dialogs, for the
// tests of the window's file, settings and search commands.
#include "editor/MemoCode.h"
#include "ide/fDlgSearchText.h"
#include "ide/fKeloIDE.h"
#include "ide/uDialogs.h"
#include "ide/uWindowSettings.h"
#include "sandbox/uKeloSandbox.h"
#include "tests/support/Printers.h"

#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

class TSilentSandBox final : public TKeloSandBox
{
public:
    QString Debug() override { return QString(); }
    void setStd() override {}
};

// Records every modal request and answers from scripts.
class TScriptedDialogs final : public TDialogs
{
public:
    struct TShown
    {
        TDlgKind kind;
        QString title;
        QString text;
    };
    QList<TShown> shown;                 // messages and questions, in order
    QList<TDlgAnswer> answers;           // for ask(), consumed in order
    QList<TDlgAnswer> replaceAnswers;    // for confirmReplace(), consumed in order
    QStringList replaceQuestions;        // texts confirmReplace() was asked about
    QString openName, saveName;          // chosen file names ("" = cancelled)
    QString saveChosenFilter;            // "" = the first one offered
    QString saveFilter, openFolder;
    int saveDialogs = 0;
    // Fills the search dialog; returns whether it is confirmed with OK.
    std::function<bool(TTextSearchDialog &)> searchDialog;

    void message(QWidget *, TDlgKind kind, const QString &title, const QString &text) override
    {
        shown.append({kind, title, text});
    }
    TDlgAnswer ask(QWidget *, TDlgKind kind, const QString &title, const QString &text,
                   const QList<TDlgAnswer> &) override
    {
        shown.append({kind, title, text});
        return answers.isEmpty() ? TDlgAnswer::Cancel : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &, const QString &folder, const QString &) override
    {
        openFolder = folder;
        return openName;
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                         const QString &) override
    {
        return saveFileChoice(parent, caption, folder, filter).path;
    }
    TSaveChoice saveFileChoice(QWidget *, const QString &, const QString &, const QString &filter) override
    {
        ++saveDialogs;
        saveFilter = filter;
        return {saveName, saveChosenFilter.isEmpty() ? filter.section(";;", 0, 0) : saveChosenFilter};
    }
    bool execSearchDialog(TTextSearchDialog &dialog) override
    {
        return searchDialog && searchDialog(dialog);
    }
    TDlgAnswer confirmReplace(const QRect &, int, int, int, const QString &text) override
    {
        replaceQuestions.append(text);
        return replaceAnswers.isEmpty() ? TDlgAnswer::Cancel : replaceAnswers.takeFirst();
    }
    QStringList texts() const
    {
        QStringList list;
        for (const TShown &s : shown)
            list.append(s.text);
        return list;
    }
};

// Opens the window's protected commands to the tests.
class TFilesTestWindow final : public TfrmKeloIDE
{
public:
    TFilesTestWindow() { FormCreate(); }
    ~TFilesTestWindow() override { FormDestroy(); }

    TKeloSandBox *sandbox() override { return &iSandbox; }
    void ReloadSandBox() override {}
    QWidget *getSplash() override { return nullptr; }
    QString getUpdateUrl() override { return QString(); }
    QString getVersion() override { return QStringLiteral("2.0"); }
    void ShowAbout() override {}

    using TfrmKeloIDE::AcDebugCodeExecute;
    using TfrmKeloIDE::AcStepExecute;
    using TfrmKeloIDE::AcFind;
    using TfrmKeloIDE::AcFindExecute;
    using TfrmKeloIDE::AcFindNext;
    using TfrmKeloIDE::AcFindPrev;
    using TfrmKeloIDE::AcFindReplace;
    using TfrmKeloIDE::AcFindReplaceExecute;
    using TfrmKeloIDE::AcFindNextUpdate;
    using TfrmKeloIDE::AcFindReplaceUpdate;
    using TfrmKeloIDE::AcLoadCodeExecute;
    using TfrmKeloIDE::AcNewExecute;
    using TfrmKeloIDE::AcSaveCode;
    using TfrmKeloIDE::AcSaveCodeAsExecute;
    using TfrmKeloIDE::AcSaveCodeExecute;
    using TfrmKeloIDE::CheckSaved;
    using TfrmKeloIDE::codebak;
    using TfrmKeloIDE::doSearch4Update;
    using TfrmKeloIDE::DlgOpenCode;
    using TfrmKeloIDE::DlgSaveCode;
    using TfrmKeloIDE::gbSearchFromCaret;
    using TfrmKeloIDE::gsSearchText;
    using TfrmKeloIDE::gsSearchTextHistory;
    using TfrmKeloIDE::gsReplaceTextHistory;
    using TfrmKeloIDE::iCodeFileName;
    using TfrmKeloIDE::LoadCodeFile;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::MemoCodeDropFiles;
    using TfrmKeloIDE::miShowProgrambar;
    using TfrmKeloIDE::miShowToolbar;
    using TfrmKeloIDE::PnTools;
    using TfrmKeloIDE::quickSearch;
    using TfrmKeloIDE::ReadSettings;
    using TfrmKeloIDE::ToolBar;
    using TfrmKeloIDE::TrackBar;
    using TfrmKeloIDE::WriteSettings;
    using TfrmKeloIDE::panelLeftWidth;
    using TfrmKeloIDE::setPanelLeftWidth;

private:
    TSilentSandBox iSandbox;
};

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
    MemoCode &editor() { return *window->editor(); }

    QTemporaryDir dir;
    TScriptedDialogs dialogs;
    std::unique_ptr<TFilesTestWindow> window;
};
