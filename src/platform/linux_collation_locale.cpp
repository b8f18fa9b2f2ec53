#include "platform/linux_collation_locale.h"

#include <cstdlib>

namespace vantor {

std::string LinuxCollationLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

}  // namespace vantor
