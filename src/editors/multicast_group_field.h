#pragma once

#include <string>
#include <string_view>

#include "editors/control_state.h"

namespace vantor {

class MulticastTable;

inline constexpr std::u16string_view EmptyMulticastGroupMessage = u"Empty multicast group";
inline constexpr std::u16string_view NoMulticastPortMessage =
    u"No port is specified in the multicast group";

// OK's rule for the group text of a resource delivered by multicast: a group and a port, before
// the table has its say. Empty when it passes.
std::u16string CheckGroupText(std::u16string_view typed);

// The multicast group an editor holds in the process-wide table, and the edit box that shows
// it. The table changes as the user goes: a group is reserved when multicast is on without one,
// and OK swaps a typed group for the held one at once, even if a later check then fails.
class MulticastGroupField {
public:
    // groupText and assignedAutomatically are the editor form's; all must outlive the field.
    MulticastGroupField(MulticastTable& table, std::u16string& groupText,
                        bool& assignedAutomatically, ControlState& edit);

    // Reserves the lowest free group when none is held; the table's message when none is left.
    std::u16string AssignIfEmpty();
    // The edit shows the held group and is enabled, or is empty and disabled.
    void Show(bool shown);
    // OK's group step: with multicast off a held group is released; on, the typed text must
    // be a group with a port, and a changed one is registered in place of the held one (on
    // refusal the held group goes back into the edit). Empty when it passed.
    std::u16string Apply(bool multicast);
    // Cancel: frees only a group this editor reserved.
    void ReleaseAssigned();

private:
    MulticastTable& table_;
    std::u16string& groupText_;
    bool& assignedAutomatically_;
    ControlState& edit_;
};

}  // namespace vantor
