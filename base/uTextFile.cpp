#include "base/uTextFile.h"

#include "base/uFileBytes.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <optional>

namespace {

const QChar kLineSeparator(0x2028);

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. The five unassigned
// bytes map to the control character of the same number so they survive a
// round trip.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

std::optional<char> cp1252Byte(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

std::optional<QByteArray> encodeCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const std::optional<char> b = cp1252Byte(ch);
        if (!b)
            return std::nullopt;
        bytes.append(*b);
    }
    return bytes;
}

QByteArray bomOf(TTextEncoding encoding)
{
    switch (encoding) {
    case TTextEncoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF", 3);
    case TTextEncoding::Utf16LE:
        return QByteArray("\xFF\xFE", 2);
    case TTextEncoding::Utf16BE:
        return QByteArray("\xFE\xFF", 2);
    default:
        return {};
    }
}

QStringConverter::Encoding converterOf(TTextEncoding encoding)
{
    switch (encoding) {
    case TTextEncoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case TTextEncoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

// Encodes text (without byte-order mark) in a Unicode encoding.
QByteArray encodeUnicode(const QString &text, TTextEncoding encoding)
{
    QStringEncoder encoder(converterOf(encoding), QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

// Decodes the bytes after a byte-order mark, keeping any further U+FEFF as
// text. Accepted only if encoding the result gives the same bytes again, so
// that malformed input is never silently altered on saving.
std::optional<QString> decodeExactly(const QByteArray &payload, TTextEncoding encoding)
{
    QStringDecoder decoder(converterOf(encoding), QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(payload);
    if (decoder.hasError() || encodeUnicode(text, encoding) != payload)
        return std::nullopt;
    return text;
}

std::optional<TTextEncoding> encodingFromBom(const QByteArray &bytes)
{
    for (TTextEncoding e : {TTextEncoding::Utf8Bom, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE})
        if (bytes.startsWith(bomOf(e)))
            return e;
    return std::nullopt;
}

QString decodeWithFormat(const QByteArray &bytes, TTextEncoding &encoding)
{
    if (const auto bomEncoding = encodingFromBom(bytes)) {
        const QByteArray payload = bytes.mid(bomOf(*bomEncoding).size());
        if (auto text = decodeExactly(payload, *bomEncoding)) {
            encoding = *bomEncoding;
            return *text;
        }
    }
    if (auto text = decodeExactly(bytes, TTextEncoding::Utf8)) {
        encoding = TTextEncoding::Utf8;
        return *text;
    }
    encoding = TTextEncoding::Windows1252;
    return decodeCp1252(bytes);
}

TLineBreak styleFrom(bool sawCr, bool sawLf, bool sawSeparator)
{
    if (sawSeparator)
        return TLineBreak::LineSeparator;
    if (sawCr && !sawLf)
        return TLineBreak::Cr;
    if (sawLf && !sawCr)
        return TLineBreak::Lf;
    return TLineBreak::CrLf;
}

} // namespace

QStringList TTextLines::ListLines() const
{
    QStringList lines = Lines;
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString LineBreakText(TLineBreak lineBreak)
{
    switch (lineBreak) {
    case TLineBreak::Lf:
        return QStringLiteral("\n");
    case TLineBreak::Cr:
        return QStringLiteral("\r");
    case TLineBreak::LineSeparator:
        return QString(kLineSeparator);
    case TLineBreak::CrLf:
        break;
    }
    return QStringLiteral("\r\n");
}

QStringList SplitLines(const QString &text, TLineBreak *lineBreak)
{
    QStringList lines;
    bool sawCr = false, sawLf = false, sawSeparator = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch != u'\r' && ch != u'\n' && ch != kLineSeparator)
            continue;
        lines.append(text.mid(start, i - start));
        sawCr |= ch == u'\r';
        sawLf |= ch == u'\n';
        sawSeparator |= ch == kLineSeparator;
        if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            sawLf = true;
            ++i;
        }
        start = i + 1;
    }
    lines.append(text.mid(start));
    if (lineBreak)
        *lineBreak = styleFrom(sawCr, sawLf, sawSeparator);
    return lines;
}

TTextLines DecodeText(const QByteArray &bytes)
{
    TTextLines result;
    const QString text = decodeWithFormat(bytes, result.Format.Encoding);
    result.Lines = SplitLines(text, &result.Format.LineBreak);
    return result;
}

namespace {

// Whether bytes, read as a file, give exactly text.
bool readsBackAs(const QByteArray &bytes, const QString &text)
{
    TTextEncoding found;
    return decodeWithFormat(bytes, found) == text;
}

QString encodingName(TTextEncoding encoding)
{
    return encoding == TTextEncoding::Windows1252 ? QStringLiteral("Windows-1252") : QStringLiteral("UTF-8");
}

} // namespace

QByteArray EncodeText(const QStringList &lines, TTextFormat &format)
{
    const QString text = lines.join(LineBreakText(format.LineBreak));
    if (format.Encoding == TTextEncoding::Windows1252) {
        const std::optional<QByteArray> bytes = encodeCp1252(text);
        if (bytes && readsBackAs(*bytes, text))
            return *bytes;
        format.Encoding = bytes ? TTextEncoding::Utf8Bom : TTextEncoding::Utf8;
    }
    QByteArray bytes = bomOf(format.Encoding) + encodeUnicode(text, format.Encoding);
    // Only a text starting with U+FEFF reads back differently here: the mark
    // in front keeps that character as text.
    if (format.Encoding == TTextEncoding::Utf8 && !readsBackAs(bytes, text)) {
        format.Encoding = TTextEncoding::Utf8Bom;
        bytes.prepend(bomOf(format.Encoding));
    }
    return bytes;
}

QString EncodingChangeNotice(const QString &path, TTextEncoding loaded, TTextEncoding saved)
{
    if (saved == loaded)
        return QString();
    if (saved == TTextEncoding::Utf8)
        return QStringLiteral("Die Datei \"%1\" wurde als UTF-8 gespeichert, weil der Text Zeichen enthält, "
                              "die es in Windows-1252 nicht gibt.")
            .arg(path);
    return QStringLiteral("Die Datei \"%1\" wurde als UTF-8 mit Byte-Order-Mark gespeichert, weil ihr Text, "
                          "in %2 gespeichert, beim nächsten Öffnen anders gelesen würde.")
        .arg(path, encodingName(loaded));
}

namespace {

// A size limit as people say it: whole megabytes as such, else in bytes.
QString sizeText(qint64 bytes)
{
    constexpr qint64 megabyte = qint64(1) << 20;
    if (bytes > 0 && bytes % megabyte == 0)
        return QStringLiteral("%1 MB").arg(bytes / megabyte);
    return QStringLiteral("%1 Bytes").arg(bytes);
}

} // namespace

bool ReadTextFile(const QString &path, TTextLines &text, QString &error, qint64 maxBytes)
{
    QByteArray bytes;
    if (const int errnum = ReadFileBytes(path, bytes, maxBytes)) {
        error = QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, SystemErrorText(errnum));
        return false;
    }
    if (maxBytes >= 0 && bytes.size() > maxBytes) {
        error = QStringLiteral("Die Datei \"%1\" ist zu groß (mehr als %2).").arg(path, sizeText(maxBytes));
        return false;
    }
    text = DecodeText(bytes);
    return true;
}

bool ReadScriptFile(const QString &path, TTextLines &text, QString &error)
{
    return ReadTextFile(path, text, error, MaxScriptBytes);
}

bool WriteTextFile(const QString &path, const QStringList &lines, TTextFormat &format, QString &error)
{
    TTextFormat used = format;
    const TWriteResult written = WriteFileBytes(path, EncodeText(lines, used));
    if (!written) {
        error = WriteFailureText(path, written);
        return false;
    }
    format = used;
    return true;
}
