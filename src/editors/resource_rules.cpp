#include "editors/resource_rules.h"

#include "config/ascii_case.h"
#include "config/catalogue.h"

namespace vantor {

std::u16string CheckNameText(std::u16string_view name, const NameMessages& messages) {
    if (name.empty()) {
        return std::u16string(messages.noName);
    }
    if (name.find_first_of(u"/\\*") != std::u16string_view::npos) {
        return std::u16string(messages.badName);
    }
    return {};
}

std::u16string CheckNameFree(std::u16string_view name, std::u16string_view openingName,
                             const Catalogue& catalogue) {
    if (!EqualIgnoringAsciiCase(name, openingName) && catalogue.ResourceNameExists(name)) {
        return std::u16string(NameExistsMessage);
    }
    return {};
}

std::u16string CheckDelivery(bool unicast, bool multicast) {
    return unicast || multicast ? std::u16string() : std::u16string(NoDeliveryMessage);
}

}  // namespace vantor
