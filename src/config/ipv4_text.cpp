#include "config/ipv4_text.h"

#include <array>

namespace vantor {
namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The white space of the C locale; inet_aton only ever accepts ASCII here.
bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

}  // namespace

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
    // Past the end reads as NUL, like the C string the library sees.
    auto at = [text](std::size_t i) -> unsigned char {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    // Largest value of the last part when it follows 0, 1, 2 or 3 dotted parts.
    static constexpr auto kLastPartMax =
        std::to_array<std::uint32_t>({0xFFFFFFFF, 0xFFFFFF, 0xFFFF, 0xFF});
    std::array<std::uint32_t, 3> leading{};
    std::size_t leadingCount = 0;
    std::size_t pos = 0;
    std::uint64_t part = 0;
    for (;;) {
        if (!IsDigit(at(pos))) {
            return std::nullopt;
        }
        // A C integer constant as strtoul(base 0) reads it: "0x" counts as a prefix only when a
        // hex digit follows, otherwise the part is the lone 0 and the 'x' is a stray character.
        int base = 10;
        if (at(pos) == '0') {
            base = 8;
            if ((at(pos + 1) == 'x' || at(pos + 1) == 'X') && DigitValue(at(pos + 2)) < 16) {
                base = 16;
                pos += 2;
            }
        }
        part = 0;
        for (int digit = DigitValue(at(pos)); digit < base; digit = DigitValue(at(++pos))) {
            part = part * base + digit;
            if (part > 0xFFFFFFFF) {
                return std::nullopt;
            }
        }
        if (at(pos) != '.') {
            break;
        }
        if (leadingCount == leading.size() || part > 0xFF) {
            return std::nullopt;
        }
        leading[leadingCount++] = static_cast<std::uint32_t>(part);
        ++pos;
    }
    unsigned char stop = at(pos);
    if (stop != 0 && !IsSpace(stop)) {
        return std::nullopt;
    }
    if (part > kLastPartMax[leadingCount]) {
        return std::nullopt;
    }
    std::uint32_t address = static_cast<std::uint32_t>(part);
    for (std::size_t i = 0; i < leadingCount; ++i) {
        address |= leading[i] << (24 - 8 * i);
    }
    return address;
}

std::string FormatIpv4(std::uint32_t address) {
    std::string text;
    text.reserve(15);
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address >> shift) & 0xFF);
        if (shift != 0) {
            text += '.';
        }
    }
    return text;
}

}  // namespace vantor
