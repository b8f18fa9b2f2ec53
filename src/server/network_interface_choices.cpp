#include "server/network_interface_choices.h"

#include "config/text_codec.h"

namespace vantor {

NetworkInterfaceChoices BuildNetworkInterfaceChoices(const std::vector<std::string>& addresses,
                                                     std::u16string_view stored) {
    NetworkInterfaceChoices choices;
    choices.entries.emplace_back(AnyAvailableInterfaceText);
    for (const std::string& address : addresses) {
        if (address == "0.0.0.0") {
            continue;  // an adapter without an address yet
        }
        choices.entries.push_back(Utf8ToUtf16(address));
    }
    for (std::size_t i = 0; i < choices.entries.size(); ++i) {
        if (choices.entries[i] == stored) {
            choices.selected = i;
        }
    }
    return choices;
}

}  // namespace vantor
