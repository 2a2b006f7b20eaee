#pragma once
// Text conversions at the library's boundary: UTF-16 in, UTF-8 to libcurl.
#include <cstdint>
#include <string>

// UTF-8 of a zero-terminated UTF-16 text; nullptr gives the empty text.
std::string Utf8Of(const char16_t *text);
// UTF-8 of the first length code units, or of the zero-terminated text when
// length is UINT32_MAX.
std::string Utf8Of(const char16_t *text, uint32_t length);
// Header bytes widened one byte per code unit, as the client reads them back.
std::u16string WidenBytes(const std::string &bytes);
// Case-insensitive test whether text starts with the ASCII prefix.
bool StartsWithNoCase(const std::string &text, const std::string &prefix);
