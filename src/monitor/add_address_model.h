#pragma once

#include <string>
#include <string_view>

#include "editors/control_state.h"

namespace vantor {

// The address without the white space around it, as every place that takes one stores it.
std::u16string TrimAddress(std::u16string_view text);

// The model of the "Add Media Server address" dialog: one edit and the default button "Add",
// which is enabled only while the edit holds something besides white space.
//
// Binding: the view copies EditState() and AddState() into its widgets after construction and
// after every SetEditText. "Add" ends the dialog with Address(); Escape or closing it cancels.
class AddAddressModel {
public:
    static constexpr std::u16string_view kTitle = u"Add Media Server address";
    static constexpr std::u16string_view kAddText = u"Add";

    AddAddressModel();

    const ControlState& EditState() const { return edit_; }
    const ControlState& AddState() const { return add_; }
    // The typed text, trimmed.
    std::u16string Address() const { return TrimAddress(edit_.text); }

    void SetEditText(std::u16string text);

private:
    ControlState edit_;
    ControlState add_;
};

}  // namespace vantor
