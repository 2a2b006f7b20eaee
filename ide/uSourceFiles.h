#pragma once
// The rules behind the source-file commands that need no window: whether the
// editor's text differs from the text last loaded or saved, which command-line
// argument or dropped file to load, and the file dialogs' filters.
#include <QString>
#include <QStringList>

// True when no line holds anything but white space (codes up to 32).
bool IsBlankText(const QStringList &lines);

// Whether the editor's lines differ from codebak, the lines of the last load or
// save; caretLine is the caret's line counted from 1. Trailing white space of
// the caret's line and white space around the whole text do not count.
bool IsCodeModified(const QStringList &lines, const QStringList &codebak, int caretLine);

// The first argument (program name excluded) that is not a switch. A switch
// begins with "/"; since absolute paths begin with "/" here too, an argument
// with a further "/" or naming an existing file is a path ("/x" is a switch,
// "/home/a.klc" is not). Empty when there is none.
QString CommandLineFile(const QStringList &arguments);

// The first path that is not empty and names an existing file; empty when none does.
QString FirstExistingFile(const QStringList &paths);

// "Name|*.ext|Name|*.*" as a file dialog's filter "Name (*.ext);;Name (*.*)";
// a filter without "|" is taken as it is.
QString DialogFilter(const QString &filter);
// The extension a name filter stands for: "GrazloCode (*.gzc)" gives "gzc";
// a filter for all files ("Alle Dateien (*)") gives none.
QString FilterSuffix(const QString &nameFilter);
// The file to save under: a name given without extension gets the extension
// of the filter chosen with it; any other name stays as given.
QString SaveNameForFilter(const QString &path, const QString &nameFilter);
