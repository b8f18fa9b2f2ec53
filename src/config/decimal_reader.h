#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// What reading a decimal integer from the start of a text gave.
struct DecimalReading {
    bool read = false;  // a number was found; when false, value is 0 and end is 0
    int value = 0;
    std::size_t end = 0;  // index just past the last digit read
};

// Reads an int the way the "%d" conversion of scanf does: ASCII white space (space, \t \n \v \f
// \r) is skipped, then one optional '+' or '-', then decimal digits up to the first character
// that is not one, so "5000abc" reads 5000 and the caller may look at what follows from `end`.
// No digit after the optional sign ("", "abc", "-", "+-5") reads nothing. A number beyond the
// range of int is clamped to INT_MIN or INT_MAX (the C library leaves overflow undefined; a
// clamped value stays out of any narrower range the caller then checks, and never wraps into it).
DecimalReading ReadDecimal(std::u16string_view text);
DecimalReading ReadDecimal(std::string_view text);

// Reads the number in an edit box the way the dialog manager's GetDlgItemInt does for a signed
// value: leading blanks (U+0020) are skipped, then one optional '-', then decimal digits up to
// the first character that is not one ("12abc" reads 12). No digit at all ("", "abc", "-",
// "+5"), or a number outside the signed 32-bit range, reads as 0, so callers that need at least
// 1 reject all of them with one message.
std::int32_t ReadDialogInt(std::u16string_view text);

// The text "%d" makes of value, as the dialogs show numbers.
std::u16string DecimalText(std::int32_t value);

}  // namespace vantor
