#pragma once

#include <string>

namespace vantor {

// The picture beside a message box's text.
enum class MessageIcon { None, Error, Warning, Question, Information };

// Every message box and question of the program goes through this, so the rules that show
// them run in tests with a recording fake.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal message with an OK button.
    virtual void ShowMessage(const std::u16string& text, const std::u16string& caption,
                             MessageIcon icon = MessageIcon::None) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                          MessageIcon icon = MessageIcon::Question) = 0;
};

}  // namespace vantor
