#include "config/resource_texts.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

ResourceRecord Make(ResourceKind kind, std::u16string name, std::u16string source, bool enabled) {
    ResourceRecord record;
    record.kind = kind;
    record.name = std::move(name);
    record.source = std::move(source);
    record.enabled = enabled;
    return record;
}

TEST(ResourceTexts, DisplayTextMarksDisabledResources) {
    EXPECT_EQ(DisplayText(Make(ResourceKind::VirtualFolder, u"Music", u"/srv/music", true)),
              u"Music");
    EXPECT_EQ(DisplayText(Make(ResourceKind::VirtualFolder, u"Music", u"/srv/music", false)),
              u"Music (disabled)");
    EXPECT_EQ(DisplayText(Make(ResourceKind::LiveBroadcast, u"News", u"1@10.0.0.1", false)),
              u"News (disabled)");
    EXPECT_EQ(DisplayText(Make(ResourceKind::VirtualFolder, u"", u"", false)), u" (disabled)");
    // Fixed items always show their bare name.
    EXPECT_EQ(DisplayText(Make(ResourceKind::FileResourcesBranch, u"File resources", u"", false)),
              u"File resources");
    EXPECT_TRUE(IsFixedKind(ResourceKind::ServerRoot));
    EXPECT_TRUE(IsFixedKind(ResourceKind::LiveBroadcastsBranch));
    EXPECT_FALSE(IsFixedKind(ResourceKind::LiveBroadcast));
}

TEST(ResourceTexts, SourceTextHidesTheHashOfDynamicBroadcasts) {
    const std::u16string hash = u"0@8843d7f92416211de9ebb963ff4ce28125932878";
    EXPECT_EQ(SourceText(Make(ResourceKind::LiveBroadcast, u"Dyn", hash, true)), u"Dynamic");
    EXPECT_EQ(SourceText(Make(ResourceKind::LiveBroadcast, u"Dyn", u"0", true)), u"Dynamic");
    for (const char16_t* source :
         {u"12@192.168.1.5", u"mms://host/stream", u"vtr://10.0.0.2:7070/tcp/News", u""}) {
        EXPECT_EQ(SourceText(Make(ResourceKind::LiveBroadcast, u"L", source, true)), source);
    }
    // Only a live broadcast's source is coded; a folder path beginning with 0 is just a path.
    EXPECT_EQ(SourceText(Make(ResourceKind::VirtualFolder, u"F", u"0data", true)), u"0data");
}

TEST(ResourceTexts, AccessibilityTextNamesTheMethodAndGroups) {
    constexpr AuthMethod internal = AuthMethod::Internal;
    EXPECT_EQ(AccessibilityText(AuthMethod::None, 7, internal), u"");
    EXPECT_EQ(AccessibilityText(AuthMethod::Anonymous, 7, internal), u"Anonymous access");
    EXPECT_EQ(AccessibilityText(AuthMethod::SessionBased, 7, internal),
              u"Session-based authentication");

    const std::pair<UserGroups, const char16_t*> groups[] = {{7, u"All users"},
                                                             {3, u"Basic and medium users"},
                                                             {5, u"Basic and advanced users"},
                                                             {6, u"Medium and advanced users"},
                                                             {1, u"Basic users"},
                                                             {2, u"Medium users"},
                                                             {4, u"Advanced users"},
                                                             {0, u""},
                                                             {8, u""},
                                                             {15, u""}};
    for (const auto& [mask, text] : groups) {
        EXPECT_EQ(AccessibilityText(internal, mask, AuthMethod::Anonymous),
                  u"Internal authentication. " + std::u16string(text))
            << mask;
    }
    // Any unknown method reads as internal authentication.
    EXPECT_EQ(AccessibilityText(static_cast<AuthMethod>(9), 1, AuthMethod::Anonymous),
              u"Internal authentication. Basic users");
    EXPECT_EQ(AccessibilityText(static_cast<AuthMethod>(0), 0, AuthMethod::Anonymous),
              u"Internal authentication. ");
}

TEST(ResourceTexts, InheritedMethodShowsTheServerDefault) {
    constexpr AuthMethod inherit = AuthMethod::InheritDefault;
    EXPECT_EQ(AccessibilityText(inherit, 5, AuthMethod::Internal),
              u"Internal authentication. Basic and advanced users");
    EXPECT_EQ(AccessibilityText(inherit, 0, AuthMethod::Internal), u"Internal authentication. ");
    EXPECT_EQ(AccessibilityText(inherit, 5, AuthMethod::Anonymous), u"Anonymous access");
    EXPECT_EQ(AccessibilityText(inherit, 5, AuthMethod::SessionBased),
              u"Session-based authentication");
    // A default that is no usable method is not followed again.
    EXPECT_EQ(AccessibilityText(inherit, 2, inherit), u"Internal authentication. Medium users");
    EXPECT_EQ(AccessibilityText(inherit, 2, AuthMethod::None),
              u"Internal authentication. Medium users");
}

}  // namespace
}  // namespace vantor
