#include "ide/uWindowSettings.h"

#include "base/uRuntimeFolders.h"

namespace {
const QString Main = QStringLiteral("main");

QString &redirectedSettingsFile()
{
    static QString path;
    return path;
}

TPlaceState StoredState(int value)
{
    // Minimised (1) and anything unknown reopen normal.
    return value == 2 ? TPlaceState::Maximized : TPlaceState::Normal;
}
} // namespace

QString SettingsFileName(const QString &executablePath) { return PortableSettingsFile(executablePath); }

QString SettingsFileName()
{
    if (!redirectedSettingsFile().isEmpty())
        return redirectedSettingsFile();
    return RuntimeFolders().SettingsFile;
}

void setSettingsFileName(const QString &path) { redirectedSettingsFile() = path; }

TMainSettings ReadMainSettings(const TIniFile &ini, const TMainSettings &current)
{
    TMainSettings s = current;
    s.Rect.left = ini.ReadInteger(Main, "left", 0);
    s.Rect.top = ini.ReadInteger(Main, "top", 0);
    s.Rect.right = s.Rect.left + ini.ReadInteger(Main, "width", current.Rect.width());
    s.Rect.bottom = s.Rect.top + ini.ReadInteger(Main, "height", current.Rect.height());
    s.State = StoredState(ini.ReadInteger(Main, "state", static_cast<int>(current.State)));
    s.PanelLeft = ini.ReadInteger(Main, "panelleft", current.PanelLeft);
    s.PanelModule = ini.ReadInteger(Main, "panelmodule", current.PanelModule);
    s.PanelMessages = ini.ReadInteger(Main, "panelmessages", current.PanelMessages);
    s.ShowToolbar = ini.ReadBool(Main, "showtoolbar", current.ShowToolbar);
    s.Paste = ini.ReadInteger(Main, "paste", 100);
    s.ShowProgrambar = ini.ReadBool(Main, "showprogrambar", current.ShowProgrambar);
    s.Search4Update = ini.ReadBool(Main, "search4update", current.Search4Update);
    return s;
}

void WriteMainSettings(TIniFile &ini, const TMainSettings &s)
{
    ini.WriteInteger(Main, "left", s.Rect.left);
    ini.WriteInteger(Main, "top", s.Rect.top);
    ini.WriteInteger(Main, "width", s.Rect.width());
    ini.WriteInteger(Main, "height", s.Rect.height());
    ini.WriteInteger(Main, "state", static_cast<int>(s.State));
    ini.WriteInteger(Main, "panelleft", s.PanelLeft);
    ini.WriteInteger(Main, "panelmodule", s.PanelModule);
    ini.WriteInteger(Main, "panelmessages", s.PanelMessages);
    ini.WriteBool(Main, "showtoolbar", s.ShowToolbar);
    ini.WriteBool(Main, "showprogrambar", s.ShowProgrambar);
    ini.WriteInteger(Main, "paste", s.Paste);
    ini.UpdateFile();
}

QString SettingsWriteErrorText(const QString &path)
{
    return QStringLiteral("In %1 kann nicht geschrieben werden").arg(path);
}
