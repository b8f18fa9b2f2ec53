#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "editors/broadcast_form.h"
#include "editors/control_state.h"

namespace vantor {

enum class MetadataControl {
    AuthorLabel,
    AuthorEdit,
    TitleLabel,
    TitleEdit,
    CopyrightLabel,
    CopyrightEdit,
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kMetadataControlCount =
    static_cast<std::size_t>(MetadataControl::Count);

// The "MMS / Flash Metadata" dialog: what players are told about a broadcast. It has no checks;
// OK takes the three texts as typed.
class MetadataEditorModel {
public:
    static constexpr std::u16string_view kTitle = u"MMS / Flash Metadata";

    explicit MetadataEditorModel(const BroadcastMetadata& metadata);

    const std::u16string& Title() const { return title_; }
    const ControlState& State(MetadataControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    // The view reports every change of one of the three edits.
    void SetText(MetadataControl edit, std::u16string text);
    BroadcastMetadata OnOk() const;

private:
    ControlState& At(MetadataControl control) { return states_[static_cast<std::size_t>(control)]; }

    std::u16string title_{kTitle};
    std::array<ControlState, kMetadataControlCount> states_;
};

}  // namespace vantor
