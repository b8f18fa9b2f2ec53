#include "platform/linux_collation_locale.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Sets the three variables for one case and puts the old values back.
class CollationEnvironment {
public:
    CollationEnvironment(const char* all, const char* collate, const char* lang) {
        const char* values[] = {all, collate, lang};
        for (int i = 0; i < 3; ++i) {
            if (const char* old = std::getenv(kNames[i])) {
                saved_[i] = old;
                had_[i] = true;
            }
            if (values[i] == nullptr) {
                unsetenv(kNames[i]);
            } else {
                setenv(kNames[i], values[i], 1);
            }
        }
    }
    ~CollationEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (had_[i]) {
                setenv(kNames[i], saved_[i].c_str(), 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_COLLATE", "LANG"};
    std::string saved_[3];
    bool had_[3] = {};
};

TEST(LinuxCollationLocale, TakesLcAllThenLcCollateThenLangSkippingEmptyOnes) {
    const struct {
        const char* all;
        const char* collate;
        const char* lang;
        const char* expected;
    } cases[] = {
        {"sv_SE.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "sv_SE.UTF-8"},
        {nullptr, "de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8"},
        {"", "", "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {nullptr, nullptr, nullptr, "C"},
        {"", "", "", "C"},
    };
    for (const auto& [all, collate, lang, expected] : cases) {
        const CollationEnvironment environment(all, collate, lang);
        EXPECT_EQ(LinuxCollationLocaleName(), expected) << expected;
    }
}

}  // namespace
}  // namespace vantor
