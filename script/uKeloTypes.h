#pragma once
// Value types of Kelo code and their text encoding. Every run-time value is a
// text in the canonical form of its type; the type itself comes from the code
// model. These helpers recognise, convert, read and write those texts.
#include <QPoint>
#include <QString>
#include <array>
#include <utility>

// The script value types. Members that would clash with C++ keywords carry a
// trailing underscore; the script names are in TypeNames.
enum class TType : quint8 { void_ = 0, bool_ = 1, int_ = 2, kelofloat = 3, kelostr = 4, tile = 5, dir = 6 };

constexpr int TypeCount = 7;

// A constant table of seven texts indexed by TType.
class TTypeTexts
{
public:
    explicit TTypeTexts(std::array<QString, TypeCount> texts) : iTexts(std::move(texts)) {}
    const QString &operator[](TType t) const { return iTexts[static_cast<int>(t)]; }
    const QString &operator[](int i) const { return iTexts[i]; }
    static constexpr int size() { return TypeCount; }
    auto begin() const { return iTexts.begin(); }
    auto end() const { return iTexts.end(); }

private:
    std::array<QString, TypeCount> iTexts;
};

// Script names ("void", "bool", "int", "float", "string", "tile", "dir").
extern const TTypeTexts TypeNames;
// Value ranges as the language reference shows them.
extern const TTypeTexts TypeDomains;

// The kind of one lawn cell; the ordinals are the tile codes of lawn files.
enum TTileType : quint8 { ttDirt = 0, ttGreen = 1, ttShortGreen = 2, ttTree = 3, ttMark = 4 };

// A heading on the lawn; turning right adds one, turning left subtracts one.
enum TDirection : quint8 { tdNorth = 0, tdEast = 1, tdSouth = 2, tdWest = 3 };

struct TSheep
{
    QPoint Pos;
    TDirection Dir = tdNorth;
};

// Type word of a script (any letter case, surrounding blanks ignored).
TType StrToType(const QString &text, bool &failed);
// Type of a literal written in a script; every failure gives void. An empty
// text gives void and leaves failed untouched.
TType LiteralType(const QString &text, bool &failed);

bool CanConvert(TType from, TType to);
// Converts a value text in place; only a conversion to string changes it.
bool ConvertValue(TType from, TType to, QString &value);
// Brings bool, tile and dir literals into their canonical spelling.
void NormalizeConstant(TType t, QString &value);

bool ValueToBool(const QString &text, bool &failed);
bool ValueToBool(const QString &text);
QString BoolToValue(bool b);

TTileType ValueToTile(const QString &text, bool &failed);
TTileType ValueToTile(const QString &text);
QString TileToValue(TTileType t);

TDirection ValueToDir(const QString &text, bool &failed);
TDirection ValueToDir(const QString &text);
QString DirToValue(TDirection d);
// -1 gives tdWest, 4 gives tdNorth; any other number is wrapped modulo 4 too.
TDirection WrapDirection(int n);

// Reads a decimal number with "." or "," as separator, independent of the locale.
double ValueToFloat(const QString &text, bool &failed);
// General format with 15 significant digits and "." as separator.
QString FloatToValue(double value);

// The longest value text a string may have; a longer result ends the run,
// and a longer literal is refused by the parser.
constexpr qsizetype MaxStringValueLength = 16 * 1024 * 1024;
// "Zeichenkette ist zu lang (mehr als 16777216 Zeichen)".
QString StringTooLongText();

QString QuoteStr(const QString &s);
// True when the text is exactly what QuoteStr writes for some string, so that
// QuoteStr(UnquoteStr(text)) gives the text back unchanged.
bool IsCanonicalStringText(QStringView text);
// QuoteStr(a + b) for two such texts, joined without decoding them.
QString JoinCanonicalStrings(QStringView first, QStringView second);
// On a text that does not start and end with a double quote, s is left untouched.
void UnquoteStr(const QString &text, bool &failed, QString &s);

// The integer reader: decimal 32-bit, or "$"/"x"/"0x" hexadecimal as a 32-bit
// two's-complement pattern. Returns false for any other text.
bool ReadInteger(const QString &text, qint32 &value);

// Operand readers of the operators: an unreadable text counts as 0. The float
// reader also takes every integer text, hexadecimal ones included.
qint32 IntOperand(const QString &text);
double FloatOperand(const QString &text);

// Decimal text of an integer result (64-bit, so overflow results are written in full).
QString IntToValue(qint64 value);
// IntOperand(IntToValue(value)) without the text: a result beyond 32 bits reads as 0.
constexpr qint32 IntReading(qint64 value)
{
    return value >= -2147483648LL && value <= 2147483647LL ? static_cast<qint32>(value) : 0;
}

// One run-time value: its text, with what has been read from it kept beside
// it until the text changes. An integer result is kept as the number alone and
// written out as its decimal text only when the text is asked for, so passing
// it on (into a variable, an argument, a function's result) neither formats
// nor re-reads it.
class TValue
{
public:
    TValue() = default;
    explicit TValue(const QString &text) : iText(text) {}
    explicit TValue(QString &&text) : iText(std::move(text)) {}
    TValue(const TValue &other) = default;
    TValue &operator=(const TValue &other)
    {
        assignText(other.iText);
        iExact = other.iExact;
        iInt = other.iInt;
        iFlags = other.iFlags;
        return *this;
    }
    // A value moved from is left empty, without readings of the text it gave away.
    TValue(TValue &&other) noexcept
        : iText(std::exchange(other.iText, QString())), iExact(other.iExact), iInt(other.iInt),
          iFlags(std::exchange(other.iFlags, 0))
    {
    }
    TValue &operator=(TValue &&other) noexcept
    {
        iText.swap(other.iText);
        iExact = other.iExact;
        iInt = other.iInt;
        iFlags = std::exchange(other.iFlags, 0);
        other.releaseText();
        return *this;
    }
    ~TValue() = default;

    const QString &Text() const
    {
        if (iFlags & TextPending)
            writeText();
        return iText;
    }
    // The text, moved out; the value is left empty.
    QString takeText();
    void setText(const QString &text)
    {
        assignText(text);
        iFlags = 0;
    }
    void setText(QString &&text)
    {
        iText = std::move(text);
        iFlags = 0;
    }
    // The decimal text of an integer result (64-bit, so an overflow is kept in full).
    void setInt(qint64 exact)
    {
        // The old text is stale now; dropping it keeps copies of the value cheap.
        releaseText();
        iExact = exact;
        iInt = ::IntReading(exact);
        iFlags = TextPending | HasInt;
    }
    // Empties the value; a long text is released.
    void clear()
    {
        releaseText();
        iFlags = 0;
    }

    // IntOperand of the text.
    qint32 IntReading() const
    {
        if (!(iFlags & HasInt))
            readInt();
        return iInt;
    }
    // Whether the text is a string value in the form QuoteStr writes.
    bool isCanonicalString() const;
    // Appends a string in the form QuoteStr writes to this canonical string
    // value, in place when nothing else shares the text.
    void appendCanonicalString(QStringView quoted);

private:
    enum : quint8 {
        TextPending = 1,
        HasInt = 2,
        KnownStringForm = 4,
        CanonicalString = 8,
    };
    void assignText(const QString &text)
    {
        // Skips the reference counting when the text is already the same (often
        // both null: integers passed on never had a text).
        if (iText.constData() != text.constData() || iText.size() != text.size())
            iText = text;
    }
    void releaseText()
    {
        if (!iText.isNull())
            iText = QString();
    }
    void writeText() const;
    void readInt() const;

    mutable QString iText;
    // The integer result whose decimal text is still to be written.
    qint64 iExact = 0;
    mutable qint32 iInt = 0;
    mutable quint8 iFlags = 0;
};
