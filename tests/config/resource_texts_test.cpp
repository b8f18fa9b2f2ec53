#include "config/resource_texts.h"

#include <tuple>

#include <gtest/gtest.h>

namespace vantor {
namespace {

ResourceRecord Make(ResourceKind kind, std::u16string name, std::u16string source, bool enabled) {
    ResourceRecord record;
    record.kind = kind;
    record.enabled = enabled;
    record.name = std::move(name);
    record.source = std::move(source);
    return record;
}

TEST(ResourceTexts, DisplayTextMarksDisabledResources) {
    const ResourceKind folder = ResourceKind::VirtualFolder;
    EXPECT_EQ(DisplayText(Make(folder, u"Music", u"/srv/music", true)), u"Music");
    EXPECT_EQ(DisplayText(Make(folder, u"Music", u"/srv/music", false)), u"Music (disabled)");
    EXPECT_EQ(DisplayText(Make(folder, u"", u"", false)), u" (disabled)");
    // Fixed items always show their bare name.
    EXPECT_EQ(DisplayText(Make(ResourceKind::FileResourcesBranch, u"File resources", u"", false)),
              u"File resources");
}

TEST(ResourceTexts, SourceTextHidesTheHashOfDynamicBroadcasts) {
    const ResourceKind live = ResourceKind::LiveBroadcast;
    EXPECT_EQ(SourceText(Make(live, u"Dyn", u"0@8843d7f92416211de9ebb963ff4ce28125932878", true)),
              u"Dynamic");
    EXPECT_EQ(SourceText(Make(live, u"Dyn", u"0", true)), u"Dynamic");
    for (const char16_t* source :
         {u"12@192.168.1.5", u"mms://host/stream", u"vtr://10.0.0.2:7070/tcp/News", u""}) {
        EXPECT_EQ(SourceText(Make(live, u"L", source, true)), source);
    }
    // Only a live broadcast's source is coded; a folder path beginning with 0 is just a path.
    EXPECT_EQ(SourceText(Make(ResourceKind::VirtualFolder, u"F", u"0data", true)), u"0data");
}

TEST(ResourceTexts, AccessibilityTextNamesTheMethodAndGroups) {
    using enum AuthMethod;
    const std::u16string internal = u"Internal authentication. ";
    // Method, groups, server default, text.
    const std::tuple<AuthMethod, UserGroups, AuthMethod, std::u16string> cases[] = {
        {None, 7, Internal, u""},
        {Anonymous, 7, Internal, u"Anonymous access"},
        {SessionBased, 7, Internal, u"Session-based authentication"},
        {Internal, 7, Anonymous, internal + u"All users"},
        {Internal, 3, Anonymous, internal + u"Basic and medium users"},
        {Internal, 5, Anonymous, internal + u"Basic and advanced users"},
        {Internal, 6, Anonymous, internal + u"Medium and advanced users"},
        {Internal, 1, Anonymous, internal + u"Basic users"},
        {Internal, 2, Anonymous, internal + u"Medium users"},
        {Internal, 4, Anonymous, internal + u"Advanced users"},
        {Internal, 0, Anonymous, internal},
        {Internal, 15, Anonymous, internal},
        // Any unknown method reads as internal authentication.
        {static_cast<AuthMethod>(9), 1, Anonymous, internal + u"Basic users"},
        // Inherit shows the server default with the resource's groups.
        {InheritDefault, 5, Internal, internal + u"Basic and advanced users"},
        {InheritDefault, 5, Anonymous, u"Anonymous access"},
        // A default that is no usable method is not followed again.
        {InheritDefault, 2, InheritDefault, internal + u"Medium users"},
        {InheritDefault, 2, None, internal + u"Medium users"}};
    for (const auto& [method, groups, defaultMethod, text] : cases) {
        EXPECT_EQ(AccessibilityText(method, groups, defaultMethod), text)
            << static_cast<int>(method) << " " << groups << " " << static_cast<int>(defaultMethod);
    }
}

}  // namespace
}  // namespace vantor
