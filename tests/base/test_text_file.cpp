// Reading and writing text files as lines: byte-exact round trips, encoding and
// line-break detection, and failures that must not lose data.
#include "base/uTextFile.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray roundTrip(const QByteArray &bytes)
{
    TTextLines text = DecodeText(bytes);
    return EncodeText(text.Lines, text.Format);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(TextFile, EveryConsistentFileRoundTripsByteForByte)
{
    const QByteArray samples[] = {
        "",
        "a",
        "a\r\nb\r\n",
        "a\nb\n\n",
        "a\rb",
        "\r\n",
        "x\xE2\x80\xA8y", // U+2028 in UTF-8
        "\xEF\xBB\xBFSch\xC3\xA4"
        "f\r\n",                             // UTF-8 with BOM
        "\xEF\xBB\xBF\xEF\xBB\xBFtwo marks", // a second U+FEFF is text
        QByteArray("\xFF\xFE"
                   "a\0\r\0\n\0",
                   8),                       // UTF-16 LE
        QByteArray("\xFE\xFF\0a\0\n\0b", 8), // UTF-16 BE
        "Gr\xFC\xDF"
        "e \x80 \x81\r\n", // Windows-1252 incl. an unassigned byte
        "\xED\xA0\x80",    // encoded surrogate: not valid UTF-8
        "\xC0\xAF",        // overlong form
        QByteArray("\xFF\xFE"
                   "a",
                   3), // UTF-16 mark with an odd byte count
        QByteArray("nul\0inside", 10),
    };
    for (const QByteArray &bytes : samples)
        EXPECT_EQ(roundTrip(bytes), bytes) << bytes.toHex().constData();
}

TEST(TextFile, DetectsEncoding)
{
    EXPECT_EQ(DecodeText("plain").Format.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(DecodeText("\xC3\xA4").Format.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFx").Format.Encoding, TTextEncoding::Utf8Bom);
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFEx\0", 4)).Format.Encoding, TTextEncoding::Utf16LE);
    EXPECT_EQ(DecodeText(QByteArray("\xFE\xFF\0x", 4)).Format.Encoding, TTextEncoding::Utf16BE);
    EXPECT_EQ(DecodeText("\xE4").Format.Encoding, TTextEncoding::Windows1252);

    EXPECT_EQ(DecodeText("\xEF\xBB\xBFSch\xC3\xA4"
                         "f")
                  .Lines,
              QStringList{u"Schäf"_qs});
    EXPECT_EQ(DecodeText("\x80\x84\x9F\xE4").Lines, QStringList{u"€„Ÿä"_qs});
}

TEST(TextFile, SplitsLinesAndPicksTheSavingStyle)
{
    TLineBreak style;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd", &style), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(style, TLineBreak::CrLf);
    EXPECT_EQ(SplitLines("a\r\r\nb", &style), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\nb\n", &style), (QStringList{"a", "b", ""}));
    EXPECT_EQ(style, TLineBreak::Lf);
    SplitLines("a\rb", &style);
    EXPECT_EQ(style, TLineBreak::Cr);
    SplitLines(u"a\r\nb\u2028c"_qs, &style);
    EXPECT_EQ(style, TLineBreak::LineSeparator);
    SplitLines("single", &style);
    EXPECT_EQ(style, TLineBreak::CrLf);
    SplitLines("cr\rand\nlf", &style);
    EXPECT_EQ(style, TLineBreak::CrLf);
}

TEST(TextFile, ListLinesDropOnlyTheFinalBreak)
{
    EXPECT_EQ(DecodeText("").ListLines(), QStringList{});
    EXPECT_EQ(DecodeText("1,1\r\n").ListLines(), QStringList{"1,1"});
    EXPECT_EQ(DecodeText("1\n\n").ListLines(), (QStringList{"1", ""}));
    EXPECT_EQ(DecodeText("1\n2").ListLines(), (QStringList{"1", "2"}));
}

TEST(TextFile, CharactersOutsideTheCodePageSwitchTheFileToUtf8)
{
    TTextFormat format{TTextEncoding::Windows1252, TLineBreak::Lf};
    EXPECT_EQ(EncodeText({u"ä€"_qs}, format), QByteArray("\xE4\x80"));
    EXPECT_EQ(format.Encoding, TTextEncoding::Windows1252);

    EXPECT_EQ(EncodeText({u"ä→"_qs, "x"}, format), QByteArray("\xC3\xA4\xE2\x86\x92\nx"));
    EXPECT_EQ(format.Encoding, TTextEncoding::Utf8);
}

TEST(TextFile, NeverLoadedTextIsUtf8WithCrLf)
{
    TTextFormat format;
    EXPECT_EQ(EncodeText({u"ä"_qs, ""}, format), QByteArray("\xC3\xA4\r\n"));
}

TEST(TextFile, ReadsAndReplacesFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code.klc");
    writeBytes(path, "\xEF\xBB\xBFint a\nint b\n");

    TTextLines text;
    QString error;
    ASSERT_TRUE(ReadTextFile(path, text, error));
    EXPECT_EQ(text.Lines, (QStringList{"int a", "int b", ""}));
    text.Lines[1] = "int c";
    ASSERT_TRUE(WriteTextFile(path, text.Lines, text.Format, error));
    EXPECT_EQ(fileBytes(path), QByteArray("\xEF\xBB\xBFint a\nint c\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"code.klc"}) << "no temporary left";
}

TEST(TextFile, FailuresNameTheFileAndKeepWhatWasThere)
{
    QTemporaryDir dir;
    QString error;
    TTextLines text;
    text.Lines = {"kept"};

    const QString missing = dir.filePath("missing.glw");
    EXPECT_FALSE(ReadTextFile(missing, text, error));
    EXPECT_TRUE(error.startsWith("Die Datei \"" + missing + "\" kann nicht gelesen werden: ")) << error.toStdString();
    EXPECT_GT(error.size(), QString("Die Datei \"" + missing + "\" kann nicht gelesen werden: ").size());
    EXPECT_EQ(text.Lines, QStringList{"kept"});

    EXPECT_FALSE(ReadTextFile(dir.path(), text, error));
    EXPECT_TRUE(error.contains("kann nicht gelesen werden")) << error.toStdString();

    const QString big = dir.filePath("big.glw");
    writeBytes(big, QByteArray(100, '1'));
    EXPECT_FALSE(ReadTextFile(big, text, error, 99));
    EXPECT_EQ(error, "Die Datei \"" + big + "\" ist zu groß (mehr als 99 Bytes).");
    EXPECT_TRUE(ReadTextFile(big, text, error, 100));
    EXPECT_FALSE(ReadTextFile("/dev/zero", text, error, 1000)) << "an endless device stops at the limit";
    // The limit reserves no buffer of its size: a small file reads whole under a huge one.
    EXPECT_TRUE(ReadTextFile(big, text, error, qint64(1) << 40)) << error.toStdString();
    EXPECT_EQ(text.Lines, QStringList{QString(100, u'1')});
    const QString longFile = dir.filePath("long.glw");
    const QByteArray pieces(200 * 1024 + 7, 'x');
    writeBytes(longFile, pieces);
    EXPECT_TRUE(ReadTextFile(longFile, text, error, pieces.size()));
    EXPECT_EQ(text.Lines, QStringList{QString::fromLatin1(pieces)});

    // A path below a plain file can never be created, whatever the user's rights.
    const QString blocked = big + "/inside.klc";
    TTextFormat format;
    EXPECT_FALSE(WriteTextFile(blocked, {"x"}, format, error));
    EXPECT_TRUE(error.startsWith("Die Datei \"" + blocked + "\" kann nicht geschrieben werden: "));
    EXPECT_EQ(fileBytes(big), QByteArray(100, '1'));
}

TEST(TextFile, WhatIsWrittenReadsBackAsWrittenInEveryFormat)
{
    const QList<QStringList> texts{
        {},
        {""},
        {u"þÿab"_qs, "cd"},
        {u"ÿþab"_qs, ""},
        {u"ï»¿Gras"_qs},
        {u"Ã¤ sieht aus wie UTF-8"_qs},
        {u"\uFEFFint a"_qs, "int b"},
        {u"Schäfchen €"_qs, u"→ ✓"_qs, ""},
        {QString("nul") + QChar(0) + "drin", "", ""},
    };
    for (TTextEncoding encoding : {TTextEncoding::Utf8, TTextEncoding::Utf8Bom, TTextEncoding::Utf16LE,
                                   TTextEncoding::Utf16BE, TTextEncoding::Windows1252}) {
        for (TLineBreak lineBreak : {TLineBreak::CrLf, TLineBreak::Lf, TLineBreak::Cr, TLineBreak::LineSeparator}) {
            for (const QStringList &lines : texts) {
                TTextFormat format{encoding, lineBreak};
                const QByteArray bytes = EncodeText(lines, format);
                const TTextLines back = DecodeText(bytes);
                const QStringList expected = lines.isEmpty() ? QStringList{""} : lines;
                EXPECT_EQ(back.Lines, expected)
                    << int(encoding) << '/' << int(lineBreak) << ' ' << bytes.toHex().constData();
                if (expected.size() > 1) {
                    EXPECT_EQ(back.Format.LineBreak, lineBreak) << bytes.toHex().constData();
                }
            }
        }
    }
}

TEST(TextFile, ATextThatWouldBeMisreadIsWrittenAsUtf8WithMark)
{
    TTextFormat format{TTextEncoding::Windows1252, TLineBreak::CrLf};
    EXPECT_EQ(EncodeText({u"þÿab"_qs}, format), QByteArray("\xEF\xBB\xBF\xC3\xBE\xC3\xBF"
                                                           "ab"));
    EXPECT_EQ(format.Encoding, TTextEncoding::Utf8Bom);

    format.Encoding = TTextEncoding::Windows1252;
    EXPECT_EQ(EncodeText({u"þÿa"_qs}, format), QByteArray("\xFE\xFF"
                                                          "a"))
        << "an odd length cannot be UTF-16";
    EXPECT_EQ(format.Encoding, TTextEncoding::Windows1252);

    format.Encoding = TTextEncoding::Utf8;
    EXPECT_EQ(EncodeText({u"\uFEFFx"_qs}, format), QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx"));
    EXPECT_EQ(format.Encoding, TTextEncoding::Utf8Bom);
}
