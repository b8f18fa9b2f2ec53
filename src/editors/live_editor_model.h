#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "editors/broadcast_form.h"
#include "editors/broadcast_settings.h"
#include "editors/control_state.h"

namespace vantor {

class Catalogue;
class MulticastTable;

enum class LiveEditorMode { Create, Update };

// The live broadcast dialog's own controls: where the stream comes from. The rest are the
// shared ones of BroadcastSettings.
enum class LiveControl {
    AddressLabel,  // "Live source IP address and ID", or the MMS link's label
    AddressEdit,
    IdList,  // drop-down list "1".."255", static broadcasts only
    PasswordLabel,
    SetPasswordButton,  // dynamic broadcasts only
    Count,
};

inline constexpr std::size_t kLiveControlCount = static_cast<std::size_t>(LiveControl::Count);

// The model of the dialog that creates or changes a static, dynamic or MMS live broadcast. The
// type is fixed when the dialog opens. It works on its own copy of the broadcast (Form()), which
// holds the accepted settings once OnOk returned no message; the command then commits it with
// ApplyBroadcastForm.
//
// Binding as for the folder editor: after constructing, the view calls OnOpen, then copies
// Title(), every control's State() (its own, Settings()'s and the panels'), IdListItems() and
// SelectedId() into its widgets, and again after every handler. Messages are shown in a box
// captioned BroadcastSettings::kErrorCaption.
class LiveEditorModel {
public:
    static constexpr std::u16string_view kCreateTitle = u"New live broadcast";
    static constexpr std::u16string_view kAddressLabelText = u"Live source IP address and ID";
    static constexpr std::u16string_view kMmsLinkLabelText = u"Link starting with \"mms://\"";
    static constexpr std::u16string_view kPasswordLabelText = u"Live broadcast password";
    static constexpr std::u16string_view kSetPasswordText = u"Set password...";
    static constexpr std::u16string_view kDynamicHeader =
        u"Dynamic live source: Not directly IP addressable from media server. Live server will "
        u"initiate a connection, sending alias and password.";
    static constexpr std::u16string_view kStaticHeader =
        u"Static live source: directly IP addressable from media server. Media server will "
        u"initiate a connection based on provided IP address.";
    static constexpr std::u16string_view kMmsHeader =
        u"Rebroadcast stream from Microsoft Media Services or Microsoft Windows Media Encoder.";

    static constexpr std::u16string_view kNoAddressMessage =
        u"No live source IP address is specified";
    // Without an ID a static source would be stored as "0@...", which reads back as dynamic.
    static constexpr std::u16string_view kNoIdMessage =
        u"No live source ID is selected. Choose an ID from 1 to 255";
    static constexpr std::u16string_view kNoPasswordMessage =
        u"No password is specified. You must specify a password for dynamic live source.";
    static constexpr std::u16string_view kBadMmsLinkMessage =
        u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\".";

    static constexpr int kIdCount = 255;

    // What the dialog shows of a stored static source "ID@address": the ID's index in the list
    // (-1 when the text before the first '@' names none of 1..255) and the address after it. A
    // source without '@' shows no ID and no address.
    struct StaticSourceFields {
        int idIndex = -1;
        std::u16string address;
    };
    static StaticSourceFields SplitStaticSource(std::u16string_view source);
    // OK's source checks for a broadcast of this type, in their order: the typed address, the
    // selected ID's index, and the source composed from them (for a dynamic broadcast, the
    // source that "Set password..." made). Empty when they pass.
    static std::u16string CheckSourceFields(LiveType type, std::u16string_view address, int idIndex,
                                            std::u16string_view source);

    // form: LiveFormFromRecord in update mode, NewLiveForm in create mode. The references must
    // outlive the model.
    LiveEditorModel(LiveEditorMode mode, LiveForm form, MulticastTable& multicastTable,
                    const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                    BroadcastSubDialogs subDialogs);
    LiveEditorModel(const LiveEditorModel&) = delete;
    LiveEditorModel& operator=(const LiveEditorModel&) = delete;

    LiveEditorMode Mode() const { return mode_; }
    LiveType Type() const { return type_; }
    const LiveForm& Form() const { return form_; }
    const std::u16string& Title() const { return title_; }
    const ControlState& State(LiveControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    BroadcastSettings& Settings() { return settings_; }
    const BroadcastSettings& Settings() const { return settings_; }
    // The ID list's entries ("1".."255" for a static broadcast, none otherwise) and the
    // selected one's index, -1 for none.
    const std::vector<std::u16string>& IdListItems() const { return idItems_; }
    int SelectedId() const { return selectedId_; }

    // Fills the controls by type and from the form. Returns a message only when no group is
    // left to reserve.
    std::u16string OnOpen();
    void SetAddressText(std::u16string text);
    void OnIdSelected(int index);
    void OnSetPasswordClicked();
    // Runs the checks in order. Empty: accepted, Form() holds the settings. Otherwise the first
    // failure's message; the dialog stays open.
    std::u16string OnOk();
    void OnCancel() { settings_.OnCancel(); }

private:
    ControlState& At(LiveControl control) { return states_[static_cast<std::size_t>(control)]; }
    // Steps of OK that only concern the source, in their order around the name checks.
    void ComposeSource();
    std::u16string CheckSource() const;

    LiveEditorMode mode_;
    LiveForm form_;
    LiveType type_;
    std::u16string title_;
    std::array<ControlState, kLiveControlCount> states_;
    std::vector<std::u16string> idItems_;
    int selectedId_ = -1;
    BroadcastSettings settings_;  // after form_: it works on it
};

}  // namespace vantor
