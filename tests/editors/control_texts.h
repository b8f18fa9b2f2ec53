#pragma once

// Every control of a form model but its edit boxes is a label, button, check box or group box,
// and shows a text of its own.

#include <cstddef>
#include <set>
#include <vector>

namespace vantor::test {

// The controls, by number, that show no text although they are no edit box.
template <typename Control, typename Model>
std::vector<std::size_t> ControlsWithoutText(const Model& model, std::size_t count,
                                             const std::set<Control>& edits) {
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < count; ++i) {
        const auto control = static_cast<Control>(i);
        if (!edits.contains(control) && model.State(control).text.empty()) {
            missing.push_back(i);
        }
    }
    return missing;
}

}  // namespace vantor::test
