#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantor {

// Resource names are compared ignoring the case of ASCII letters only, the same wherever the
// comparison runs (name uniqueness, renames, matching a resource's users).

inline constexpr char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

inline bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// For hashed sets of names told apart as above: names equal ignoring ASCII case hash alike.
struct AsciiCaseHash {
    std::size_t operator()(std::u16string_view name) const {
        std::uint64_t hash = 14695981039346656037u;  // FNV-1a
        for (const char16_t c : name) {
            hash = (hash ^ AsciiLower(c)) * 1099511628211u;
        }
        return static_cast<std::size_t>(hash);
    }
};
struct AsciiCaseEqual {
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        return EqualIgnoringAsciiCase(a, b);
    }
};

// What a name typed on a command line means: the item of exactly that name, else the first whose
// name differs only in letter case. `end` when there is neither.
template <typename Iterator, typename NameOf>
Iterator FindByName(Iterator begin, Iterator end, std::u16string_view name, NameOf nameOf) {
    const Iterator exact =
        std::find_if(begin, end, [&](const auto& item) { return nameOf(item) == name; });
    if (exact != end) {
        return exact;
    }
    return std::find_if(
        begin, end, [&](const auto& item) { return EqualIgnoringAsciiCase(nameOf(item), name); });
}

}  // namespace vantor
