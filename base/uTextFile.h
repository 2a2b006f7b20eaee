#pragma once
// Text files as lines, so that a loaded file is written back byte for byte.
//
// Reading: a UTF-8 or UTF-16 byte-order mark selects that encoding; a file
// without one is UTF-8 when it is valid UTF-8, otherwise Windows-1252. A line
// ends at CR, LF, CR LF or U+2028. A text that ends with a line break gives an
// empty last line, so joining the lines with the remembered separator restores
// the text exactly.
//
// Writing goes through WriteFileBytes: a failed write leaves the file as it was.
// Whatever is written reads back as the same text.
#include <QByteArray>
#include <QString>
#include <QStringList>

enum class TTextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };
enum class TLineBreak { CrLf, Lf, Cr, LineSeparator };

// How a text is stored on disk; the default is what a never-loaded text gets.
struct TTextFormat
{
    TTextEncoding Encoding = TTextEncoding::Utf8;
    TLineBreak LineBreak = TLineBreak::CrLf;
    bool operator==(const TTextFormat &) const = default;
};

struct TTextLines
{
    QStringList Lines;
    TTextFormat Format;
    // The lines as a plain list reader sees them: a final line break adds no
    // empty line, and an empty text has no lines at all.
    QStringList ListLines() const;
};

QString LineBreakText(TLineBreak lineBreak);

// Splits text into lines and picks the style for saving: U+2028 if one
// occurred, else CR if there was CR but no LF, else LF if there was LF but no
// CR, else CR LF.
QStringList SplitLines(const QString &text, TLineBreak *lineBreak = nullptr);

TTextLines DecodeText(const QByteArray &bytes);

// Joins and encodes the lines. Where the format cannot hold the text, it is
// switched (and `format` updated) rather than lose what the user typed:
// - a Windows-1252 text with characters outside that code page to UTF-8;
// - a text whose bytes would read back as another text (Windows-1252 starting
//   with "þÿ", "ÿþ" or "ï»¿", or valid as UTF-8; UTF-8 starting with U+FEFF)
//   to UTF-8 with byte-order mark.
QByteArray EncodeText(const QStringList &lines, TTextFormat &format);

// The German notice that a save switched the encoding and why; empty when
// `saved` is the encoding the text was loaded with.
QString EncodingChangeNotice(const QString &path, TTextEncoding loaded, TTextEncoding saved);

// Reads a whole file. On failure returns false and sets `error` to a German
// message naming the file and the reason (SystemErrorText). `maxBytes` >= 0 refuses
// larger files before reading them.
bool ReadTextFile(const QString &path, TTextLines &text, QString &error, qint64 maxBytes = -1);

// Scripts are refused unread beyond this size, by the window and the
// command-line programs alike; it is far above any script a person writes.
constexpr qint64 MaxScriptBytes = qint64(16) << 20;
bool ReadScriptFile(const QString &path, TTextLines &text, QString &error);

// Writes the lines (see EncodeText for `format`). On failure returns false,
// sets `error` and leaves an existing file unchanged.
bool WriteTextFile(const QString &path, const QStringList &lines, TTextFormat &format, QString &error);
