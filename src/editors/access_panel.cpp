#include "editors/access_panel.h"

namespace vantor {
namespace {

constexpr std::array<AccessControl, 3> kGroupBoxes = {
    AccessControl::BasicUsers, AccessControl::MediumUsers, AccessControl::AdvancedUsers};
constexpr std::array<UserGroups, 3> kGroupBits = {BasicUsers, MediumUsers, AdvancedUsers};

}  // namespace

AccessPanel::AccessPanel(bool broadcastVariant, const AuthMethod& defaultAuthMethod,
                         const ControlState& unicastBox)
    : broadcastVariant_(broadcastVariant),
      defaultAuthMethod_(defaultAuthMethod),
      unicastBox_(unicastBox) {
    auto text = [this](AccessControl control, std::u16string_view value) {
        At(control).text = value;
    };
    text(AccessControl::MethodGroupBox, kMethodGroupBoxText);
    text(AccessControl::InheritRadio, kInheritText);
    text(AccessControl::AnonymousRadio, kAnonymousText);
    text(AccessControl::InternalRadio, kInternalText);
    text(AccessControl::SessionRadio, kSessionText);
    text(AccessControl::GroupsGroupBox, kGroupsGroupBoxText);
    text(AccessControl::BasicUsers, kBasicUsersText);
    text(AccessControl::MediumUsers, kMediumUsersText);
    text(AccessControl::AdvancedUsers, kAdvancedUsersText);
    text(AccessControl::PlayerOption,
         broadcastVariant ? kBroadcastPlayerOptionText : kFolderPlayerOptionText);
    text(AccessControl::Metadata, kMetadataText);
    text(AccessControl::AllowDelegates, kAllowDelegatesText);
    text(AccessControl::AccessRestrictions, kAccessRestrictionsText);
    for (AccessControl control : {AccessControl::Metadata, AccessControl::AllowDelegates,
                                  AccessControl::AccessRestrictions}) {
        At(control).visible = broadcastVariant;
        At(control).enabled = broadcastVariant;
    }
}

std::u16string_view AccessPanel::InheritedMethodText(AuthMethod defaultAuthMethod) {
    switch (defaultAuthMethod) {
        case AuthMethod::Internal:
            return kInheritedInternalText;
        case AuthMethod::Anonymous:
            return kInheritedAnonymousText;
        default:
            return kInheritedSessionText;
    }
}

void AccessPanel::Load(AuthMethod method, UserGroups groups, bool allowMmsPlayers,
                       bool allowDelegates) {
    At(AccessControl::PlayerOption).checked = allowMmsPlayers;
    At(AccessControl::PlayerOption).enabled = Unicast();
    if (broadcastVariant_) {
        At(AccessControl::Metadata).enabled = Unicast();
    }
    // Run the method's rule, so a stored internal method clears the player option loaded above.
    OnMethodSelected(method);
    for (std::size_t i = 0; i < kGroupBoxes.size(); ++i) {
        At(kGroupBoxes[i]).checked = (groups & kGroupBits[i]) != 0;
    }
    if (broadcastVariant_) {
        At(AccessControl::AllowDelegates).checked = allowDelegates;
        At(AccessControl::AllowDelegates).enabled = Unicast();
        At(AccessControl::AccessRestrictions).enabled = Unicast();
    }
}

void AccessPanel::OnMethodSelected(AuthMethod method) {
    ControlState& label = At(AccessControl::InheritedMethodLabel);
    switch (method) {
        case AuthMethod::InheritDefault:
            SelectRadio(AccessControl::InheritRadio);
            label.visible = true;
            label.text = InheritedMethodText(defaultAuthMethod_);
            if (defaultAuthMethod_ == AuthMethod::Internal || !Unicast()) {
                UncheckAndDisablePlayerOption();
            } else {
                EnablePlayerOption();
            }
            SetGroupBoxesEnabled(defaultAuthMethod_ == AuthMethod::Internal);
            break;
        case AuthMethod::Internal:
            SelectRadio(AccessControl::InternalRadio);
            label.visible = false;
            SetGroupBoxesEnabled(true);
            UncheckAndDisablePlayerOption();
            break;
        default:
            SelectRadio(method == AuthMethod::Anonymous ? AccessControl::AnonymousRadio
                                                        : AccessControl::SessionRadio);
            label.visible = false;
            SetGroupBoxesEnabled(false);
            // Leaving the player option alone when unicast is off keeps its state as it was.
            if (Unicast()) {
                EnablePlayerOption();
            }
            break;
    }
}

void AccessPanel::OnUnicastToggled() {
    if (Unicast()) {
        // Internal in effect keeps the player option off; so, oddly but deliberately, does
        // inherit with a session-based default, until a method radio is clicked again.
        bool anonymousOrSession = State(AccessControl::AnonymousRadio).checked ||
                                  State(AccessControl::SessionRadio).checked;
        bool inheritAnonymous = State(AccessControl::InheritRadio).checked &&
                                defaultAuthMethod_ == AuthMethod::Anonymous;
        if (anonymousOrSession || inheritAnonymous) {
            EnablePlayerOption();
        }
    } else {
        UncheckAndDisablePlayerOption();
        if (broadcastVariant_) {
            At(AccessControl::AllowDelegates).checked = false;
        }
    }
    if (broadcastVariant_) {
        At(AccessControl::AllowDelegates).enabled = Unicast();
        At(AccessControl::AccessRestrictions).enabled = Unicast();
    }
}

void AccessPanel::OnGroupToggled(AccessControl box, bool checked) {
    for (AccessControl groupBox : kGroupBoxes) {
        if (groupBox == box) {
            At(box).checked = checked;
        }
    }
}

void AccessPanel::OnPlayerOptionToggled(bool checked) {
    At(AccessControl::PlayerOption).checked = checked;
}

void AccessPanel::OnAllowDelegatesToggled(bool checked) {
    if (broadcastVariant_) {
        At(AccessControl::AllowDelegates).checked = checked;
    }
}

AuthMethod AccessPanel::ReadMethod() const {
    if (State(AccessControl::InheritRadio).checked) {
        return AuthMethod::InheritDefault;
    }
    if (State(AccessControl::AnonymousRadio).checked) {
        return AuthMethod::Anonymous;
    }
    if (State(AccessControl::InternalRadio).checked) {
        return AuthMethod::Internal;
    }
    return AuthMethod::SessionBased;
}

UserGroups AccessPanel::ReadGroups() const {
    UserGroups groups = 0;
    for (std::size_t i = 0; i < kGroupBoxes.size(); ++i) {
        if (State(kGroupBoxes[i]).checked) {
            groups |= kGroupBits[i];
        }
    }
    return groups;
}

std::u16string AccessPanel::CheckGroups(AuthMethod method, UserGroups groups) const {
    return CheckGroups(method, groups, defaultAuthMethod_);
}

std::u16string AccessPanel::CheckGroups(AuthMethod method, UserGroups groups,
                                        AuthMethod defaultAuthMethod) {
    bool internalInEffect =
        method == AuthMethod::Internal ||
        (method == AuthMethod::InheritDefault && defaultAuthMethod == AuthMethod::Internal);
    if (groups == 0 && internalInEffect) {
        return std::u16string(kNoGroupMessage);
    }
    return {};
}

void AccessPanel::SelectRadio(AccessControl radio) {
    for (AccessControl each : {AccessControl::InheritRadio, AccessControl::AnonymousRadio,
                               AccessControl::InternalRadio, AccessControl::SessionRadio}) {
        At(each).checked = each == radio;
    }
}

void AccessPanel::SetGroupBoxesEnabled(bool enabled) {
    for (AccessControl box : kGroupBoxes) {
        At(box).enabled = enabled;
    }
}

void AccessPanel::EnablePlayerOption() {
    At(AccessControl::PlayerOption).enabled = true;
    if (broadcastVariant_) {
        At(AccessControl::Metadata).enabled = true;
    }
}

void AccessPanel::UncheckAndDisablePlayerOption() {
    At(AccessControl::PlayerOption).checked = false;
    At(AccessControl::PlayerOption).enabled = false;
    if (broadcastVariant_) {
        At(AccessControl::Metadata).enabled = false;
    }
}

}  // namespace vantor
