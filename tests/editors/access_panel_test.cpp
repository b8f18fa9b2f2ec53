#include "editors/access_panel.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

// A panel with the editor's unicast box and the process-wide method it reads through references.
struct Panel {
    explicit Panel(bool broadcast, AuthMethod defaultMethod = AuthMethod::SessionBased,
                   bool unicastOn = true)
        : defaultAuthMethod(defaultMethod), panel(broadcast, defaultAuthMethod, unicast) {
        unicast.checked = unicastOn;
    }

    const ControlState& operator[](AccessControl control) const { return panel.State(control); }
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
    EXPECT_EQ(folder[AccessControl::PlayerOption].text, u"Allow MMS players");
    EXPECT_FALSE(folder[AccessControl::Metadata].visible);
    EXPECT_FALSE(folder[AccessControl::AllowDelegates].visible);
    EXPECT_FALSE(folder[AccessControl::AccessRestrictions].visible);

    Panel broadcast(true);
    EXPECT_EQ(broadcast[AccessControl::PlayerOption].text, u"Allow MMS / Flash players");
    EXPECT_TRUE(broadcast[AccessControl::Metadata].visible);
    EXPECT_TRUE(broadcast[AccessControl::AllowDelegates].visible);
    EXPECT_TRUE(broadcast[AccessControl::AccessRestrictions].visible);
}

TEST(AccessPanel, InheritedLabelNamesTheServerWideMethodOnlyUnderInherit) {
    struct Case {
        AuthMethod defaultMethod;
        std::u16string_view text;
    };
    for (Case c : {Case{AuthMethod::Internal, u"(Internal authentication)"},
                   Case{AuthMethod::Anonymous, u"(Anonymous access)"},
                   Case{AuthMethod::SessionBased, u"(Session-based authentication)"},
                   Case{static_cast<AuthMethod>(9), u"(Session-based authentication)"}}) {
        Panel p(false, c.defaultMethod);
        p.panel.Load(AuthMethod::InheritDefault, AllUsers, true);
        EXPECT_TRUE(p[AccessControl::InheritedMethodLabel].visible);
        EXPECT_EQ(p[AccessControl::InheritedMethodLabel].text, c.text);
        for (AuthMethod other :
             {AuthMethod::Anonymous, AuthMethod::Internal, AuthMethod::SessionBased}) {
            p.panel.OnMethodSelected(other);
            EXPECT_FALSE(p[AccessControl::InheritedMethodLabel].visible);
        }
    }
}

TEST(AccessPanel, InheritFromAnonymousDefault) {
    Panel p(true, AuthMethod::Anonymous);
    p.panel.Load(AuthMethod::InheritDefault, AllUsers, true);
    EXPECT_EQ(p[AccessControl::InheritedMethodLabel].text, u"(Anonymous access)");
    EXPECT_FALSE(p[AccessControl::BasicUsers].enabled);
    EXPECT_FALSE(p[AccessControl::MediumUsers].enabled);
    EXPECT_FALSE(p[AccessControl::AdvancedUsers].enabled);
    EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
    EXPECT_TRUE(p[AccessControl::PlayerOption].checked);
    EXPECT_TRUE(p[AccessControl::Metadata].enabled);

    // Unicast off clears the option; on again brings it back enabled (still unchecked).
    p.SetUnicast(false);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_FALSE(p[AccessControl::Metadata].enabled);
    p.SetUnicast(true);
    EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_TRUE(p[AccessControl::Metadata].enabled);

    // Selecting inherit with unicast off unchecks and disables.
    Panel off(false, AuthMethod::Anonymous, false);
    off.panel.Load(AuthMethod::Anonymous, AllUsers, true);
    off.panel.OnMethodSelected(AuthMethod::InheritDefault);
    EXPECT_FALSE(off[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(off[AccessControl::PlayerOption].checked);
}

TEST(AccessPanel, InheritFromInternalDefault) {
    Panel p(true, AuthMethod::Internal);
    p.panel.Load(AuthMethod::InheritDefault, 0, true);
    EXPECT_TRUE(p[AccessControl::BasicUsers].enabled);
    EXPECT_TRUE(p[AccessControl::AdvancedUsers].enabled);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::Metadata].enabled);
    EXPECT_EQ(p.panel.ReadGroups(), 0u);
    EXPECT_EQ(p.panel.CheckGroups(p.panel.ReadMethod(), p.panel.ReadGroups()),
              u"At least one user group should be chosen for internal authentication");
    // Unicast on again does not revive the option while internal is in effect.
    p.SetUnicast(false);
    p.SetUnicast(true);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    p.panel.OnGroupToggled(AccessControl::MediumUsers, true);
    EXPECT_EQ(p.panel.ReadGroups(), MediumUsers);
    EXPECT_EQ(p.panel.CheckGroups(p.panel.ReadMethod(), p.panel.ReadGroups()), u"");
}

TEST(AccessPanel, InheritFromSessionDefaultStaysOffAfterUnicastIsToggled) {
    Panel p(false, AuthMethod::SessionBased);
    p.panel.Load(AuthMethod::Internal, AllUsers, false);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    p.panel.OnMethodSelected(AuthMethod::InheritDefault);
    EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::BasicUsers].enabled);
    p.panel.OnPlayerOptionToggled(true);

    p.SetUnicast(false);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    p.SetUnicast(true);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);  // until a radio is clicked again
    p.panel.OnMethodSelected(AuthMethod::InheritDefault);
    EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
}

TEST(AccessPanel, AnonymousAndSessionLeaveThePlayerOptionAloneWithoutUnicast) {
    for (AuthMethod method : {AuthMethod::Anonymous, AuthMethod::SessionBased}) {
        // Loaded with unicast off: disabled but keeps the stored check, which is also read.
        Panel p(false, AuthMethod::Internal, false);
        p.panel.Load(method, AllUsers, true);
        EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
        EXPECT_TRUE(p[AccessControl::PlayerOption].checked);
        EXPECT_TRUE(p.panel.ReadPlayerOption());
        EXPECT_FALSE(p[AccessControl::BasicUsers].enabled);

        // Internal clears it; going back without unicast leaves it cleared and disabled.
        p.panel.OnMethodSelected(AuthMethod::Internal);
        p.panel.OnMethodSelected(method);
        EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
        EXPECT_FALSE(p[AccessControl::PlayerOption].checked);

        // With unicast on, selecting the method enables it.
        p.SetUnicast(true);
        EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
        p.panel.OnMethodSelected(AuthMethod::Internal);
        EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
        p.panel.OnMethodSelected(method);
        EXPECT_TRUE(p[AccessControl::PlayerOption].enabled);
        EXPECT_EQ(p.panel.ReadMethod(), method);
    }
}

TEST(AccessPanel, InternalMethodEnablesGroupsAndClearsThePlayerOption) {
    // Stored with the option set: it opens cleared, so saving unchanged stores false.
    Panel p(true, AuthMethod::Anonymous);
    p.panel.Load(AuthMethod::Internal, BasicUsers | AdvancedUsers, true);
    EXPECT_TRUE(p[AccessControl::InternalRadio].checked);
    EXPECT_FALSE(p[AccessControl::InheritedMethodLabel].visible);
    EXPECT_FALSE(p[AccessControl::PlayerOption].checked);
    EXPECT_FALSE(p[AccessControl::PlayerOption].enabled);
    EXPECT_FALSE(p[AccessControl::Metadata].enabled);
    EXPECT_FALSE(p.panel.ReadPlayerOption());
    EXPECT_TRUE(p[AccessControl::BasicUsers].checked);
    EXPECT_FALSE(p[AccessControl::MediumUsers].checked);
    EXPECT_TRUE(p[AccessControl::AdvancedUsers].checked);
    EXPECT_TRUE(p[AccessControl::MediumUsers].enabled);
    EXPECT_EQ(p.panel.ReadGroups(), BasicUsers | AdvancedUsers);

    // Disabled boxes keep their checks and are still read.
    p.panel.OnMethodSelected(AuthMethod::Anonymous);
    EXPECT_FALSE(p[AccessControl::BasicUsers].enabled);
    EXPECT_EQ(p.panel.ReadGroups(), BasicUsers | AdvancedUsers);
}

TEST(AccessPanel, ReadsTheSelectedMethodAndMapsUnknownOnesToSessionBased) {
    Panel p(false);
    for (AuthMethod method : {AuthMethod::InheritDefault, AuthMethod::Anonymous,
                              AuthMethod::Internal, AuthMethod::SessionBased}) {
        p.panel.Load(method, AllUsers, true);
        EXPECT_EQ(p.panel.ReadMethod(), method);
    }
    p.panel.Load(static_cast<AuthMethod>(0), AllUsers, true);
    EXPECT_TRUE(p[AccessControl::SessionRadio].checked);
    EXPECT_EQ(p.panel.ReadMethod(), AuthMethod::SessionBased);
    int selected = 0;
    for (AccessControl radio : {AccessControl::InheritRadio, AccessControl::AnonymousRadio,
                                AccessControl::InternalRadio, AccessControl::SessionRadio}) {
        selected += p[radio].checked ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);
    p.panel.OnGroupToggled(AccessControl::PlayerOption, false);  // not a group box: ignored
    EXPECT_TRUE(p[AccessControl::PlayerOption].checked);
}

TEST(AccessPanel, CheckGroupsRejectsNoGroupOnlyWhenInternalIsInEffect) {
    Panel internalDefault(false, AuthMethod::Internal);
    Panel anonymousDefault(false, AuthMethod::Anonymous);
    const std::u16string_view kMessage =
        u"At least one user group should be chosen for internal authentication";
    EXPECT_EQ(internalDefault.panel.CheckGroups(AuthMethod::InheritDefault, 0), kMessage);
    EXPECT_EQ(internalDefault.panel.CheckGroups(AuthMethod::Internal, 0), kMessage);
    EXPECT_EQ(anonymousDefault.panel.CheckGroups(AuthMethod::Internal, 0), kMessage);
    EXPECT_EQ(internalDefault.panel.CheckGroups(AuthMethod::Internal, AdvancedUsers), u"");
    EXPECT_EQ(anonymousDefault.panel.CheckGroups(AuthMethod::InheritDefault, 0), u"");
    EXPECT_EQ(internalDefault.panel.CheckGroups(AuthMethod::Anonymous, 0), u"");
    EXPECT_EQ(internalDefault.panel.CheckGroups(AuthMethod::SessionBased, 0), u"");

    // Anonymous with every group cleared passes and reads 0.
    Panel p(false, AuthMethod::Internal);
    p.panel.Load(AuthMethod::Anonymous, AllUsers, true);
    for (AccessControl box :
         {AccessControl::BasicUsers, AccessControl::MediumUsers, AccessControl::AdvancedUsers}) {
        p.panel.OnGroupToggled(box, false);
    }
    EXPECT_EQ(p.panel.ReadGroups(), 0u);
    EXPECT_EQ(p.panel.CheckGroups(p.panel.ReadMethod(), p.panel.ReadGroups()), u"");
}

TEST(AccessPanel, BroadcastDelegatesFollowUnicast) {
    Panel p(true, AuthMethod::SessionBased);
    p.panel.Load(AuthMethod::Anonymous, AllUsers, true, true);
    EXPECT_TRUE(p[AccessControl::AllowDelegates].checked);
    EXPECT_TRUE(p[AccessControl::AllowDelegates].enabled);
    EXPECT_TRUE(p[AccessControl::AccessRestrictions].enabled);
    EXPECT_TRUE(p.panel.ReadAllowDelegates());

    p.SetUnicast(false);
    EXPECT_FALSE(p[AccessControl::AllowDelegates].checked);
    EXPECT_FALSE(p[AccessControl::AllowDelegates].enabled);
    EXPECT_FALSE(p[AccessControl::AccessRestrictions].enabled);
    EXPECT_FALSE(p[AccessControl::Metadata].enabled);
    EXPECT_FALSE(p.panel.ReadAllowDelegates());

    p.SetUnicast(true);
    EXPECT_FALSE(p[AccessControl::AllowDelegates].checked);
    EXPECT_TRUE(p[AccessControl::AllowDelegates].enabled);
    EXPECT_TRUE(p[AccessControl::AccessRestrictions].enabled);
    EXPECT_TRUE(p[AccessControl::Metadata].enabled);
    p.panel.OnAllowDelegatesToggled(true);
    EXPECT_TRUE(p.panel.ReadAllowDelegates());

    // Loaded without unicast: the stored check stays, disabled.
    Panel off(true, AuthMethod::SessionBased, false);
    off.panel.Load(AuthMethod::Anonymous, AllUsers, true, true);
    EXPECT_TRUE(off[AccessControl::AllowDelegates].checked);
    EXPECT_FALSE(off[AccessControl::AllowDelegates].enabled);
    EXPECT_FALSE(off[AccessControl::AccessRestrictions].enabled);
    EXPECT_FALSE(off[AccessControl::Metadata].enabled);

    // The folder variant has no delegates to change.
    Panel folder(false);
    folder.panel.Load(AuthMethod::Anonymous, AllUsers, true, true);
    folder.panel.OnAllowDelegatesToggled(true);
    EXPECT_FALSE(folder.panel.ReadAllowDelegates());
}

}  // namespace
}  // namespace vantor
