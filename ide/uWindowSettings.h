#pragma once
// The main window's remembered settings: section "main" of the settings file
// beside the executable, read once at the first show and written once at
// destruction.
#include "base/uIniFile.h"
#include "ide/uPlacement.h"

#include <QString>

struct TMainSettings
{
    TPlaceRect Rect;
    TPlaceState State = TPlaceState::Normal;
    int PanelLeft = 393;
    int PanelModule = 361;
    int PanelMessages = 176;
    bool ShowToolbar = true;
    bool ShowProgrambar = true;
    // The speed track bar's position; the key is called "paste".
    int Paste = 100;
    bool Search4Update = true;
};

// "<executable path without extension>.ini"; a name without extension gets ".ini" appended.
QString SettingsFileName(const QString &executablePath);
// The settings file of this program (beside the executable, or the user's in
// an installation), unless a test redirected it.
QString SettingsFileName();
// Redirects the settings file (tests); an empty path restores the default.
void setSettingsFileName(const QString &path);

// Reads section "main". `current` supplies the defaults: the window's normal
// size and state, panel sizes, bar visibility and update flag; the position
// defaults to 0, 0 and the speed to 100. A stored minimised state reads as normal.
TMainSettings ReadMainSettings(const TIniFile &ini, const TMainSettings &current);

// Writes every key but "search4update", in the file's fixed order, to the file
// in one write. Throws TIniWriteError when it cannot be written; then no key is.
void WriteMainSettings(TIniFile &ini, const TMainSettings &settings);

// "In %s kann nicht geschrieben werden" with the path.
QString SettingsWriteErrorText(const QString &path);
