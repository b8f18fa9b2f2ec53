#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Conversions between the UTF-16 text of the models and the byte encodings the program meets:
// UTF-8 (paths, JSON, XML) and Windows-1252 (the single-byte "ANSI" text of exported files,
// password bytes and address parsing).

// Ill-formed UTF-16 (a lone surrogate) becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Ill-formed UTF-8 becomes U+FFFD, one per maximal ill-formed sequence.
std::u16string Utf8ToUtf16(std::string_view text);

// Windows-1252 with '?' for every character the code page cannot hold (a surrogate pair is one
// character and gives one '?').
std::string Utf16ToAnsi(std::u16string_view text);
std::u16string AnsiToUtf16(std::string_view text);

}  // namespace vantor
