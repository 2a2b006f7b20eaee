#pragma once
// Where the program finds its shipped files and keeps the user's, in one of
// two forms:
// - portable: the runnable folder (the build's bin/ or a copy of it) holds the
//   programs, the data and the settings file beside the executable;
// - installed: the programs in <prefix>/bin, the data in <prefix>/share/grazlo,
//   the settings under $XDG_CONFIG_HOME/grazlo and the user's scripts and
//   lawns in the visible folder ~/Grazlo.
// The form is decided once at start-up; the rest of the program asks only for
// the folders below.
#include <QString>

enum class TRuntimeForm { Portable, Installed };

struct TRuntimeFolders
{
    TRuntimeForm Form = TRuntimeForm::Portable;
    // The shipped pictures, Code/, Greens/, Aufgaben/ and debugcode.klc.
    QString DataFolder;
    // The window settings (and the resource settings of an installation).
    QString SettingsFile;
    // Where the user's Code/, Greens/ and Aufgaben/ live; an installed IDE makes it the
    // current folder.
    QString WorkingFolder;
    // The current folder when the program started, for names given on the
    // command line.
    QString StartFolder;
};

// What the decision depends on, so that tests can supply their own.
struct TRuntimeEnvironment
{
    QString ExecutablePath;
    QString Home;
    QString XdgConfigHome;
    QString CurrentFolder;
};

// Portable when the executable's folder is writable and holds the data
// (Code/ and Greens/); installed otherwise. An installation's data lie in
// share/grazlo beside bin/, unless a read-only runnable folder holds them itself.
TRuntimeFolders DecideRuntimeFolders(const TRuntimeEnvironment &env);

// The running program's environment: its executable, $HOME, $XDG_CONFIG_HOME
// and the current folder.
TRuntimeEnvironment CurrentRuntimeEnvironment();

// The process's folders, decided at the first call.
const TRuntimeFolders &RuntimeFolders();

// "<executable path without extension>.ini"; a name without extension gets ".ini" appended.
QString PortableSettingsFile(const QString &executablePath);

// Installed form: creates the settings folder and the working folder, fills a
// missing Code/, Greens/ or Aufgaben/ there from the shipped ones (existing
// files are never touched) and makes the working folder the current one. The portable
// form changes nothing. False with a German text when a folder cannot be made.
bool PrepareUserFolders(const TRuntimeFolders &folders, QString &error);
