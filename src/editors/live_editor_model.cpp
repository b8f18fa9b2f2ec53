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
            StaticSourceFields fields = SplitStaticSource(form_.source);
            selectedId_ = fields.idIndex;
            At(LiveControl::AddressEdit).text = std::move(fields.address);
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
    return CheckSourceFields(type_, State(LiveControl::AddressEdit).text, selectedId_,
                             form_.source);
}

LiveEditorModel::StaticSourceFields LiveEditorModel::SplitStaticSource(std::u16string_view source) {
    StaticSourceFields fields;
    const std::size_t at = source.find(u'@');
    if (at == std::u16string_view::npos) {
        return fields;
    }
    const DecimalReading id = ReadDecimal(source.substr(0, at));
    if (id.read && id.value >= 1 && id.value <= kIdCount) {
        fields.idIndex = id.value - 1;
    }
    fields.address = source.substr(at + 1);
    return fields;
}

std::u16string LiveEditorModel::CheckSourceFields(LiveType type, std::u16string_view address,
                                                  int idIndex, std::u16string_view source) {
    if (type == LiveType::Dynamic) {
        return source.empty() ? std::u16string(kNoPasswordMessage) : std::u16string();
    }
    if (address.empty()) {
        return std::u16string(kNoAddressMessage);
    }
    if (type == LiveType::Static && idIndex < 0) {
        return std::u16string(kNoIdMessage);
    }
    if (type == LiveType::MmsRebroadcast && !source.starts_with(MmsLinkScheme)) {
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
