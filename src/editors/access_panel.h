#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "config/resource_record.h"
#include "editors/control_state.h"

namespace vantor {

// The controls of the access panel. Metadata, AllowDelegates and AccessRestrictions exist only in
// the broadcast editors; the folder variant keeps them invisible.
enum class AccessControl {
    MethodGroupBox,        // "User authentication method"
    InheritRadio,          // "Inherit default settings"
    InheritedMethodLabel,  // under the inherit radio: the server-wide method in brackets
    AnonymousRadio,
    InternalRadio,
    SessionRadio,
    GroupsGroupBox,  // "Allow access for"
    BasicUsers,
    MediumUsers,
    AdvancedUsers,
    PlayerOption,        // "Allow MMS players" / "Allow MMS / Flash players"
    Metadata,            // button, broadcast editors
    AllowDelegates,      // check box, broadcast editors
    AccessRestrictions,  // button, broadcast editors
    Count,
};

inline constexpr std::size_t kAccessControlCount = static_cast<std::size_t>(AccessControl::Count);

// Who may play a resource: the authentication method, the user groups admitted under internal
// authentication and, tied to both and to unicast delivery, whether MMS (and Flash) players are
// admitted. Shared by the folder and broadcast editors.
//
// The panel reads the editor's "Unicast delivery" box through a reference, so the editor updates
// that box before it calls Load or OnUnicastToggled. The panel must not outlive the editor's box.
class AccessPanel {
public:
    static constexpr std::u16string_view kMethodGroupBoxText = u"User authentication method";
    static constexpr std::u16string_view kInheritText = u"Inherit default settings";
    static constexpr std::u16string_view kAnonymousText = u"Anonymous access";
    static constexpr std::u16string_view kInternalText = u"Internal authentication";
    static constexpr std::u16string_view kSessionText = u"Session-based authentication";
    static constexpr std::u16string_view kGroupsGroupBoxText = u"Allow access for";
    static constexpr std::u16string_view kBasicUsersText = u"Basic users";
    static constexpr std::u16string_view kMediumUsersText = u"Medium users";
    static constexpr std::u16string_view kAdvancedUsersText = u"Advanced users";
    static constexpr std::u16string_view kFolderPlayerOptionText = u"Allow MMS players";
    static constexpr std::u16string_view kBroadcastPlayerOptionText = u"Allow MMS / Flash players";
    static constexpr std::u16string_view kMetadataText = u"Metadata";
    static constexpr std::u16string_view kAllowDelegatesText =
        u"Allow delegate Media Servers to connect";
    static constexpr std::u16string_view kAccessRestrictionsText = u"Access restrictions";
    static constexpr std::u16string_view kInheritedInternalText = u"(Internal authentication)";
    static constexpr std::u16string_view kInheritedAnonymousText = u"(Anonymous access)";
    static constexpr std::u16string_view kInheritedSessionText = u"(Session-based authentication)";
    static constexpr std::u16string_view kNoGroupMessage =
        u"At least one user group should be chosen for internal authentication";

    AccessPanel(bool broadcastVariant, const AuthMethod& defaultAuthMethod,
                const ControlState& unicastBox);
    AccessPanel(const AccessPanel&) = delete;
    AccessPanel& operator=(const AccessPanel&) = delete;

    bool BroadcastVariant() const { return broadcastVariant_; }
    const ControlState& State(AccessControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }

    // Fills the panel from a record (unicast comes from the editor's box). A method other than
    // 1, 2 or 3 selects "Session-based authentication". allowDelegates is used by the broadcast
    // variant only.
    void Load(AuthMethod method, UserGroups groups, bool allowMmsPlayers,
              bool allowDelegates = false);

    // The user clicked one of the four method radios (any value but 1, 2, 3 is session-based).
    void OnMethodSelected(AuthMethod method);
    // The editor's "Unicast delivery" box changed; call after updating the box.
    void OnUnicastToggled();
    // Plain check boxes with no rule of their own: the view reports the new state.
    void OnGroupToggled(AccessControl box, bool checked);  // BasicUsers, MediumUsers, AdvancedUsers
    void OnPlayerOptionToggled(bool checked);
    void OnAllowDelegatesToggled(bool checked);

    AuthMethod ReadMethod() const;
    // The checked group boxes, whether or not they are enabled.
    UserGroups ReadGroups() const;
    // Empty when the pair passes; otherwise the message to show.
    std::u16string CheckGroups(AuthMethod method, UserGroups groups) const;
    // The same rule for a method and groups outside a dialog, with the server-wide method.
    static std::u16string CheckGroups(AuthMethod method, UserGroups groups,
                                      AuthMethod defaultAuthMethod);
    bool ReadPlayerOption() const { return State(AccessControl::PlayerOption).checked; }
    bool ReadAllowDelegates() const { return State(AccessControl::AllowDelegates).checked; }

    // The inherited-method label's text for a server-wide method.
    static std::u16string_view InheritedMethodText(AuthMethod defaultAuthMethod);

private:
    ControlState& At(AccessControl control) { return states_[static_cast<std::size_t>(control)]; }
    bool Unicast() const { return unicastBox_.checked; }
    void SelectRadio(AccessControl radio);
    void SetGroupBoxesEnabled(bool enabled);
    // The player option and, broadcast variant, "Metadata" together.
    void EnablePlayerOption();
    void UncheckAndDisablePlayerOption();

    bool broadcastVariant_;
    const AuthMethod& defaultAuthMethod_;
    const ControlState& unicastBox_;
    std::array<ControlState, kAccessControlCount> states_;
};

}  // namespace vantor
