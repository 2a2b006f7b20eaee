// The window's settings: read at the first show, written at destruction.
#include "ide/fKeloIDE.h"

#include "ide/uDialogs.h"
#include "ide/uWindowSettings.h"

#include <QAction>
#include <QApplication>
#include <QSlider>
#include <QToolBar>

TMainSettings TfrmKeloIDE::CurrentSettings() const
{
    TMainSettings s;
    s.Rect = NormalRect(this);
    s.State = WindowPlaceState(this);
    s.PanelLeft = panelLeftWidth();
    s.PanelModule = panelModuleHeight();
    s.PanelMessages = panelMessagesHeight();
    // isHidden, not isVisible: at destruction the window itself is hidden already.
    s.ShowToolbar = !ToolBar->isHidden();
    s.ShowProgrambar = !PnTools->isHidden();
    s.Paste = TrackBar->value();
    s.Search4Update = doSearch4Update;
    return s;
}

void TfrmKeloIDE::ReadSettings()
{
    const TMainSettings s = ReadMainSettings(TIniFile(SettingsFileName()), CurrentSettings());
    SetFormPlacement(this, s.Rect, s.State);
    setPanelLeftWidth(s.PanelLeft);
    setPanelModuleHeight(s.PanelModule);
    setPanelMessagesHeight(s.PanelMessages);
    ToolBar->setVisible(s.ShowToolbar);
    SetSpeed(s.Paste);
    miShowToolbar->setChecked(!ToolBar->isHidden());
    PnTools->setVisible(s.ShowProgrambar);
    miShowProgrambar->setChecked(!PnTools->isHidden());
    doSearch4Update = s.Search4Update;
}

bool TfrmKeloIDE::WriteSettings()
{
    try {
        TIniFile ini(SettingsFileName());
        WriteMainSettings(ini, CurrentSettings());
    } catch (const TIniWriteError &error) {
        Dialogs().message(this, TDlgKind::Error, QApplication::applicationDisplayName(),
                          SettingsWriteErrorText(error.Path));
        return false;
    }
    return true;
}
