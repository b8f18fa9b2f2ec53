#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// IPv4 addresses as text, read and written the way the C library's inet_addr and inet_ntoa do,
// so that an address a user typed means what the server (which uses those calls) reads from it.
// Values are in host byte order: 224.0.0.1 is 0xE0000001.

// Reads the numbers-and-dots notation of inet_aton: one to four parts separated by '.', each a C
// integer constant (decimal, octal with a leading 0, hexadecimal with 0x or 0X); a.b.c.d, a.b.c
// (c fills the last 16 bits), a.b (b fills the last 24 bits) or a (all 32 bits). Every part but
// the last must fit in a byte and the last in the bits left to it. The text must start with a
// digit (no leading white space or sign). Reading stops at the end of the text, at a NUL, or at
// an ASCII white space character, after which anything may follow ("1.2.3.4 x" reads as 1.2.3.4,
// as with the C library); any other character makes the text invalid. nullopt when invalid.
// 255.255.255.255 is returned as a value: inet_addr's confusion of it with failure is the
// caller's business.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);

// Dotted decimal, four parts, at most 15 characters ("225.0.0.0").
std::string FormatIpv4(std::uint32_t address);

}  // namespace vantor
