#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "editors/access_panel.h"
#include "editors/broadcast_form.h"
#include "editors/control_state.h"
#include "editors/limits_panel.h"
#include "editors/multicast_group_field.h"
#include "editors/resource_rules.h"
#include "editors/sub_dialog.h"

namespace vantor {

class Catalogue;
class MulticastTable;

// The controls both broadcast dialogs have, top to bottom; each dialog adds its own source
// controls, and the access and limits panels have theirs.
enum class BroadcastControl {
    Header,  // static text in a frame at the top
    NameLabel,
    NameEdit,
    DescriptionLabel,
    DescriptionEdit,
    Unicast,    // check box "Unicast delivery"
    Multicast,  // check box "Multicast delivery"
    GroupLabel,
    GroupEdit,
    NotifyArchival,  // check box
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kBroadcastControlCount =
    static_cast<std::size_t>(BroadcastControl::Count);

// The modal dialogs a broadcast editor opens on top of itself. Missing ones count as cancelled.
struct BroadcastSubDialogs {
    // "Set password...": the value comes back as the password's hash text.
    SubDialog<std::u16string> setPassword;
    // "Metadata": the "MMS / Flash Metadata" dialog.
    SubDialog<BroadcastMetadata> metadata;
    // "Access restrictions": edits the server's delegate restrictions; the form is not touched.
    std::function<void()> accessRestrictions;
};

// What the live broadcast and the delegate dialogs share: name and description, delivery,
// archival, the broadcast variant of the access and limits panels, and their part of OK. It
// works on the editor's form, which must outlive it.
class BroadcastSettings {
public:
    static constexpr std::u16string_view kErrorCaption = u"Error";
    static constexpr std::u16string_view kUpdateTitle = u"Update live broadcast";
    static constexpr std::u16string_view kNameLabelText = u"Live broadcast Alias";
    static constexpr std::u16string_view kDescriptionLabelText = u"Live broadcast description";
    static constexpr std::u16string_view kUnicastText = u"Unicast delivery";
    static constexpr std::u16string_view kMulticastText = u"Multicast delivery";
    static constexpr std::u16string_view kGroupLabelText = u"Group";
    static constexpr std::u16string_view kNotifyArchivalText =
        u"Notify Archival Server to record this broadcast when it's being played";
    static constexpr std::u16string_view kOkText = u"OK";
    static constexpr std::u16string_view kCancelText = u"Cancel";

    static constexpr std::u16string_view kNoNameMessage =
        u"No name for new live broadcast is specified";
    static constexpr std::u16string_view kBadNameMessage =
        u"Live broadcast name can not contain characters \"*/\\\"";
    static constexpr std::u16string_view kNameExistsMessage = NameExistsMessage;
    static constexpr std::u16string_view kNoDeliveryMessage = NoDeliveryMessage;

    BroadcastSettings(BroadcastForm& form, MulticastTable& multicastTable,
                      const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                      BroadcastSubDialogs subDialogs);
    BroadcastSettings(const BroadcastSettings&) = delete;
    BroadcastSettings& operator=(const BroadcastSettings&) = delete;

    const ControlState& State(BroadcastControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    AccessPanel& Access() { return access_; }
    const AccessPanel& Access() const { return access_; }
    LimitsPanel& Limits() { return limits_; }
    const LimitsPanel& Limits() const { return limits_; }
    const BroadcastSubDialogs& SubDialogs() const { return subDialogs_; }

    void SetHeader(std::u16string_view text);
    // Fills the shared controls from the form and reserves a group when multicast is on
    // without one. A new broadcast starts with inherit and all groups. Returns a message only
    // when no group is left to reserve.
    std::u16string Open(bool newBroadcast);

    std::u16string OnMulticastClicked(bool checked);
    void OnUnicastClicked(bool checked);
    void OnMethodSelected(AuthMethod method);
    void OnLimitToggled(LimitPair pair, bool checked);
    void OnNotifyArchivalToggled(bool checked);
    // Runs the metadata dialog on the form's metadata; OK keeps what was typed.
    void OnMetadataClicked();
    void OnAccessRestrictionsClicked();
    void SetNameText(std::u16string text);
    void SetDescriptionText(std::u16string text);
    void SetGroupText(std::u16string text);

    // OK, first part: the description goes into the form; the typed name is checked (empty,
    // forbidden characters, taken by another resource). Empty when it passed.
    std::u16string ReadDescriptionAndCheckName();
    // OK, last part: access, playback time, delivery, player option, multicast group, limits;
    // then the name, delegates and archival go into the form. Empty when it passed.
    std::u16string ReadSettings();
    // Cancel: frees a group reserved by this dialog.
    void OnCancel();

private:
    ControlState& At(BroadcastControl control) {
        return states_[static_cast<std::size_t>(control)];
    }

    BroadcastForm& form_;
    const Catalogue& catalogue_;
    BroadcastSubDialogs subDialogs_;
    std::array<ControlState, kBroadcastControlCount> states_;
    MulticastGroupField group_;
    AccessPanel access_;  // after states_: it refers to the unicast box
    LimitsPanel limits_;
};

}  // namespace vantor
