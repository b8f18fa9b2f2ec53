#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include <QWidget>

#include "editors/qt_control_state.h"

namespace vantor {

// The widgets of a form model's controls, indexed by the model's control enum, each with its
// keyboard letter (0: none). Apply copies the model's states into them.
template <class Control, std::size_t Count>
class ControlWidgets {
public:
    ControlWidgets() = default;
    // With the keyboard letters of some controls.
    template <std::size_t N>
    explicit ControlWidgets(const std::pair<Control, char16_t> (&mnemonics)[N]) {
        for (const auto& [control, letter] : mnemonics) {
            SetMnemonic(control, letter);
        }
    }

    QWidget* operator[](Control control) const {
        return Index(control) < Count ? widgets_[Index(control)] : nullptr;
    }
    void Set(Control control, QWidget* widget) { widgets_[Index(control)] = widget; }
    void SetMnemonic(Control control, char16_t letter) {
        if (Index(control) < Count) {
            mnemonics_[Index(control)] = letter;
        }
    }
    // Model: anything with State(Control) -> const ControlState&.
    template <class Model>
    void Apply(const Model& model) const {
        for (std::size_t i = 0; i < Count; ++i) {
            ApplyControlState(*widgets_[i], model.State(static_cast<Control>(i)), mnemonics_[i]);
        }
    }

private:
    static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

    std::array<QWidget*, Count> widgets_{};
    std::array<char16_t, Count> mnemonics_{};
};

}  // namespace vantor
