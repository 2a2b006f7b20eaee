#pragma once
// Prepares the application object for the IDE windows: German texts in Qt's
// standard dialogs and in the editor's context menu, fonts standing in for the
// window fonts the forms name, modal engine messages shown as message boxes,
// and the application icon.
#include <QIcon>

class QApplication;

// Call once, right after the application object exists and before any window.
void SetupApplication(QApplication &app);

// Font families standing in for the names the windows use; exposed for tests.
void InstallFontSubstitutes();
