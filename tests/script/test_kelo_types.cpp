#include "script/uKeloTypes.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <limits>

namespace {
QString unquoted(const QString &text, bool &failed, QString initial = QStringLiteral("untouched"))
{
    UnquoteStr(text, failed, initial);
    return initial;
}
} // namespace

TEST(KeloTypes, TypeWordsAreReadInAnyCaseAndUnknownWordsFail)
{
    bool failed = false;
    EXPECT_EQ(StrToType(QStringLiteral("  FLOAT\t"), failed), TType::kelofloat);
    EXPECT_FALSE(failed);
    EXPECT_EQ(StrToType(QStringLiteral("String"), failed), TType::kelostr);
    EXPECT_EQ(StrToType(QStringLiteral("integer"), failed), TType::void_);
    EXPECT_TRUE(failed);
    EXPECT_EQ(TypeNames[TType::kelostr], QStringLiteral("string"));
    EXPECT_EQ(TypeDomains[TType::kelostr], QStringLiteral("Zeichenkette mit \" geklammert"));
}

TEST(KeloTypes, ConversionsOnlyWidenIntToFloatOrQuoteIntoStrings)
{
    EXPECT_TRUE(CanConvert(TType::int_, TType::kelofloat));
    EXPECT_FALSE(CanConvert(TType::kelofloat, TType::int_));
    EXPECT_TRUE(CanConvert(TType::bool_, TType::kelostr));
    EXPECT_FALSE(CanConvert(TType::kelostr, TType::bool_));
    EXPECT_TRUE(CanConvert(TType::void_, TType::void_));
    EXPECT_FALSE(CanConvert(TType::tile, TType::dir));

    QString v = QStringLiteral("5");
    EXPECT_TRUE(ConvertValue(TType::int_, TType::kelostr, v));
    EXPECT_EQ(v, QStringLiteral("\"5\""));
    v = QStringLiteral("true");
    EXPECT_TRUE(ConvertValue(TType::bool_, TType::kelostr, v));
    EXPECT_EQ(v, QStringLiteral("\"true\""));
    v = QStringLiteral("5");
    EXPECT_TRUE(ConvertValue(TType::int_, TType::kelofloat, v));
    EXPECT_EQ(v, QStringLiteral("5"));
    v = QStringLiteral("1.5");
    EXPECT_FALSE(ConvertValue(TType::kelofloat, TType::int_, v));
    EXPECT_EQ(v, QStringLiteral("1.5"));
}

TEST(KeloTypes, ConstantsAreNormalisedAndInvalidOnesFallBack)
{
    const auto normal = [](TType t, const char16_t *text) {
        QString v = QString::fromUtf16(text);
        NormalizeConstant(t, v);
        return v;
    };
    EXPECT_EQ(normal(TType::bool_, u"TRUE"), QStringLiteral("true"));
    EXPECT_EQ(normal(TType::bool_, u"yes"), QStringLiteral("false"));
    EXPECT_EQ(normal(TType::tile, u"TGREEN"), QStringLiteral("tGreen"));
    EXPECT_EQ(normal(TType::tile, u"grass"), QStringLiteral("tTree"));
    EXPECT_EQ(normal(TType::dir, u"dnorth"), QStringLiteral("dNorth"));
    EXPECT_EQ(normal(TType::dir, u"up"), QStringLiteral("dWest"));
    EXPECT_EQ(normal(TType::int_, u"0x10"), QStringLiteral("0x10"));
}

TEST(KeloTypes, ReadersOfBoolTileAndDirRejectBlanksAndEmptyText)
{
    bool failed = false;
    EXPECT_TRUE(ValueToBool(QStringLiteral("TrUe"), failed));
    EXPECT_FALSE(failed);
    EXPECT_FALSE(ValueToBool(QStringLiteral(" true"), failed));
    EXPECT_TRUE(failed);
    EXPECT_FALSE(ValueToBool(QString(), failed));
    EXPECT_TRUE(failed);
    EXPECT_EQ(ValueToTile(QString(), failed), ttTree);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ValueToTile(QStringLiteral("TSHORTGREEN"), failed), ttShortGreen);
    EXPECT_FALSE(failed);
    EXPECT_EQ(ValueToDir(QString(), failed), tdWest);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ValueToDir(QStringLiteral("DSOUTH"), failed), tdSouth);
    EXPECT_FALSE(failed);
    EXPECT_EQ(TileToValue(ttMark), QStringLiteral("tMark"));
    EXPECT_EQ(DirToValue(tdEast), QStringLiteral("dEast"));
    EXPECT_EQ(WrapDirection(-1), tdWest);
    EXPECT_EQ(WrapDirection(4), tdNorth);
    EXPECT_EQ(WrapDirection(2), tdSouth);
}

TEST(KeloTypes, IntegerReaderTakesDecimal32BitAndHexPatterns)
{
    qint32 v = 0;
    EXPECT_TRUE(ReadInteger(QStringLiteral("  -2147483648"), v));
    EXPECT_EQ(v, std::numeric_limits<qint32>::min());
    EXPECT_TRUE(ReadInteger(QStringLiteral("+2147483647"), v));
    EXPECT_EQ(v, std::numeric_limits<qint32>::max());
    EXPECT_FALSE(ReadInteger(QStringLiteral("2147483648"), v));
    EXPECT_FALSE(ReadInteger(QStringLiteral("12 "), v));
    EXPECT_FALSE(ReadInteger(QStringLiteral("-"), v));
    EXPECT_TRUE(ReadInteger(QStringLiteral("0x10"), v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(ReadInteger(QStringLiteral("$FFFFFFFF"), v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(ReadInteger(QStringLiteral("-xff"), v));
    EXPECT_EQ(v, -255);
    EXPECT_TRUE(ReadInteger(QStringLiteral("-$80000000"), v));
    EXPECT_EQ(v, std::numeric_limits<qint32>::min());
    EXPECT_FALSE(ReadInteger(QStringLiteral("$123456789"), v));
    EXPECT_FALSE(ReadInteger(QStringLiteral("0x"), v));
    EXPECT_FALSE(ReadInteger(QStringLiteral("0xG"), v));

    EXPECT_EQ(IntOperand(QString()), 0);
    EXPECT_EQ(IntOperand(QStringLiteral("2147483648")), 0);
    EXPECT_EQ(FloatOperand(QString()), 0.0);
    EXPECT_EQ(FloatOperand(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(FloatOperand(QStringLiteral("0x10")), 16.0) << "an int literal taken as float";
    EXPECT_EQ(FloatOperand(QStringLiteral("-$FF")), -255.0);
    EXPECT_EQ(FloatOperand(QStringLiteral("2147483648")), 2147483648.0) << "an int result written in full";
}

TEST(KeloTypes, FloatReaderAcceptsPointOrCommaAndExponents)
{
    bool failed = true;
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral("1.5"), failed), 1.5);
    EXPECT_FALSE(failed);
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral(" -1,25e2 "), failed), -125.0);
    EXPECT_FALSE(failed);
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral("+2E-3"), failed), 0.002);
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral("1e-400"), failed), 0.0);
    EXPECT_FALSE(failed);
    for (const char *bad : {"", "-", "1.2.3", "1e", "e5", "1e400", "nan", "1x"}) {
        ValueToFloat(QString::fromLatin1(bad), failed);
        EXPECT_TRUE(failed) << bad;
    }
}

TEST(KeloTypes, FloatWriterUsesGeneralFormatWithFifteenDigits)
{
    EXPECT_EQ(FloatToValue(2.0), QStringLiteral("2"));
    EXPECT_EQ(FloatToValue(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(FloatToValue(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(FloatToValue(0.00001), QStringLiteral("1E-5"));
    EXPECT_EQ(FloatToValue(1e20), QStringLiteral("1E20"));
    EXPECT_EQ(FloatToValue(-0.000000015), QStringLiteral("-1.5E-8"));
    EXPECT_EQ(FloatToValue(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(FloatToValue(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(FloatToValue(1e14), QStringLiteral("100000000000000"));
    EXPECT_EQ(FloatToValue(1e15), QStringLiteral("1E15"));
    EXPECT_EQ(FloatToValue(123456789012345678.0), QStringLiteral("1.23456789012346E17"));
    EXPECT_EQ(FloatToValue(0.0), QStringLiteral("0"));
    EXPECT_EQ(FloatToValue(-7.25), QStringLiteral("-7.25"));
}

namespace {
// Leaves digits on the stack where the next call's locals will lie.
[[gnu::noinline]] void scribbleDigitsOnTheStack()
{
    volatile char digits[512];
    for (volatile char &c : digits)
        c = '7';
}
} // namespace

TEST(KeloTypes, FloatWriterReadsOnlyTheExponentItWrote)
{
    for (int i = 0; i < 100; ++i) {
        scribbleDigitsOnTheStack();
        ASSERT_EQ(FloatToValue(2147483648.0), QStringLiteral("2147483648"));
        scribbleDigitsOnTheStack();
        ASSERT_EQ(FloatToValue(1.5e-7), QStringLiteral("1.5E-7"));
    }
}

TEST(KeloTypes, CanonicalStringTextsJoinWithoutDecoding)
{
    const QString nasty = QuoteStr(QStringLiteral("a\"\\\r\n"));
    EXPECT_TRUE(IsCanonicalStringText(nasty));
    EXPECT_EQ(JoinCanonicalStrings(nasty, QuoteStr(QStringLiteral("b"))), QuoteStr(QStringLiteral("a\"\\\r\nb")));
    // Valid, but not what QuoteStr writes: these must be decoded and quoted again.
    for (const char16_t *text : {u"\"\\a\"", u"\"a\rb\"", u"\"a\nb\"", u"\"a\"b\"", u"\"a\\\"", u"\"", u"x"})
        EXPECT_FALSE(IsCanonicalStringText(QString::fromUtf16(text))) << QString::fromUtf16(text).toStdString();
}

TEST(KeloTypes, FloatTextsIgnoreTheUserLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    bool failed = true;
    EXPECT_EQ(FloatToValue(1.5), QStringLiteral("1.5"));
    EXPECT_DOUBLE_EQ(ValueToFloat(QStringLiteral("1.5"), failed), 1.5);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(previous);
}

TEST(KeloTypes, StringsRoundTripThroughQuoting)
{
    const QString nasty = QStringLiteral("a\"b\\c\r\nd\\\"");
    bool failed = true;
    EXPECT_EQ(unquoted(QuoteStr(nasty), failed), nasty);
    EXPECT_FALSE(failed);
    EXPECT_EQ(QuoteStr(QStringLiteral("x\ny")), QStringLiteral("\"x\\ny\""));
    EXPECT_EQ(unquoted(QStringLiteral("\"\""), failed), QString());
    EXPECT_FALSE(failed);
}

TEST(KeloTypes, UnquoteRejectsBrokenStrings)
{
    bool failed = false;
    EXPECT_EQ(unquoted(QStringLiteral("\""), failed), QStringLiteral("untouched"));
    EXPECT_TRUE(failed);
    EXPECT_EQ(unquoted(QString(), failed), QStringLiteral("untouched"));
    EXPECT_TRUE(failed);
    unquoted(QStringLiteral("\"a\"b\""), failed);
    EXPECT_TRUE(failed);
    unquoted(QStringLiteral("\"abc\\\""), failed);
    EXPECT_TRUE(failed);
}

TEST(KeloTypes, LiteralsAreTypedInTheDocumentedOrder)
{
    const auto typeOf = [](const char *text, bool &failed) {
        failed = false;
        return LiteralType(QString::fromLatin1(text), failed);
    };
    bool failed = false;
    EXPECT_EQ(typeOf("True", failed), TType::bool_);
    EXPECT_EQ(typeOf("tgreen", failed), TType::tile);
    EXPECT_EQ(typeOf("DWEST", failed), TType::dir);
    EXPECT_EQ(typeOf("\"hi\"", failed), TType::kelostr);
    EXPECT_EQ(typeOf("-12", failed), TType::int_);
    EXPECT_EQ(typeOf("0x10", failed), TType::int_);
    EXPECT_EQ(IntOperand(QStringLiteral("0x10")), 16);
    EXPECT_EQ(typeOf("1.5", failed), TType::kelofloat);
    EXPECT_EQ(typeOf("1,5", failed), TType::kelofloat);
    EXPECT_EQ(typeOf("3000000000", failed), TType::kelofloat);
    EXPECT_FALSE(failed);
    for (const char *bad : {"-", "abc", "5abc"}) {
        EXPECT_EQ(typeOf(bad, failed), TType::void_) << bad;
        EXPECT_TRUE(failed) << bad;
    }
    failed = true;
    EXPECT_EQ(LiteralType(QString(), failed), TType::void_);
    EXPECT_TRUE(failed);
}

// A value's readings belong to its current text: they travel with copies and
// are dropped with every new text, and a value moved from is empty.
TEST(KeloTypes, ValueReadingsFollowTheirText)
{
    TValue sum;
    sum.setInt(2147483648LL);
    EXPECT_EQ(sum.IntReading(), 0) << "beyond 32 bits reads as 0, as its text does";
    EXPECT_EQ(sum.Text(), QStringLiteral("2147483648"));

    TValue copy = sum;
    copy.setText(QStringLiteral("$1F"));
    EXPECT_EQ(copy.IntReading(), 31);
    EXPECT_EQ(sum.Text(), QStringLiteral("2147483648")) << "the copy's new text is its own";

    TValue moved = std::move(copy);
    EXPECT_EQ(moved.Text(), QStringLiteral("$1F"));
    EXPECT_EQ(moved.IntReading(), 31);
    EXPECT_TRUE(copy.Text().isEmpty());
    EXPECT_EQ(copy.IntReading(), 0);

    TValue text(QuoteStr(QStringLiteral("ab")));
    EXPECT_TRUE(text.isCanonicalString());
    text.appendCanonicalString(QuoteStr(QStringLiteral("\"c")));
    EXPECT_EQ(text.Text(), QuoteStr(QStringLiteral("ab\"c")));
    EXPECT_EQ(text.takeText(), QuoteStr(QStringLiteral("ab\"c")));
    EXPECT_TRUE(text.Text().isEmpty());
}
