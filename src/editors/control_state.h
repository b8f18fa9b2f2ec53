#pragma once

#include <string>

namespace vantor {

// What a form model knows about one control of its dialog. The view copies these into its widgets
// after every handler and has no say in them: checked for check boxes and radio buttons, enabled
// and visible for every control, and text for the caption of a label, button, check box, radio
// button or group box, or the content of an edit box.
struct ControlState {
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    std::u16string text;

    bool operator==(const ControlState&) const = default;
};

// What an edit box lets the user type at all; the form's checks still read whatever it holds.
enum class EditEntry { AnyText, Digits, SignedNumber };

}  // namespace vantor
