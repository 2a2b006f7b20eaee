// The settings file: an existing file (any bytes) gets one value written;
// the file on disk then reads back that value, and every value the file held
// before reads as it did.
//
// Input: three length bytes, then the section, key and value (UTF-8) of that
// many bytes, then the file's bytes.
#include "FuzzTarget.h"
#include "ScratchFiles.h"

#include "base/uIniFile.h"

namespace {

struct TWrite
{
    QString Section, Key, Value;
    QByteArray File;
};

bool Split(const QByteArray &bytes, TWrite &write)
{
    if (bytes.size() < 3)
        return false;
    qsizetype pos = 3;
    QString *fields[] = {&write.Section, &write.Key, &write.Value};
    for (int i = 0; i < 3; ++i) {
        const auto length = static_cast<unsigned char>(bytes[i]) % 64;
        *fields[i] = QString::fromUtf8(bytes.mid(pos, length));
        pos += length;
    }
    write.File = bytes.mid(pos);
    return true;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0x2028));
}

bool IsTrimmed(const QString &text) { return text == text.trimmed(); }

// A name or value that the file's line form can hold as it is; others (a
// '=' in the key, a ']' in the section, enclosing quotes or blanks at an end)
// are stored in a form that reads back differently. The program writes only
// names of its own and values without line breaks.
bool Representable(const TWrite &w)
{
    const bool quoted = w.Value.size() >= 2 && (w.Value.front() == u'"' || w.Value.front() == u'\'') &&
                        w.Value.back() == w.Value.front();
    return !w.Section.isEmpty() && !w.Key.isEmpty() && IsTrimmed(w.Section) && IsTrimmed(w.Key) && IsTrimmed(w.Value) &&
           !w.Section.contains(u']') && !w.Key.contains(u'=') && !w.Key.startsWith(u';') && !w.Key.startsWith(u'[') &&
           !quoted;
}

// Every (section, key) the file's lines may name, found the simple way; a
// wrong guess only adds a pair that reads as the default before and after.
QList<QPair<QString, QString>> NamedPairs(const QStringList &lines)
{
    QList<QPair<QString, QString>> pairs;
    QString section;
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.contains(u']'))
            section = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
        else if (line.indexOf(u'=') > 0)
            pairs.append({section, line.left(line.indexOf(u'=')).trimmed()});
    }
    return pairs;
}

// A Windows-1252 file may still be written with bytes that look like a
// UTF-16 byte-order mark and then read back as another text.
bool WrittenAsFalseBom(const TTextFormat &before, const QString &path)
{
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(2) : QByteArray();
    return before.Encoding == TTextEncoding::Windows1252 && (head == "\xFE\xFF" || head == "\xFF\xFE");
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    TWrite write;
    if (!Split(bytes, write))
        return;
    const QString path = grazlo_fuzz::WriteScratch("grazlo.ini", write.File);
    TIniFile ini(path);
    const TTextLines before = DecodeText(write.File);
    try {
        ini.WriteString(write.Section, write.Key, write.Value);
        ini.UpdateFile();
    } catch (const TIniWriteError &) {
        grazlo_fuzz::Check(false, "a readable settings file can be written");
    }
    // A line break in a name or value makes more than one line on disk.
    if (WrittenAsFalseBom(before.Format, path) || HasLineBreak(write.Section + write.Key + write.Value))
        return;
    const TIniFile reread(path);
    grazlo_fuzz::Check(reread.ReadString(write.Section, write.Key, "-") ==
                           ini.ReadString(write.Section, write.Key, "-"),
                       "the written value reads back from the file as from memory");
    // Names and values the line form cannot hold may change other lines' meaning.
    if (!Representable(write))
        return;
    grazlo_fuzz::Check(reread.ReadString(write.Section, write.Key, "-") == write.Value,
                       "the written value reads back as written");
    const TIniFile original(grazlo_fuzz::WriteScratch("original.ini", write.File));
    for (const auto &[section, key] : NamedPairs(before.Lines)) {
        const bool written = section.compare(write.Section, Qt::CaseInsensitive) == 0 &&
                             key.compare(write.Key, Qt::CaseInsensitive) == 0;
        if (!written)
            grazlo_fuzz::Check(reread.ReadString(section, key, "-") == original.ReadString(section, key, "-"),
                               "the other values stay as they were");
    }
}
