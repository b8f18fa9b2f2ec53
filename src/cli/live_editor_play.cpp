#include "cli/live_editor_play.h"

#include <functional>
#include <ostream>
#include <string>
#include <utility>

#include "cli/config_session.h"
#include "cli/live_commands.h"
#include "cli/panel_options.h"
#include "cli/password_command.h"
#include "config/ascii_case.h"
#include "config/catalogue.h"
#include "config/text_codec.h"
#include "editors/delegate_editor_model.h"
#include "editors/live_editor_model.h"
#include "editors/metadata_editor_model.h"
#include "server/set_password_model.h"

namespace vantor {
namespace {

std::u16string Text(const std::string& utf8) {
    return Utf8ToUtf16(utf8);
}

int ProtocolIndex(const std::string& word) {
    const std::vector<std::u16string>& items = DelegateEditorModel::ProtocolItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (EqualIgnoringAsciiCase(items[i], Text(word))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

bool LiveEditorPlay::ShowDialogMessage(const std::u16string& message) {
    if (message.empty()) {
        return false;
    }
    session_.Prompter().ShowMessage(message, std::u16string(BroadcastSettings::kErrorCaption));
    return true;
}

bool LiveEditorPlay::Refuse(const std::string& text) {
    session_.Err() << text << '\n';
    return false;
}

BroadcastSubDialogs LiveEditorPlay::SubDialogs() {
    BroadcastSubDialogs dialogs;
    // "Set password": the password and its confirmation as typed, from standard input.
    dialogs.setPassword = [this](std::u16string& hashText) {
        SetPasswordModel model;
        const std::u16string password = ReadPasswordLine(in_);
        model.SetPasswordText(password);
        model.SetConfirmText(options_.passwordStdin ? password : ReadPasswordLine(in_));
        const PasswordMessage message = model.OnOk();
        if (!message.text.empty()) {
            session_.Prompter().ShowMessage(message.text, std::u16string(message.caption),
                                            message.icon);
            passwordRefused_ = true;
            return false;
        }
        hashText = model.HashText();
        return true;
    };
    dialogs.metadata = [this](BroadcastMetadata& metadata) {
        MetadataEditorModel model(metadata);
        for (const auto& [value, edit] :
             {std::pair(&options_.metaAuthor, MetadataControl::AuthorEdit),
              std::pair(&options_.metaTitle, MetadataControl::TitleEdit),
              std::pair(&options_.metaCopyright, MetadataControl::CopyrightEdit)}) {
            if (*value) {
                model.SetText(edit, Text(**value));
            }
        }
        metadata = model.OnOk();
        return true;
    };
    return dialogs;
}

bool LiveEditorPlay::PlaySettings(BroadcastSettings& settings) {
    if (!options_.edit) {
        settings.SetNameText(Text(options_.name));
    } else if (options_.rename) {
        settings.SetNameText(Text(*options_.rename));
    }
    if (options_.description) {
        settings.SetDescriptionText(Text(*options_.description));
    }
    if (const std::string refusal =
            PlaySwitch("unicast", options_.unicast, settings.State(BroadcastControl::Unicast),
                       [&settings](bool checked) { settings.OnUnicastClicked(checked); });
        !refusal.empty()) {
        return Refuse(refusal);
    }
    if (const std::string refusal = PlayAccessOptions(options_.access, settings.Access());
        !refusal.empty()) {
        return Refuse(refusal);
    }
    if (options_.metaAuthor || options_.metaTitle || options_.metaCopyright) {
        const ControlState& button = settings.Access().State(AccessControl::Metadata);
        if (!button.enabled) {
            const char* option = options_.metaAuthor  ? "--meta-author"
                                 : options_.metaTitle ? "--meta-title"
                                                      : "--meta-copyright";
            return Refuse(DisabledControlText(option, button.text));
        }
        settings.OnMetadataClicked();
    }
    if (options_.multicast &&
        settings.State(BroadcastControl::Multicast).checked != *options_.multicast) {
        if (ShowDialogMessage(settings.OnMulticastClicked(*options_.multicast))) {
            return false;
        }
    }
    if (options_.group) {
        if (!settings.State(BroadcastControl::GroupEdit).enabled) {
            return Refuse(
                DisabledControlText("--group", settings.State(BroadcastControl::GroupLabel).text));
        }
        settings.SetGroupText(Text(*options_.group));
    }
    if (const std::string refusal =
            PlaySwitch("notify-archival", options_.notifyArchival,
                       settings.State(BroadcastControl::NotifyArchival),
                       [&settings](bool checked) { settings.OnNotifyArchivalToggled(checked); });
        !refusal.empty()) {
        return Refuse(refusal);
    }
    PlayLimitsOptions(options_.limits, settings.Limits());
    return true;
}

bool LiveEditorPlay::EditLive(LiveForm& form, bool updateMode) {
    LiveEditorModel model(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                          session_.Multicast(), session_.Store().Resources(),
                          session_.DefaultAuthMethod(), SubDialogs());
    ShowDialogMessage(model.OnOpen());
    const std::optional<std::string>& typed =
        model.Type() == LiveType::MmsRebroadcast ? options_.link : options_.address;
    if (typed) {
        model.SetAddressText(Text(*typed));
    }
    if (options_.id) {
        model.OnIdSelected(*options_.id - 1);
    }
    if (options_.password || options_.passwordStdin) {
        model.OnSetPasswordClicked();
    }
    if (passwordRefused_ || !PlaySettings(model.Settings()) || ShowDialogMessage(model.OnOk())) {
        model.OnCancel();
        return false;
    }
    form = model.Form();
    accepted_ = true;
    return true;
}

bool LiveEditorPlay::EditDelegate(DelegateForm& form, bool updateMode) {
    DelegateEditorModel model(updateMode ? DelegateEditorMode::Update : DelegateEditorMode::Create,
                              form, session_.Multicast(), session_.Store().Resources(),
                              session_.DefaultAuthMethod(), SubDialogs());
    ShowDialogMessage(model.OnOpen());
    if (options_.remoteAlias) {
        model.SetRemoteAliasText(Text(*options_.remoteAlias));
    }
    if (options_.remoteAddress) {
        model.SetAddressText(Text(*options_.remoteAddress));
    }
    // The protocol first: choosing one proposes its port, which a given port then replaces.
    if (options_.protocol) {
        model.OnProtocolSelected(ProtocolIndex(*options_.protocol));
    }
    if (options_.port) {
        model.SetPortText(Text(*options_.port));
    }
    if (!PlaySettings(model.Settings()) || ShowDialogMessage(model.OnOk())) {
        model.OnCancel();
        return false;
    }
    form = model.Form();
    accepted_ = true;
    return true;
}

}  // namespace vantor
