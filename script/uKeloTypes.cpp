#include "script/uKeloTypes.h"

#include <charconv>
#include <cmath>
#include <limits>

const TTypeTexts TypeNames({QStringLiteral("void"), QStringLiteral("bool"), QStringLiteral("int"),
                            QStringLiteral("float"), QStringLiteral("string"), QStringLiteral("tile"),
                            QStringLiteral("dir")});

const TTypeTexts TypeDomains(
    {QString(), QStringLiteral("TRUE, FALSE"), QStringLiteral("-2.147.483.648 .. 2.147.483.647"),
     QStringLiteral("5.0 x 10^-324 .. 1.7 x 10^308"), QStringLiteral("Zeichenkette mit \" geklammert"),
     QStringLiteral("tDirt, tGreen, tShortGreen, tTree, tMark"), QStringLiteral("dNorth, dEast, dSouth, dWest")});

namespace {
const QString &trueText()
{
    static const QString text = QStringLiteral("true");
    return text;
}

const QString &falseText()
{
    static const QString text = QStringLiteral("false");
    return text;
}

// Canonical texts in ordinal order of TTileType and TDirection.
const std::array<QString, 5> &tileTexts()
{
    static const std::array<QString, 5> texts = {QStringLiteral("tDirt"), QStringLiteral("tGreen"),
                                                 QStringLiteral("tShortGreen"), QStringLiteral("tTree"),
                                                 QStringLiteral("tMark")};
    return texts;
}

const std::array<QString, 4> &dirTexts()
{
    static const std::array<QString, 4> texts = {QStringLiteral("dNorth"), QStringLiteral("dEast"),
                                                 QStringLiteral("dSouth"), QStringLiteral("dWest")};
    return texts;
}

// Case folding keeps the length, so texts of different lengths never match;
// the size check spares the folding comparison for almost every literal.
bool equalsAnyCase(const QString &text, const QString &word)
{
    return text.size() == word.size() && text.compare(word, Qt::CaseInsensitive) == 0;
}

// The first of the words, in the given order, that equals the text in any
// letter case; the fallback with failed set when none does.
template <class E, size_t N>
E readWord(const QString &text, const std::array<QString, N> &texts, std::initializer_list<E> order, E fallback,
           bool &failed)
{
    failed = false;
    for (E e : order)
        if (equalsAnyCase(text, texts[e]))
            return e;
    failed = true;
    return fallback;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int hexDigitValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Length of a hexadecimal prefix ("$", "x", "X", "0x", "0X") at pos, or 0.
int hexPrefixLength(const QString &text, int pos)
{
    const int n = text.size();
    if (pos >= n)
        return 0;
    const QChar c = text[pos];
    if (c == u'$' || c == u'x' || c == u'X')
        return 1;
    if (c == u'0' && pos + 1 < n && (text[pos + 1] == u'x' || text[pos + 1] == u'X'))
        return 2;
    return 0;
}

// At most eight hex digits up to the end, as a 32-bit two's-complement pattern.
bool readHexDigits(const QString &text, int pos, quint32 &bits)
{
    const int count = text.size() - pos;
    if (count < 1 || count > 8)
        return false;
    bits = 0;
    for (int i = pos; i < text.size(); ++i) {
        const int d = hexDigitValue(text[i]);
        if (d < 0)
            return false;
        bits = bits << 4 | static_cast<quint32>(d);
    }
    return true;
}

// Decimal digits up to the end, within the 32-bit range once the sign is applied.
bool readDecimalDigits(const QString &text, int pos, bool negative, qint32 &value)
{
    if (pos >= text.size())
        return false;
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    qint64 magnitude = 0;
    for (int i = pos; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i].unicode() - u'0');
        if (magnitude > limit)
            return false;
    }
    value = static_cast<qint32>(negative ? -magnitude : magnitude);
    return true;
}

// Drops leading and trailing blanks and control characters.
QString trimControls(const QString &text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

// Checks the shape sign? digits [sep digits] [(E|e) sign? digits], with at
// least one digit in the mantissa, and copies it as ASCII with "." as separator.
bool floatShape(const QString &text, std::string &ascii)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    ascii.clear();
    int i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ascii += char(c.unicode());
            ++mantissaDigits;
        } else if ((c == u',' || c == u'.') && !separatorSeen) {
            ascii += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i == end)
        return true;
    if (text[i] != u'e' && text[i] != u'E')
        return false;
    ascii += 'e';
    ++i;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ascii += char(text[i++].unicode());
    const int exponentStart = i;
    for (; i < end && isDigit(text[i]); ++i)
        ascii += char(text[i].unicode());
    return i == end && i > exponentStart;
}

// Decimal exponent of the first significant digit in an ASCII number.
int decimalMagnitude(const std::string &ascii)
{
    int digitsBeforePoint = 0;
    int leadingZerosAfterPoint = 0;
    bool afterPoint = false;
    bool significant = false;
    size_t i = 0;
    for (; i < ascii.size() && ascii[i] != 'e'; ++i) {
        const char c = ascii[i];
        if (c == '.') {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            significant = significant || c != '0';
            if (!afterPoint && significant)
                ++digitsBeforePoint;
            else if (afterPoint && !significant)
                ++leadingZerosAfterPoint;
        }
    }
    const int exponent = i < ascii.size() ? std::atoi(ascii.c_str() + i + 1) : 0;
    return (digitsBeforePoint > 0 ? digitsBeforePoint : -leadingZerosAfterPoint) + exponent;
}
} // namespace

TType StrToType(const QString &text, bool &failed)
{
    const QString word = trimControls(text.toLower());
    for (int i = 0; i < TypeCount; ++i) {
        if (word == TypeNames[i]) {
            failed = false;
            return static_cast<TType>(i);
        }
    }
    failed = true;
    return TType::void_;
}

TType LiteralType(const QString &text, bool &failed)
{
    if (text.isEmpty())
        return TType::void_;
    bool rejected = false;
    failed = false;
    ValueToBool(text, rejected);
    if (!rejected)
        return TType::bool_;
    ValueToTile(text, rejected);
    if (!rejected)
        return TType::tile;
    ValueToDir(text, rejected);
    if (!rejected)
        return TType::dir;
    QString unquoted;
    UnquoteStr(text, rejected, unquoted);
    if (!rejected)
        return TType::kelostr;
    if (text[0] != u'-' && !isDigit(text[0])) {
        failed = true;
        return TType::void_;
    }
    qint32 integer = 0;
    if (ReadInteger(text, integer))
        return TType::int_;
    ValueToFloat(text, rejected);
    if (!rejected)
        return TType::kelofloat;
    failed = true;
    return TType::void_;
}

bool CanConvert(TType from, TType to)
{
    return from == to || (from == TType::int_ && to == TType::kelofloat) || to == TType::kelostr;
}

bool ConvertValue(TType from, TType to, QString &value)
{
    if (!CanConvert(from, to))
        return false;
    if (from != to && to == TType::kelostr)
        value = QuoteStr(value);
    return true;
}

void NormalizeConstant(TType t, QString &value)
{
    switch (t) {
    case TType::bool_:
        value = BoolToValue(ValueToBool(value));
        break;
    case TType::tile:
        value = TileToValue(ValueToTile(value));
        break;
    case TType::dir:
        value = DirToValue(ValueToDir(value));
        break;
    default:
        break;
    }
}

bool ValueToBool(const QString &text, bool &failed)
{
    failed = false;
    if (equalsAnyCase(text, trueText()))
        return true;
    failed = !equalsAnyCase(text, falseText());
    return false;
}

bool ValueToBool(const QString &text)
{
    // The runtime's own texts are canonical; the comparison covers the rest.
    return text == trueText() || equalsAnyCase(text, trueText());
}

QString BoolToValue(bool b) { return b ? trueText() : falseText(); }

TTileType ValueToTile(const QString &text, bool &failed)
{
    return readWord(text, tileTexts(), {ttDirt, ttGreen, ttShortGreen, ttMark, ttTree}, ttTree, failed);
}

TTileType ValueToTile(const QString &text)
{
    bool failed = false;
    return ValueToTile(text, failed);
}

QString TileToValue(TTileType t) { return tileTexts()[t]; }

TDirection ValueToDir(const QString &text, bool &failed)
{
    return readWord(text, dirTexts(), {tdNorth, tdEast, tdSouth, tdWest}, tdWest, failed);
}

TDirection ValueToDir(const QString &text)
{
    bool failed = false;
    return ValueToDir(text, failed);
}

QString DirToValue(TDirection d) { return dirTexts()[d]; }

TDirection WrapDirection(int n) { return static_cast<TDirection>(((n % 4) + 4) % 4); }

double ValueToFloat(const QString &text, bool &failed)
{
    std::string ascii;
    failed = true;
    if (!floatShape(text, ascii))
        return 0;
    double value = 0;
    const char *first = ascii.data();
    const auto [ptr, ec] = std::from_chars(first, first + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large is not a number.
        if (decimalMagnitude(ascii) > 0)
            return 0;
        failed = false;
        return 0;
    }
    if (ec != std::errc() || ptr != first + ascii.size())
        return 0;
    failed = false;
    return value;
}

QString FloatToValue(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    // d.dddddddddddddde[+-]x: 15 significant digits, correctly rounded.
    char buffer[40] = {}; // zeroed: the exponent is read up to a terminator
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view formatted(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t ePos = formatted.find('e');
    std::string digits;
    for (char c : formatted.substr(0, ePos))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    // Only the characters to_chars wrote: the buffer is not terminated.
    int writtenExponent = 0;
    std::from_chars(formatted.data() + ePos + 1 + (formatted[ePos + 1] == '+'), formatted.data() + formatted.size(),
                    writtenExponent);
    const int exponent = writtenExponent + 1;

    std::string out = value < 0 ? "-" : "";
    if (exponent > 15 || exponent < -3) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent - 1);
    } else if (exponent <= 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent) {
        out += digits + std::string(static_cast<size_t>(exponent) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<size_t>(exponent)) + "." + digits.substr(static_cast<size_t>(exponent));
    }
    return QString::fromLatin1(out);
}

QString StringTooLongText()
{
    return QStringLiteral("Zeichenkette ist zu lang (mehr als %1 Zeichen)").arg(MaxStringValueLength);
}

QString QuoteStr(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += u'"';
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'\r':
            out += u"\\r";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'"':
        case u'\\':
            out += u'\\';
            out += c;
            break;
        default:
            out += c;
        }
    }
    out += u'"';
    return out;
}

bool IsCanonicalStringText(QStringView text)
{
    const qsizetype n = text.size();
    if (n < 2 || text[0] != u'"' || text[n - 1] != u'"')
        return false;
    for (qsizetype i = 1; i < n - 1; ++i) {
        switch (text[i].unicode()) {
        case u'"':
        case u'\r':
        case u'\n':
            return false;
        case u'\\': {
            if (++i == n - 1)
                return false;
            const char16_t escaped = text[i].unicode();
            if (escaped != u'r' && escaped != u'n' && escaped != u'"' && escaped != u'\\')
                return false;
            break;
        }
        default:
            break;
        }
    }
    return true;
}

QString JoinCanonicalStrings(QStringView first, QStringView second)
{
    QString joined;
    joined.reserve(first.size() + second.size() - 2);
    joined.append(first.chopped(1));
    joined.append(second.mid(1));
    return joined;
}

void UnquoteStr(const QString &text, bool &failed, QString &s)
{
    const int n = text.size();
    if (n < 2 || text[0] != u'"' || text[n - 1] != u'"') {
        failed = true;
        return;
    }
    QString out;
    out.reserve(n - 2);
    int i = 1;
    bool closed = false;
    while (!closed && i < n) {
        const QChar c = text[i];
        if (c == u'\\') {
            // The last character is a double quote, so a backslash is never last.
            const QChar escaped = text[++i];
            if (escaped == u'r')
                out += u'\r';
            else if (escaped == u'n')
                out += u'\n';
            else
                out += escaped;
        } else if (c == u'"') {
            closed = true;
        } else {
            out += c;
        }
        if (!closed)
            ++i;
    }
    s = out;
    failed = !(closed && i == n - 1);
}

bool ReadInteger(const QString &text, qint32 &value)
{
    int pos = 0;
    while (pos < text.size() && text[pos] == u' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const int prefix = hexPrefixLength(text, pos);
    if (prefix == 0)
        return readDecimalDigits(text, pos, negative, value);
    quint32 bits = 0;
    if (!readHexDigits(text, pos + prefix, bits))
        return false;
    // Two's-complement pattern, negated in unsigned arithmetic so that
    // "-$80000000" wraps instead of overflowing.
    value = static_cast<qint32>(negative ? 0u - bits : bits);
    return true;
}

qint32 IntOperand(const QString &text)
{
    qint32 value = 0;
    return ReadInteger(text, value) ? value : 0;
}

double FloatOperand(const QString &text)
{
    bool failed = false;
    const double value = ValueToFloat(text, failed);
    // An int text taken as float keeps its literal, which may be hexadecimal:
    // only the integer reader knows that form.
    return failed ? IntOperand(text) : value;
}

QString IntToValue(qint64 value) { return QString::number(value); }

// ---------------------------------------------------------------- values

QString TValue::takeText()
{
    if (iFlags & TextPending)
        writeText();
    iFlags = 0;
    return std::exchange(iText, QString());
}

void TValue::writeText() const
{
    iText = IntToValue(iExact);
    iFlags &= ~TextPending;
}

void TValue::readInt() const
{
    iInt = ::IntOperand(Text());
    iFlags |= HasInt;
}

bool TValue::isCanonicalString() const
{
    if (!(iFlags & KnownStringForm))
        iFlags |= KnownStringForm | (IsCanonicalStringText(Text()) ? CanonicalString : 0);
    return iFlags & CanonicalString;
}

void TValue::appendCanonicalString(QStringView quoted)
{
    // Both texts are QuoteStr forms: the closing and the opening quote meet.
    Text();
    iText.chop(1);
    iText.append(quoted.mid(1));
    iFlags &= KnownStringForm | CanonicalString;
}
