#pragma once

#include <iostream>
#include <memory>
#include <string>

#include "config/text_codec.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

// Without a display, messages go to standard error and every question is answered No.
class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(std::ostream& err = std::cerr) : err_(err) {}
    void ShowMessage(const std::u16string& text, const std::u16string& caption,
                     MessageIcon /*icon*/ = MessageIcon::None) override {
        // A box without a caption (the user manager's) prints its text alone.
        if (!caption.empty()) {
            err_ << Utf16ToUtf8(caption) << ": ";
        }
        err_ << Utf16ToUtf8(text) << '\n';
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                  MessageIcon /*icon*/ = MessageIcon::Question) override {
        ShowMessage(text, caption);
        return false;
    }

private:
    std::ostream& err_;
};

// Messages go to standard error as the window would show them; questions are answered as the
// command line said (--yes). Remembers whether anything went wrong, for the exit code.
class SessionPrompter : public StreamPrompter {
public:
    SessionPrompter(bool answer, std::ostream& err) : StreamPrompter(err), answer_(answer) {}
    void ShowMessage(const std::u16string& text, const std::u16string& caption,
                     MessageIcon icon = MessageIcon::None) override {
        ++messagesShown_;
        StreamPrompter::ShowMessage(text, caption, icon);
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                  MessageIcon icon = MessageIcon::Question) override {
        // The question is printed, not counted as a message: answering it is not a failure.
        StreamPrompter::ShowMessage(text, caption, icon);
        questionRefused_ = questionRefused_ || !answer_;
        return answer_;
    }

    // Every message the window would show after a change is a refusal or a failure.
    int MessagesShown() const { return messagesShown_; }
    bool QuestionRefused() const { return questionRefused_; }

private:
    bool answer_;
    int messagesShown_ = 0;
    bool questionRefused_ = false;
};

// For commands that only read the configuration: no server object can be reached.
class NoAutomation : public AutomationFactory {
public:
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return nullptr; }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override { return nullptr; }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }
};

}  // namespace vantor
