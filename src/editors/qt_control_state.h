#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "editors/control_state.h"

class QLineEdit;
class QWidget;

namespace vantor {

QString ToQString(std::u16string_view text);
std::u16string ToModelText(const QString& text);

// A caption with a keyboard mnemonic: '&' goes before the first occurrence of letter (none when
// the caption does not hold it, or letter is 0); ampersands of the caption itself are doubled.
QString MnemonicText(std::u16string_view text, char16_t letter);

// Copies a form model's state of one control into its widget: enabled and visible always;
// checked for buttons that can be checked; text as the caption of a label, button or group box
// (with the mnemonic letter) or as the content of a line edit. An edit's text is set only when it
// differs, so the cursor of the user's typing stays where it is.
void ApplyControlState(QWidget& widget, const ControlState& state, char16_t mnemonic = 0);

// The caption of a label, button or group box without its mnemonic marks; an edit's text.
QString DisplayedText(const QWidget& widget);

// Keeps an edit to what its form model lets the user type.
void RestrictEntry(QLineEdit& edit, EditEntry entry);

// An edit the user reads but never types into: read-only, and in the dialog's colour rather
// than an edit's.
void ShowAsReadOnly(QLineEdit& edit);

}  // namespace vantor
