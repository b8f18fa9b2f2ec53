#include "config/name_collator.h"

#include <algorithm>
#include <cstdint>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace vantor {
namespace {

constexpr std::string_view kRootLocale = "root";

UCollator* OpenCollator(const std::string& localeId) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(localeId.c_str(), &status);
    if (U_FAILURE(status)) {
        // An id ICU cannot use at all: the root order rather than none.
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status);
        if (U_FAILURE(status)) {
            return nullptr;
        }
    }
    // Secondary: base letters and accents count, letter case (a tertiary difference) does not.
    ucol_setStrength(collator, UCOL_SECONDARY);
    return collator;
}

const UChar* Units(std::u16string_view text) {
    return reinterpret_cast<const UChar*>(text.data());
}

std::int32_t Length(std::u16string_view text) {
    return static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
}

}  // namespace

void NameCollator::Closer::operator()(UCollator* collator) const {
    ucol_close(collator);
}

NameCollator::NameCollator() : NameCollator(uloc_getDefault()) {}

NameCollator::NameCollator(std::string_view localeName)
    : localeId_(CollationLocaleId(localeName)), collator_(OpenCollator(localeId_)) {}

NameCollator::NameCollator(const NameCollator& other)
    : localeId_(other.localeId_), collator_(OpenCollator(localeId_)) {}

NameCollator& NameCollator::operator=(const NameCollator& other) {
    if (this != &other) {
        localeId_ = other.localeId_;
        collator_.reset(OpenCollator(localeId_));
    }
    return *this;
}

NameCollator::NameCollator(NameCollator&&) noexcept = default;
NameCollator& NameCollator::operator=(NameCollator&&) noexcept = default;
NameCollator::~NameCollator() = default;

std::weak_ordering NameCollator::Compare(std::u16string_view a, std::u16string_view b) const {
    if (!collator_) {
        return a <=> b;
    }
    switch (ucol_strcoll(collator_.get(), Units(a), Length(a), Units(b), Length(b))) {
        case UCOL_LESS:
            return std::weak_ordering::less;
        case UCOL_GREATER:
            return std::weak_ordering::greater;
        case UCOL_EQUAL:
            break;
    }
    return std::weak_ordering::equivalent;
}

std::size_t NameCollator::AppendSortKey(std::u16string_view text, std::string& keys) const {
    const std::size_t start = keys.size();
    if (!collator_) {
        // The code units high byte first, which compare as the units do.
        for (const char16_t unit : text) {
            keys.push_back(static_cast<char>(unit >> 8));
            keys.push_back(static_cast<char>(unit & 0xFF));
        }
        return keys.size() - start;
    }
    // A secondary key takes a few bytes per letter; a longer one is asked for again.
    std::size_t room = text.size() * 4 + 16;
    for (;;) {
        keys.resize(start + room);
        const std::int32_t needed = ucol_getSortKey(
            collator_.get(), Units(text), Length(text),
            reinterpret_cast<std::uint8_t*>(keys.data() + start), static_cast<std::int32_t>(room));
        if (needed <= 0) {
            keys.resize(start);
            return 0;
        }
        if (static_cast<std::size_t>(needed) <= room) {
            // Without the terminating zero: keys are compared with their lengths.
            keys.resize(start + static_cast<std::size_t>(needed) - 1);
            return keys.size() - start;
        }
        room = static_cast<std::size_t>(needed);
    }
}

std::string CollationLocaleId(std::string_view localeName) {
    const std::string_view bare = localeName.substr(0, localeName.find_first_of(".@"));
    if (bare.empty() || bare == "C" || bare == "POSIX" || bare == "en_US_POSIX" ||
        bare == kRootLocale) {
        return std::string(kRootLocale);
    }
    return std::string(bare);
}

void UseCollationLocale(std::string_view localeName) {
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(CollationLocaleId(localeName).c_str(), &status);
}

}  // namespace vantor
