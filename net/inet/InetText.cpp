#include "net/inet/InetText.h"

#include <cctype>

namespace {
void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
} // namespace

std::string Utf8Of(const char16_t *text, uint32_t length)
{
    std::string out;
    if (!text)
        return out;
    if (length == UINT32_MAX)
        for (length = 0; text[length] != 0; ++length) {
        }
    for (uint32_t i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(out, 0xFFFD); // a lone surrogate has no UTF-8 form
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::string Utf8Of(const char16_t *text) { return Utf8Of(text, UINT32_MAX); }

std::u16string WidenBytes(const std::string &bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        out += static_cast<char16_t>(b);
    return out;
}

bool StartsWithNoCase(const std::string &text, const std::string &prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}
