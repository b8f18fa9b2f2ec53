#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editors/broadcast_form.h"
#include "editors/broadcast_settings.h"
#include "editors/control_state.h"
#include "editors/remote_link.h"

namespace vantor {

class Catalogue;
class MulticastTable;

enum class DelegateEditorMode { Create, Update };

// The delegate dialog's own controls: the remote broadcast that requests are forwarded to.
enum class DelegateControl {
    RemoteGroupBox,  // "Forward requests to the following remote broadcast:"
    RemoteAliasLabel,
    RemoteAliasEdit,
    AddressLabel,
    AddressEdit,
    ProtocolLabel,
    ProtocolList,  // "TCP", "HTTP", "HTTPS"
    PortLabel,
    PortEdit,
    Count,
};

inline constexpr std::size_t kDelegateControlCount =
    static_cast<std::size_t>(DelegateControl::Count);

// The model of the dialog that creates or changes a delegate live broadcast: one whose source is
// a "vtr://" link to a broadcast of another media server. Binding as for LiveEditorModel, with
// ProtocolItems() and SelectedProtocol() for the protocol list.
class DelegateEditorModel {
public:
    static constexpr std::u16string_view kCreateTitle = u"Delegate live broadcast";
    static constexpr std::u16string_view kHeader =
        u"Delegate live broadcast: Intermediate point in stream routing. Requests are forwarded "
        u"to another live broadcast set up on another Media Server.";
    static constexpr std::u16string_view kRemoteGroupBoxText =
        u"Forward requests to the following remote broadcast:";
    static constexpr std::u16string_view kRemoteAliasLabelText = u"Remote broadcast Alias";
    static constexpr std::u16string_view kAddressLabelText = u"Media Server IP address";
    static constexpr std::u16string_view kProtocolLabelText = u"Connect using protocol";
    static constexpr std::u16string_view kPortLabelText = u"Port";

    static constexpr std::u16string_view kNoAliasMessage = u"No Remote Alias is specified";
    static constexpr std::u16string_view kNoAddressMessage =
        u"No Remote Media Server IP address specified";
    static constexpr std::u16string_view kNoPortMessage = u"No Remote Media Server port specified";
    // The link separates the address from the port with ':', so an address holding one (an IPv6
    // address) would not read back.
    static constexpr std::u16string_view kAddressColonMessage =
        u"Remote Media Server IP address can not contain ':'. Use an IPv4 address or a host "
        u"name";

    // The pieces the dialog shows for a stored link: parsed as far as it goes, a missing piece
    // at what a new broadcast starts with.
    static RemoteLinkParts ShownRemoteLink(std::u16string_view link);
    // OK's checks of the remote pieces, in their order, for a link composed from them. Empty
    // when they pass; the link then parses back into the same pieces.
    static std::u16string CheckRemoteFields(std::u16string_view alias, std::u16string_view address,
                                            std::int32_t port);

    // form: DelegateFormFromRecord in update mode, defaults in create mode. The references must
    // outlive the model.
    DelegateEditorModel(DelegateEditorMode mode, DelegateForm form, MulticastTable& multicastTable,
                        const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                        BroadcastSubDialogs subDialogs);
    DelegateEditorModel(const DelegateEditorModel&) = delete;
    DelegateEditorModel& operator=(const DelegateEditorModel&) = delete;

    DelegateEditorMode Mode() const { return mode_; }
    const DelegateForm& Form() const { return form_; }
    const std::u16string& Title() const { return title_; }
    const ControlState& State(DelegateControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    BroadcastSettings& Settings() { return settings_; }
    const BroadcastSettings& Settings() const { return settings_; }
    static const std::vector<std::u16string>& ProtocolItems();
    // The port is read as a signed number; anything else would read as 0 anyway.
    static EditEntry Entry(DelegateControl control) {
        return control == DelegateControl::PortEdit ? EditEntry::SignedNumber : EditEntry::AnyText;
    }
    int SelectedProtocol() const { return selectedProtocol_; }

    // Fills the controls; an existing link is parsed back into its pieces as far as it allows
    // (a piece it lacks shows the new-broadcast default). Returns a message only when no group
    // is left to reserve.
    std::u16string OnOpen();
    void SetRemoteAliasText(std::u16string text);
    void SetAddressText(std::u16string text);
    void SetPortText(std::u16string text);
    // A new protocol chosen: the port edit gets that protocol's port, a typed one is lost.
    void OnProtocolSelected(int index);
    // A stored link stays byte for byte when none of the remote fields changed since opening:
    // the fields may show less than it holds (a port that is no number, an address with ':').
    std::u16string OnOk();
    void OnCancel() { settings_.OnCancel(); }

private:
    ControlState& At(DelegateControl control) { return states_[static_cast<std::size_t>(control)]; }
    std::u16string ReadRemoteLink();

    DelegateEditorMode mode_;
    DelegateForm form_;
    std::u16string title_;
    std::array<ControlState, kDelegateControlCount> states_;
    int selectedProtocol_ = -1;
    // The stored link, and the remote fields as OnOpen showed it: alias, address and port text,
    // and the protocol.
    std::u16string openedLink_;
    std::array<std::u16string, 3> openedTexts_;
    int openedProtocol_ = -1;
    BroadcastSettings settings_;  // after form_: it works on it
};

}  // namespace vantor
