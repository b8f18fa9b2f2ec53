#pragma once

#include <iosfwd>

#include "editors/broadcast_form.h"
#include "editors/broadcast_settings.h"

namespace vantor {

class ConfigSession;
struct LiveCommandOptions;

// Plays `live add|edit`'s options into the live broadcast or the delegate dialog's form model
// as a user would click and type, then presses OK. The dialog's own messages are shown through
// the session's prompter with the dialog's caption; an option the dialog would not take is
// refused on standard error. Either way the editor counts as cancelled.
class LiveEditorPlay {
public:
    LiveEditorPlay(const LiveCommandOptions& options, ConfigSession& session, std::istream& in)
        : options_(options), session_(session), in_(in) {}

    bool EditLive(LiveForm& form, bool updateMode);
    bool EditDelegate(DelegateForm& form, bool updateMode);
    // Whether an editor ran and its OK was accepted.
    bool Accepted() const { return accepted_; }

private:
    BroadcastSubDialogs SubDialogs();
    // The controls both dialogs share, top to bottom; false when one was refused.
    bool PlaySettings(BroadcastSettings& settings);
    // Shows a message of the dialog, if any, as the dialog shows it; true when there was one.
    bool ShowDialogMessage(const std::u16string& message);
    bool Refuse(const std::string& text);

    const LiveCommandOptions& options_;
    ConfigSession& session_;
    std::istream& in_;
    bool passwordRefused_ = false;
    bool accepted_ = false;
};

}  // namespace vantor
