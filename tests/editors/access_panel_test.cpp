#include "editors/access_panel.h"

#include <gtest/gtest.h>

using namespace vantor;
namespace {

// A check box's checked and enabled flags.
using Box = std::pair<bool, bool>;
constexpr Box kOnEn{true, true}, kOffEn{false, true}, kOnDis{true, false}, kOffDis{false, false};
constexpr AuthMethod kInherit = AuthMethod::InheritDefault, kAnonymous = AuthMethod::Anonymous,
                     kInternal = AuthMethod::Internal, kSession = AuthMethod::SessionBased;
using enum AccessControl;

// A panel with the editor's unicast box and the process-wide method it reads through references.
struct Panel {
    bool broadcast;
    AuthMethod defaultAuthMethod = kSession;
    bool unicastOn = true;
    ControlState unicast{unicastOn, true, true, {}};
    AccessPanel panel{broadcast, defaultAuthMethod, unicast};
    Box operator[](AccessControl c) const {
        return {panel.State(c).checked, panel.State(c).enabled};
    }
};

// Loading runs the selected method's rule over the player option (and "Metadata" with it), the
// user-group boxes and the inherited-method label. Disabled group boxes keep their checks.
TEST(AccessPanel, LoadAppliesTheMethodsRule) {
    // Default method, loaded method, unicast; the player option, group boxes enabled, the label
    // (empty: hidden) and the method read back.
    using Row = std::tuple<AuthMethod, AuthMethod, bool, Box, bool, const char16_t*, AuthMethod>;
    const Row rows[] = {
        {kAnonymous, kInherit, true, kOnEn, false, u"(Anonymous access)", kInherit},
        {kAnonymous, kInherit, false, kOffDis, false, u"(Anonymous access)", kInherit},
        {kInternal, kInherit, true, kOffDis, true, u"(Internal authentication)", kInherit},
        {kSession, kInherit, true, kOnEn, false, u"(Session-based authentication)", kInherit},
        {AuthMethod(9), kInherit, true, kOnEn, false, u"(Session-based authentication)", kInherit},
        // Anonymous and session-based leave the option as loaded when unicast is off.
        {kInternal, kAnonymous, true, kOnEn, false, u"", kAnonymous},
        {kInternal, kSession, false, kOnDis, false, u"", kSession},
        {kAnonymous, AuthMethod(0), true, kOnEn, false, u"", kSession},
        // A stored internal method opens with the option cleared, so saving stores it off.
        {kAnonymous, kInternal, true, kOffDis, true, u"", kInternal},
    };
    constexpr UserGroups kStored = vantor::BasicUsers | vantor::AdvancedUsers;
    for (auto [defaultMethod, method, unicast, player, groupsOn, label, read] : rows) {
        Panel p{true, defaultMethod, unicast};
        p.panel.Load(method, kStored, true, true);
        const ControlState& shown = p.panel.State(InheritedMethodLabel);
        // The delegates and "Access restrictions" follow unicast whatever the method.
        EXPECT_EQ(
            std::tuple(p[PlayerOption], p[Metadata].second, p[BasicUsers], p[MediumUsers],
                       p.panel.ReadGroups(), p.panel.ReadMethod(), shown.visible ? shown.text : u"",
                       p[AllowDelegates], p[AccessRestrictions].second),
            std::tuple(player, player.second, Box(true, groupsOn), Box(false, groupsOn), kStored,
                       read, std::u16string(label), Box(true, unicast), unicast));
    }
}

// Unicast off clears the player option and the delegates; on again enables the option only
// where the method admits players, and with a session-based default under inherit only once a
// method radio is clicked again.
TEST(AccessPanel, UnicastTogglesThePlayerOptionAndTheDelegates) {
    using Row = std::tuple<AuthMethod, AuthMethod, Box, Box>;
    for (auto [defaultMethod, method, afterUnicastOn, afterMethodClicked] :
         {Row{kAnonymous, kInherit, kOffEn, kOffEn}, Row{kInternal, kInherit, kOffDis, kOffDis},
          Row{kSession, kInherit, kOffDis, kOffEn}, Row{kInternal, kAnonymous, kOffEn, kOffEn},
          Row{kInternal, kSession, kOffEn, kOffEn}, Row{kAnonymous, kInternal, kOffDis, kOffDis}}) {
        Panel p{true, defaultMethod};
        p.panel.Load(method, AllUsers, true, true);
        // The player option, "Metadata", the delegates and "Access restrictions".
        auto look = [&p] {
            return std::tuple(p[PlayerOption], p[Metadata], p[AllowDelegates],
                              p[AccessRestrictions]);
        };
        p.unicast.checked = false;
        p.panel.OnUnicastToggled();
        EXPECT_EQ(look(), std::tuple(kOffDis, kOffDis, kOffDis, kOffDis));
        p.unicast.checked = true;
        p.panel.OnUnicastToggled();
        EXPECT_EQ(look(), std::tuple(afterUnicastOn, afterUnicastOn, kOffEn, kOffEn));
        p.panel.OnMethodSelected(method);
        EXPECT_EQ(p[PlayerOption], afterMethodClicked);
    }
}

TEST(AccessPanel, ClicksReachTheirBoxesAndNoGroupIsRejectedOnlyUnderInternal) {
    const std::u16string_view no = AccessPanel::kNoGroupMessage;  // its text: the folder's tests
    using Row = std::tuple<AuthMethod, AuthMethod, UserGroups, std::u16string_view>;
    for (auto [defaultMethod, method, groups, message] :
         {Row{kInternal, kInherit, 0, no}, Row{kInternal, kInternal, 0, no},
          Row{kAnonymous, kInternal, 0, no}, Row{kInternal, kInternal, 4, u""},
          Row{kAnonymous, kInherit, 0, u""}, Row{kInternal, kAnonymous, 0, u""},
          Row{kInternal, kSession, 0, u""}}) {
        EXPECT_EQ((Panel{false, defaultMethod}.panel.CheckGroups(method, groups)), message);
    }
    // Another method hides the inherited method's label again.
    for (AuthMethod method : {kSession, kInternal}) {
        Panel other{false, kAnonymous};
        other.panel.Load(kInherit, AllUsers, true);
        other.panel.OnMethodSelected(method);
        EXPECT_FALSE(other.panel.State(InheritedMethodLabel).visible);
    }
    // Clicks reach the boxes they name; a folder has no delegates box to check.
    Panel folder{false, kInternal}, broadcast{true, kAnonymous};
    for (Panel* p : {&folder, &broadcast}) {
        p->panel.Load(kAnonymous, vantor::BasicUsers, false);
        p->panel.OnGroupToggled(MediumUsers, true);
        p->panel.OnGroupToggled(BasicUsers, false);
        p->panel.OnGroupToggled(PlayerOption, true);  // not a group box
        EXPECT_EQ(p->panel.ReadGroups(), vantor::MediumUsers);
        EXPECT_FALSE(p->panel.ReadPlayerOption());
        p->panel.OnPlayerOptionToggled(true);
        p->panel.OnAllowDelegatesToggled(true);
        EXPECT_EQ(std::pair(p->panel.ReadPlayerOption(), (*p)[AllowDelegates].first),
                  std::pair(true, p == &broadcast));
    }
}

}  // namespace
