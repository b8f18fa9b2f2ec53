#include "editors/access_panel.h"

#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// A check box's checked and enabled flags.
using Box = std::pair<bool, bool>;
constexpr Box kOnEnabled{true, true};
constexpr Box kOffEnabled{false, true};
constexpr Box kOnDisabled{true, false};
constexpr Box kOffDisabled{false, false};

constexpr AccessControl kGroupBoxes[] = {AccessControl::BasicUsers, AccessControl::MediumUsers,
                                         AccessControl::AdvancedUsers};
constexpr AuthMethod kInherit = AuthMethod::InheritDefault;
constexpr AuthMethod kAnonymous = AuthMethod::Anonymous;
constexpr AuthMethod kInternal = AuthMethod::Internal;
constexpr AuthMethod kSession = AuthMethod::SessionBased;
constexpr std::u16string_view kNoGroup =
    u"At least one user group should be chosen for internal authentication";

// A panel with the editor's unicast box and the process-wide method it reads through references.
struct Panel {
    explicit Panel(bool broadcast, AuthMethod defaultMethod = kSession, bool unicastOn = true)
        : defaultAuthMethod(defaultMethod), panel(broadcast, defaultAuthMethod, unicast) {
        unicast.checked = unicastOn;
    }
    Box operator[](AccessControl control) const {
        return {panel.State(control).checked, panel.State(control).enabled};
    }
    bool Enabled(AccessControl control) const { return panel.State(control).enabled; }
    void SetUnicast(bool on) {
        unicast.checked = on;
        panel.OnUnicastToggled();
    }

    AuthMethod defaultAuthMethod;
    ControlState unicast;
    AccessPanel panel;
};

TEST(AccessPanel, VariantsShowTheirOwnControlsAndTexts) {
    Panel folder(false);
    Panel broadcast(true);
    EXPECT_EQ(folder.panel.State(AccessControl::PlayerOption).text, u"Allow MMS players");
    EXPECT_EQ(broadcast.panel.State(AccessControl::PlayerOption).text,
              u"Allow MMS / Flash players");
    for (AccessControl control : {AccessControl::Metadata, AccessControl::AllowDelegates,
                                  AccessControl::AccessRestrictions}) {
        EXPECT_FALSE(folder.panel.State(control).visible);
        EXPECT_TRUE(broadcast.panel.State(control).visible);
    }
}

// Loading runs the selected method's rule over the player option (and "Metadata" with it), the
// user-group boxes and the inherited-method label. Disabled group boxes keep their checks.
TEST(AccessPanel, LoadAppliesTheMethodsRule) {
    struct Case {
        AuthMethod defaultMethod, method;
        bool unicast;
        Box player;
        bool groupsEnabled;
        std::u16string_view label;  // empty: hidden
        AuthMethod read;
    };
    const std::u16string_view anonymous = u"(Anonymous access)";
    const std::u16string_view session = u"(Session-based authentication)";
    const Case cases[] = {
        {kAnonymous, kInherit, true, kOnEnabled, false, anonymous, kInherit},
        {kAnonymous, kInherit, false, kOffDisabled, false, anonymous, kInherit},
        {kInternal, kInherit, true, kOffDisabled, true, u"(Internal authentication)", kInherit},
        {kSession, kInherit, true, kOnEnabled, false, session, kInherit},
        {static_cast<AuthMethod>(9), kInherit, true, kOnEnabled, false, session, kInherit},
        // Anonymous and session-based leave the option as loaded when unicast is off.
        {kInternal, kAnonymous, true, kOnEnabled, false, u"", kAnonymous},
        {kInternal, kAnonymous, false, kOnDisabled, false, u"", kAnonymous},
        {kInternal, kSession, false, kOnDisabled, false, u"", kSession},
        {kAnonymous, static_cast<AuthMethod>(0), true, kOnEnabled, false, u"", kSession},
        // A stored internal method opens with the option cleared, so saving stores it off.
        {kAnonymous, kInternal, true, kOffDisabled, true, u"", kInternal},
        {kAnonymous, kInternal, false, kOffDisabled, true, u"", kInternal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
        Panel p(true, c.defaultMethod, c.unicast);
        p.panel.Load(c.method, BasicUsers | AdvancedUsers, true);
        EXPECT_EQ(p[AccessControl::PlayerOption], c.player);
        EXPECT_EQ(p.Enabled(AccessControl::Metadata), c.player.second);
        EXPECT_EQ(p[AccessControl::BasicUsers], Box(true, c.groupsEnabled));
        EXPECT_EQ(p[AccessControl::MediumUsers], Box(false, c.groupsEnabled));
        EXPECT_EQ(p.panel.ReadGroups(), BasicUsers | AdvancedUsers);
        const ControlState& label = p.panel.State(AccessControl::InheritedMethodLabel);
        EXPECT_EQ(label.visible ? std::u16string_view(label.text) : u"", c.label);
        EXPECT_EQ(p.panel.ReadMethod(), c.read);
    }
}

// Unicast off clears the player option and the delegates; on again enables the option only
// where the method admits players, and with a session-based default under inherit only once a
// method radio is clicked again.
TEST(AccessPanel, UnicastTogglesThePlayerOptionAndTheDelegates) {
    struct Case {
        AuthMethod defaultMethod, method;
        Box afterUnicastOn;
        Box afterMethodClicked;
    };
    for (Case c : {Case{kAnonymous, kInherit, kOffEnabled, kOffEnabled},
                   Case{kInternal, kInherit, kOffDisabled, kOffDisabled},
                   Case{kSession, kInherit, kOffDisabled, kOffEnabled},
                   Case{kInternal, kAnonymous, kOffEnabled, kOffEnabled},
                   Case{kInternal, kSession, kOffEnabled, kOffEnabled},
                   Case{kAnonymous, kInternal, kOffDisabled, kOffDisabled}}) {
        Panel p(true, c.defaultMethod);
        p.panel.Load(c.method, AllUsers, true, true);
        // The player option, "Metadata", the delegates box and "Access restrictions".
        auto look = [&p] {
            return std::tuple(p[AccessControl::PlayerOption], p.Enabled(AccessControl::Metadata),
                              p[AccessControl::AllowDelegates],
                              p.Enabled(AccessControl::AccessRestrictions));
        };
        p.SetUnicast(false);
        EXPECT_EQ(look(), std::tuple(kOffDisabled, false, kOffDisabled, false));
        p.SetUnicast(true);
        EXPECT_EQ(look(), std::tuple(c.afterUnicastOn, c.afterUnicastOn.second, kOffEnabled, true));
        p.panel.OnMethodSelected(c.method);
        EXPECT_EQ(p[AccessControl::PlayerOption], c.afterMethodClicked);
    }
}

TEST(AccessPanel, CheckGroupsRejectsNoGroupOnlyWhenInternalIsInEffect) {
    struct Case {
        AuthMethod defaultMethod, method;
        UserGroups groups;
        bool rejected;
    };
    for (Case c : {Case{kInternal, kInherit, 0, true}, Case{kInternal, kInternal, 0, true},
                   Case{kAnonymous, kInternal, 0, true}, Case{kInternal, kInternal, 4, false},
                   Case{kAnonymous, kInherit, 0, false}, Case{kInternal, kAnonymous, 0, false},
                   Case{kInternal, kSession, 0, false}}) {
        Panel p(false, c.defaultMethod);
        EXPECT_EQ(p.panel.CheckGroups(c.method, c.groups), c.rejected ? kNoGroup : u"");
    }

    // Anonymous with every group cleared passes, and the mask is read as 0.
    Panel p(false, kInternal);
    p.panel.Load(kAnonymous, AllUsers, true);
    for (AccessControl box : kGroupBoxes) {
        p.panel.OnGroupToggled(box, false);
    }
    EXPECT_EQ(p.panel.ReadGroups(), 0u);
    EXPECT_EQ(p.panel.CheckGroups(p.panel.ReadMethod(), p.panel.ReadGroups()), u"");
}

TEST(AccessPanel, DelegatesAreLoadedAsStoredAndOnlyInTheBroadcastVariant) {
    Panel off(true, kSession, false);
    off.panel.Load(kAnonymous, AllUsers, true, true);
    EXPECT_EQ(off[AccessControl::AllowDelegates], kOnDisabled);
    EXPECT_FALSE(off.Enabled(AccessControl::AccessRestrictions));
    EXPECT_TRUE(off.panel.ReadAllowDelegates());

    Panel folder(false);
    folder.panel.Load(kAnonymous, AllUsers, true, true);
    folder.panel.OnAllowDelegatesToggled(true);
    EXPECT_FALSE(folder.panel.ReadAllowDelegates());
}

}  // namespace
}  // namespace vantor
