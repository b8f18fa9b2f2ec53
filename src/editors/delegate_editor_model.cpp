#include "editors/delegate_editor_model.h"

#include <string>
#include <utility>

#include "config/decimal_reader.h"
#include "editors/remote_link.h"

namespace vantor {
DelegateEditorModel::DelegateEditorModel(DelegateEditorMode mode, DelegateForm form,
                                         MulticastTable& multicastTable, const Catalogue& catalogue,
                                         const AuthMethod& defaultAuthMethod,
                                         BroadcastSubDialogs subDialogs)
    : mode_(mode),
      form_(std::move(form)),
      title_(kCreateTitle),
      settings_(form_, multicastTable, catalogue, defaultAuthMethod, std::move(subDialogs)) {
    At(DelegateControl::RemoteGroupBox).text = kRemoteGroupBoxText;
    At(DelegateControl::RemoteAliasLabel).text = kRemoteAliasLabelText;
    At(DelegateControl::AddressLabel).text = kAddressLabelText;
    At(DelegateControl::ProtocolLabel).text = kProtocolLabelText;
    At(DelegateControl::PortLabel).text = kPortLabelText;
}

const std::vector<std::u16string>& DelegateEditorModel::ProtocolItems() {
    static const std::vector<std::u16string> items = {u"TCP", u"HTTP", u"HTTPS"};
    return items;
}

std::u16string DelegateEditorModel::OnOpen() {
    settings_.SetHeader(kHeader);
    const bool newBroadcast = form_.source.empty();
    std::u16string message = settings_.Open(newBroadcast);

    const RemoteLinkParts parts = ShownRemoteLink(form_.source);
    if (!newBroadcast) {
        title_ = BroadcastSettings::kUpdateTitle;
    }
    At(DelegateControl::RemoteAliasEdit).text = parts.alias;
    At(DelegateControl::AddressEdit).text = parts.address;
    selectedProtocol_ = parts.protocol;
    At(DelegateControl::PortEdit).text = DecimalText(parts.port);
    openedLink_ = form_.source;
    openedTexts_ = {parts.alias, parts.address, State(DelegateControl::PortEdit).text};
    openedProtocol_ = selectedProtocol_;
    return message;
}

void DelegateEditorModel::SetRemoteAliasText(std::u16string text) {
    At(DelegateControl::RemoteAliasEdit).text = std::move(text);
}

void DelegateEditorModel::SetAddressText(std::u16string text) {
    At(DelegateControl::AddressEdit).text = std::move(text);
}

void DelegateEditorModel::SetPortText(std::u16string text) {
    At(DelegateControl::PortEdit).text = std::move(text);
}

void DelegateEditorModel::OnProtocolSelected(int index) {
    if (index == selectedProtocol_) {
        return;  // only a change of selection proposes a port
    }
    selectedProtocol_ = index >= 0 && index < static_cast<int>(ProtocolItems().size()) ? index : -1;
    At(DelegateControl::PortEdit).text = DecimalText(ProposedPort(selectedProtocol_));
}

std::u16string DelegateEditorModel::ReadRemoteLink() {
    const std::u16string& alias = State(DelegateControl::RemoteAliasEdit).text;
    const std::u16string& address = State(DelegateControl::AddressEdit).text;
    const std::u16string& portText = State(DelegateControl::PortEdit).text;
    const std::int32_t port = ReadDialogInt(portText);
    // A parsed address never holds ':', so fields left as opened pass as they did.
    if (std::u16string message = CheckRemoteFields(alias, address, port); !message.empty()) {
        return message;
    }
    const bool unchanged = !openedLink_.empty() && selectedProtocol_ == openedProtocol_ &&
                           std::array{alias, address, portText} == openedTexts_;
    form_.source =
        unchanged ? openedLink_ : ComposeRemoteLink(alias, address, port, selectedProtocol_);
    return {};
}

RemoteLinkParts DelegateEditorModel::ShownRemoteLink(std::u16string_view link) {
    // A link that lacks a piece leaves it at what a new broadcast starts with.
    RemoteLinkParts parts{
        .alias = {}, .address = {}, .port = ProposedPort(TcpProtocol), .protocol = TcpProtocol};
    ParseRemoteLink(link, parts);
    return parts;
}

std::u16string DelegateEditorModel::CheckRemoteFields(std::u16string_view alias,
                                                      std::u16string_view address,
                                                      std::int32_t port) {
    if (alias.empty()) {
        return std::u16string(kNoAliasMessage);
    }
    if (address.empty()) {
        return std::u16string(kNoAddressMessage);
    }
    // Any other number, negative or past 65535 too, is the remote server's business.
    if (port == 0) {
        return std::u16string(kNoPortMessage);
    }
    if (address.find(u':') != std::u16string_view::npos) {
        return std::u16string(kAddressColonMessage);
    }
    return {};
}

std::u16string DelegateEditorModel::OnOk() {
    // Name problems come before remote-field problems.
    if (std::u16string message = settings_.ReadDescriptionAndCheckName(); !message.empty()) {
        return message;
    }
    if (std::u16string message = ReadRemoteLink(); !message.empty()) {
        return message;
    }
    return settings_.ReadSettings();
}

}  // namespace vantor
