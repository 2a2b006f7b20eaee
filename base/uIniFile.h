#pragma once
// A profile (INI) file: sections in square brackets and key=value lines.
// Section and key names match regardless of letter case. Writing changes only
// the line of the written key (or adds it), so other sections, comments and the
// file's encoding and line breaks stay as they were. Writes change the text in
// memory; UpdateFile puts all of them on the disk in one safe write.
#include "base/uTextFile.h"

#include <QString>
#include <QStringList>
#include <stdexcept>

// A write that could not reach the disk; Path names the file.
class TIniWriteError : public std::runtime_error
{
public:
    explicit TIniWriteError(const QString &path, const QString &reason);
    QString Path;
    QString Reason;
};

// The reader's rules for one line, for readers that report line numbers.
// A section header is "[name]" (surrounding blanks ignored).
bool IsIniSectionHeader(const QString &line);
QString IniSectionName(const QString &line);
// The key of a key=value line; empty for comments (";") and other lines.
QString IniKeyOf(const QString &line);
// The value after the first "="; matching quotes around it are dropped.
QString IniValueOf(const QString &line);

class TIniFile
{
public:
    // Reads the file; a missing or unreadable file reads as empty, and an
    // unreadable one is never written.
    explicit TIniFile(const QString &path);

    QString FileName() const { return iPath; }
    // The file's lines as read; empty when it is missing or unreadable.
    const QStringList &Lines() const { return iLines; }
    // Why an existing file could not be read; empty when it could.
    const QString &Unreadable() const { return iUnreadable; }
    bool ValueExists(const QString &section, const QString &key) const;
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // A value that is not a decimal integer reads as def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    // True for any non-zero integer.
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    // Writes the text with every change since the last update to the file, or
    // nothing when nothing changed; throws TIniWriteError when the file cannot
    // be written (also when it existed but could not be read), and then leaves
    // it as it was.
    void UpdateFile();

private:
    // Index of the section's header line, -1 when absent.
    int sectionLine(const QString &section) const;
    // Index of the key's line inside the section starting at header, -1 when absent.
    int keyLine(int header, const QString &key) const;
    // Index after the section's last non-blank line.
    int sectionEnd(int header) const;

    QString iPath;
    QStringList iLines;
    TTextFormat iFormat;
    // Why an existing file could not be read; empty when it could.
    QString iUnreadable;
    // Whether iLines holds writes that are not in the file yet.
    bool iModified = false;
};
