#pragma once

// The texts a form model's controls show, for tests that spell out what the user reads.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace vantor::test {

// Every control's text in control order, the edit boxes (whose text is the user's) left out.
template <typename Control, typename Model>
std::vector<std::u16string> ControlTexts(const Model& model, std::size_t count,
                                         const std::set<Control>& edits) {
    std::vector<std::u16string> texts;
    for (std::size_t i = 0; i < count; ++i) {
        const auto control = static_cast<Control>(i);
        if (!edits.contains(control)) {
            texts.push_back(model.State(control).text);
        }
    }
    return texts;
}

}  // namespace vantor::test
