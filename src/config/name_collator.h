#pragma once

#include <compare>
#include <memory>
#include <string>
#include <string_view>

struct UCollator;

namespace vantor {

// The order names are sorted in, as the user's language has it: ICU's collation for a locale,
// letter case ignored and accents counted (secondary strength), so "Émile" sorts among the E's
// before "Zoo", "été" after "Eta", and "Music" ties with "music". Comparing changes nothing, so
// one collator may be shared by several threads.
class NameCollator {
public:
    // For ICU's default locale, which main() makes the user's collation locale
    // (UseCollationLocale); ICU's own name for C and POSIX gives the root order.
    NameCollator();
    // For a locale name as LC_COLLATE holds it ("fr_FR.UTF-8", "de_DE@euro") or an ICU locale
    // id ("sv_SE"). "C", "POSIX", "C.UTF-8" and the empty name give the root order.
    explicit NameCollator(std::string_view localeName);
    NameCollator(const NameCollator& other);
    NameCollator& operator=(const NameCollator& other);
    NameCollator(NameCollator&&) noexcept;
    NameCollator& operator=(NameCollator&&) noexcept;
    ~NameCollator();

    std::weak_ordering Compare(std::u16string_view a, std::u16string_view b) const;
    // Appends the text's sort key to keys and returns its length. Two keys compared as byte
    // strings (shorter prefix first) order their texts as Compare does, so a large list sorts
    // by keys made once per text.
    std::size_t AppendSortKey(std::u16string_view text, std::string& keys) const;

    // The ICU locale whose order this is ("root", "fr_FR").
    const std::string& LocaleId() const { return localeId_; }

private:
    struct Closer {
        void operator()(UCollator* collator) const;
    };

    std::string localeId_;
    // Null only when ICU has no collation data at all; names then compare by code unit.
    std::unique_ptr<UCollator, Closer> collator_;
};

// The ICU locale id whose collation a locale name asks for: the name without its codeset and
// modifier ("fr_FR.UTF-8" -> "fr_FR"), and "root" for C, POSIX (also as ICU calls it,
// "en_US_POSIX") and the empty name.
std::string CollationLocaleId(std::string_view localeName);

// Makes the collation locale ICU's default, so that every NameCollator() follows the user's
// LC_COLLATE. Called once in main(), before any other thread starts.
void UseCollationLocale(std::string_view localeName);

}  // namespace vantor
