#include "editors/live_editor_model.h"

#include <string>
#include <utility>

#include "config/decimal_reader.h"

namespace vantor {
LiveEditorModel::LiveEditorModel(LiveEditorMode mode, LiveForm form, MulticastTable& multicastTable,
                                 const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                                 BroadcastSubDialogs subDialogs)
    : mode_(mode),
      form_(std::move(form)),
      type_(LiveTypeOf(form_)),
      title_(kCreateTitle),
      settings_(form_, multicastTable, catalogue, defaultAuthMethod, std::move(subDialogs)) {
    At(LiveControl::AddressLabel).text =
        type_ == LiveType::MmsRebroadcast ? kMmsLinkLabelText : kAddressLabelText;
    At(LiveControl::PasswordLabel).text = kPasswordLabelText;
    At(LiveControl::SetPasswordButton).text = kSetPasswordText;
}

std::u16string LiveEditorModel::OnOpen() {
    switch (type_) {
        case LiveType::Dynamic:
            settings_.SetHeader(kDynamicHeader);
            At(LiveControl::AddressEdit).enabled = false;
            At(LiveControl::IdList).enabled = false;
            break;
        case LiveType::MmsRebroadcast:
            settings_.SetHeader(kMmsHeader);
            At(LiveControl::IdList).enabled = false;
            At(LiveControl::SetPasswordButton).enabled = false;
            break;
        default:
            settings_.SetHeader(kStaticHeader);
            for (int id = 1; id <= kIdCount; ++id) {
                idItems_.push_back(DecimalText(id));
            }
            At(LiveControl::SetPasswordButton).enabled = false;
            break;
    }

    const bool newBroadcast = form_.source.empty();
    std::u16string message = settings_.Open(newBroadcast);
    if (newBroadcast) {
        if (type_ == LiveType::Static) {
            selectedId_ = 0;
        }
    } else {
        title_ = BroadcastSettings::kUpdateTitle;
        if (type_ == LiveType::Static) {
            const std::size_t at = form_.source.find(u'@');
            if (at != std::u16string::npos) {
                const DecimalReading id =
                    ReadDecimal(std::u16string_view(form_.source).substr(0, at));
                if (id.read && id.value >= 1 && id.value <= kIdCount) {
                    selectedId_ = id.value - 1;
                }
                At(LiveControl::AddressEdit).text = form_.source.substr(at + 1);
            }
        } else if (type_ == LiveType::MmsRebroadcast) {
            At(LiveControl::AddressEdit).text = form_.source;
        }
        // A dynamic source holds the password's hash, which is never shown.
    }
    return message;
}

void LiveEditorModel::SetAddressText(std::u16string text) {
    At(LiveControl::AddressEdit).text = std::move(text);
}

void LiveEditorModel::OnIdSelected(int index) {
    selectedId_ = index >= 0 && index < static_cast<int>(idItems_.size()) ? index : -1;
}

void LiveEditorModel::OnSetPasswordClicked() {
    if (type_ != LiveType::Dynamic) {
        return;
    }
    std::u16string hash;
    if (RunSubDialog(settings_.SubDialogs().setPassword, hash) && !hash.empty()) {
        form_.source = u"0@" + hash;
    }
}

void LiveEditorModel::ComposeSource() {
    const std::u16string& typed = State(LiveControl::AddressEdit).text;
    if (type_ == LiveType::Static) {
        // "%d@%s"; with no ID selected the number is 0.
        form_.source = DecimalText(selectedId_ + 1) + u"@" + typed;
    } else if (type_ == LiveType::MmsRebroadcast) {
        form_.source = typed;
    }
}

std::u16string LiveEditorModel::CheckSource() const {
    if (type_ == LiveType::Dynamic) {
        return form_.source.empty() ? std::u16string(kNoPasswordMessage) : std::u16string();
    }
    if (State(LiveControl::AddressEdit).text.empty()) {
        return std::u16string(kNoAddressMessage);
    }
    if (type_ == LiveType::Static && selectedId_ < 0) {
        return std::u16string(kNoIdMessage);
    }
    if (type_ == LiveType::MmsRebroadcast && !form_.source.starts_with(MmsLinkScheme)) {
        return std::u16string(kBadMmsLinkMessage);
    }
    return {};
}

std::u16string LiveEditorModel::OnOk() {
    ComposeSource();
    if (std::u16string message = CheckSource(); !message.empty()) {
        return message;
    }
    if (std::u16string message = settings_.ReadDescriptionAndCheckName(); !message.empty()) {
        return message;
    }
    return settings_.ReadSettings();
}

}  // namespace vantor
