#include "base/uIniFile.h"

#include <QFileInfo>

bool IsIniSectionHeader(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(u'[') && trimmed.contains(u']');
}

QString IniSectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
}

QString IniKeyOf(const QString &line)
{
    const int eq = line.indexOf(u'=');
    if (eq <= 0 || line.trimmed().startsWith(u';'))
        return QString();
    return line.left(eq).trimmed();
}

QString IniValueOf(const QString &line)
{
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    // A value in matching quotes stands for the text between them.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

TIniWriteError::TIniWriteError(const QString &path, const QString &reason)
    : std::runtime_error(reason.toStdString()), Path(path), Reason(reason)
{
}

TIniFile::TIniFile(const QString &path) : iPath(path)
{
    // A profile file that is new to this system uses the platform's line ends.
    iFormat.LineBreak = TLineBreak::Lf;
    if (!QFileInfo(path).isFile())
        return;
    TTextLines text;
    QString error;
    if (!ReadTextFile(path, text, error)) {
        iUnreadable = error;
        return;
    }
    iLines = text.Lines;
    iFormat = text.Format;
}

int TIniFile::sectionLine(const QString &section) const
{
    for (int i = 0; i < iLines.size(); ++i)
        if (IsIniSectionHeader(iLines[i]) && IniSectionName(iLines[i]).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TIniFile::keyLine(int header, const QString &key) const
{
    for (int i = header + 1; i < iLines.size() && !IsIniSectionHeader(iLines[i]); ++i)
        if (IniKeyOf(iLines[i]).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TIniFile::sectionEnd(int header) const
{
    int end = header + 1;
    for (int i = header + 1; i < iLines.size() && !IsIniSectionHeader(iLines[i]); ++i)
        if (!iLines[i].trimmed().isEmpty())
            end = i + 1;
    return end;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    const int header = sectionLine(section);
    return header >= 0 && keyLine(header, key) >= 0;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const int header = sectionLine(section);
    const int line = header >= 0 ? keyLine(header, key) : -1;
    return line >= 0 ? IniValueOf(iLines[line]) : def;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok);
    return ok ? value : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    int header = sectionLine(section);
    if (header < 0) {
        // The text keeps ending with a line break (an empty last line), and a
        // blank line separates the new section from what is there.
        if (iLines.isEmpty() || !iLines.last().isEmpty())
            iLines.append(QString());
        if (iLines.size() > 1)
            iLines.insert(iLines.size() - 1, QString());
        iLines.insert(iLines.size() - 1, u'[' + section + u']');
        iLines.insert(iLines.size() - 1, entry);
    } else if (const int line = keyLine(header, key); line >= 0) {
        // The same line again is no change: the file need not be written.
        if (iLines[line] == entry)
            return;
        iLines[line] = entry;
    } else {
        iLines.insert(sectionEnd(header), entry);
    }
    iModified = true;
}

void TIniFile::UpdateFile()
{
    if (!iModified)
        return;
    // Writing over a file that could not be read would lose its other sections.
    if (!iUnreadable.isEmpty())
        throw TIniWriteError(iPath, iUnreadable);
    QString error;
    if (!WriteTextFile(iPath, iLines, iFormat, error))
        throw TIniWriteError(iPath, error);
    iModified = false;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteInteger(section, key, value ? 1 : 0);
}
