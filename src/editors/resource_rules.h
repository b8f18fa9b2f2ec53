#pragma once

#include <string>
#include <string_view>

namespace vantor {

class Catalogue;

// Checks that the folder and broadcast editors both make on OK, one function each, so that a
// stored configuration is checked by the very same rules. Each returns the message the editor
// shows, empty when the value passes.

inline constexpr std::u16string_view NameExistsMessage =
    u"Resource with this name already exists. Choose different name";
inline constexpr std::u16string_view NoDeliveryMessage =
    u"Either Unicast or Multicast or both should be checked";

// The folder and the broadcast editors word their name messages differently.
struct NameMessages {
    std::u16string_view noName;
    std::u16string_view badName;
};

// A name must not be empty nor hold '/', '\' or '*'.
std::u16string CheckNameText(std::u16string_view name, const NameMessages& messages);
// Another resource of the catalogue has the name, ignoring ASCII case. Changing only the letter
// case of the resource's own name (its opening name) is not a clash with itself.
std::u16string CheckNameFree(std::u16string_view name, std::u16string_view openingName,
                             const Catalogue& catalogue);
// A resource is delivered by unicast, multicast or both.
std::u16string CheckDelivery(bool unicast, bool multicast);

}  // namespace vantor
