#include "config/decimal_reader.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace vantor {
namespace {

template <typename Char>
DecimalReading Read(std::basic_string_view<Char> text) {
    auto isSpace = [](Char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto isDigit = [](Char c) { return c >= '0' && c <= '9'; };
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size() || !isDigit(text[pos])) {
        return {};
    }
    // The magnitude saturates at INT_MIN's, which still tells INT_MIN from INT_MAX + 1.
    constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        magnitude = std::min(magnitude * 10 + (text[pos] - '0'), kLimit);
    }
    const std::int64_t value = std::min(negative ? -magnitude : magnitude, std::int64_t{INT_MAX});
    return {true, static_cast<int>(value), pos};
}

}  // namespace

DecimalReading ReadDecimal(std::u16string_view text) {
    return Read(text);
}

DecimalReading ReadDecimal(std::string_view text) {
    return Read(text);
}

std::int32_t ReadDialogInt(std::u16string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == u' ') {
        ++pos;
    }
    bool negative = pos < text.size() && text[pos] == u'-';
    if (negative) {
        ++pos;
    }
    constexpr std::int64_t kMaxMagnitude = std::int64_t{INT32_MAX} + 1;  // for INT32_MIN
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
        anyDigit = true;
        magnitude = magnitude * 10 + (text[pos] - u'0');
        if (magnitude > kMaxMagnitude) {
            return 0;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    return value > INT32_MAX ? 0 : static_cast<std::int32_t>(value);
}

std::u16string DecimalText(std::int32_t value) {
    const std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace vantor
