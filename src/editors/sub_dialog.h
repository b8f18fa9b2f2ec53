#pragma once

#include <functional>

namespace vantor {

// A modal dialog that an editor's handler opens on top of itself (password, metadata,
// restrictions, add address, folder browser, save file). The handler hands it the value to show;
// the dialog edits that value in place and returns true when the user accepted it. Views pass a
// function that runs the Qt dialog; tests pass one that answers as the case needs. An empty
// function counts as a dialog that was cancelled.
template <class Value>
using SubDialog = std::function<bool(Value& value)>;

// Runs a sub-dialog that may be missing.
template <class Value>
bool RunSubDialog(const SubDialog<Value>& dialog, Value& value) {
    return dialog ? dialog(value) : false;
}

}  // namespace vantor
