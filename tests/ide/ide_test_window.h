#pragma once
// The IDE window on a sandbox of the test's choice, with the window's protected
// commands and parts opened to the tests. ReloadSandBox and ShowAbout are
// counted; the splash and the update address are the test's to set.
#include "ide/fKeloIDE.h"
#include "sandbox/uKeloSandbox.h"

#include <QListWidget>
#include <QTabWidget>

#include <array>

template <class TSandBox> class TIdeTestWindow final : public TfrmKeloIDE
{
public:
    TIdeTestWindow() { FormCreate(); }
    ~TIdeTestWindow() override { FormDestroy(); }

    TKeloSandBox *sandbox() override { return &box; }
    void ReloadSandBox() override { ++reloads; }
    QWidget *getSplash() override { return splash; }
    QString getUpdateUrl() override { return url; }
    QString getVersion() override { return QStringLiteral("2.0"); }
    void ShowAbout() override { ++abouts; }

    using TfrmKeloIDE::AcAbout;
    using TfrmKeloIDE::AcAddBreak;
    using TfrmKeloIDE::AcAddBreakExecute;
    using TfrmKeloIDE::AcClose;
    using TfrmKeloIDE::AcCopy;
    using TfrmKeloIDE::AcCut;
    using TfrmKeloIDE::AcDebugCode;
    using TfrmKeloIDE::AcDebugCodeExecute;
    using TfrmKeloIDE::AcDelayMax;
    using TfrmKeloIDE::AcDelayMin;
    using TfrmKeloIDE::AcEditorOptions;
    using TfrmKeloIDE::AcFind;
    using TfrmKeloIDE::AcFindExecute;
    using TfrmKeloIDE::AcFindNext;
    using TfrmKeloIDE::AcFindNextUpdate;
    using TfrmKeloIDE::AcFindPrev;
    using TfrmKeloIDE::AcFindReplace;
    using TfrmKeloIDE::AcFindReplaceExecute;
    using TfrmKeloIDE::AcFindReplaceUpdate;
    using TfrmKeloIDE::AcFocusNext;
    using TfrmKeloIDE::AcFontMinus;
    using TfrmKeloIDE::AcFontPlus;
    using TfrmKeloIDE::AcHelp;
    using TfrmKeloIDE::AcLoadCode;
    using TfrmKeloIDE::AcLoadCodeExecute;
    using TfrmKeloIDE::AcNew;
    using TfrmKeloIDE::AcNewExecute;
    using TfrmKeloIDE::AcParse;
    using TfrmKeloIDE::AcParseExecute;
    using TfrmKeloIDE::AcPaste;
    using TfrmKeloIDE::AcPause;
    using TfrmKeloIDE::AcPauseExecute;
    using TfrmKeloIDE::AcRemoveBreak;
    using TfrmKeloIDE::AcRemoveBreakExecute;
    using TfrmKeloIDE::AcSaveCode;
    using TfrmKeloIDE::AcSaveCodeAs;
    using TfrmKeloIDE::AcSaveCodeAsExecute;
    using TfrmKeloIDE::AcSaveCodeExecute;
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
    using TfrmKeloIDE::CheckSaved;
    using TfrmKeloIDE::codebak;
    using TfrmKeloIDE::DlgOpenCode;
    using TfrmKeloIDE::DlgSaveCode;
    using TfrmKeloIDE::doRun;
    using TfrmKeloIDE::doSearch4Update;
    using TfrmKeloIDE::FormActivate;
    using TfrmKeloIDE::gbSearchFromCaret;
    using TfrmKeloIDE::gsReplaceTextHistory;
    using TfrmKeloIDE::gsSearchText;
    using TfrmKeloIDE::gsSearchTextHistory;
    using TfrmKeloIDE::iCodeFileName;
    using TfrmKeloIDE::isNewVersion;
    using TfrmKeloIDE::lBoxBreaks;
    using TfrmKeloIDE::lBoxBreaksDblClick;
    using TfrmKeloIDE::lBoxCodeVarNames;
    using TfrmKeloIDE::lBoxCodeVarValues;
    using TfrmKeloIDE::lBoxErrors;
    using TfrmKeloIDE::lBoxErrorsDblClick;
    using TfrmKeloIDE::LoadCodeFile;
    using TfrmKeloIDE::MemoCodeDropFiles;
    using TfrmKeloIDE::MemoCodeGutterClick;
    using TfrmKeloIDE::MemoCodeMouseWheel;
    using TfrmKeloIDE::MemoCodeSpecialLineColors;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::miShowProgrambar;
    using TfrmKeloIDE::miShowToolbar;
    using TfrmKeloIDE::panelLeftWidth;
    using TfrmKeloIDE::ParseCode;
    using TfrmKeloIDE::PctrlMsg;
    using TfrmKeloIDE::PnTools;
    using TfrmKeloIDE::quickSearch;
    using TfrmKeloIDE::ReadSettings;
    using TfrmKeloIDE::redMarkedLine;
    using TfrmKeloIDE::SandboxMessage;
    using TfrmKeloIDE::setPanelLeftWidth;
    using TfrmKeloIDE::ToolBar;
    using TfrmKeloIDE::TrackBar;
    using TfrmKeloIDE::tsBreaks;
    using TfrmKeloIDE::tsErrors;
    using TfrmKeloIDE::tsMsg;
    using TfrmKeloIDE::UpdateCaretInfo;
    using TfrmKeloIDE::WriteSettings;

    // Caption of a tab of the message area.
    QString tabText(QWidget *tab) const { return PctrlMsg->tabText(PctrlMsg->indexOf(tab)); }
    // The five run actions' enabled states, in the order Start, Stop, Pause, Step, Parse.
    std::array<bool, 5> runActions() const
    {
        return {AcStart->isEnabled(), AcStop->isEnabled(), AcPause->isEnabled(), AcStep->isEnabled(),
                AcParse->isEnabled()};
    }
    QStringList items(const QListWidget *list) const
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->item(i)->text());
        return texts;
    }

    TSandBox box;
    int reloads = 0;
    int abouts = 0;
    QWidget *splash = nullptr;
    QString url;
};
