#include "config/resource_texts.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

ResourceRecord Make(ResourceKind kind, std::u16string name, std::u16string source, bool on = true) {
    ResourceRecord r;
    std::tie(r.kind, r.name, r.source, r.enabled) = std::tuple(kind, name, source, on);
    return r;
}

TEST(ResourceTexts, DisplayTextMarksDisabledResourcesAndSourceTextHidesHashes) {
    using enum ResourceKind;
    EXPECT_EQ(DisplayText(Make(VirtualFolder, u"Music", u"/m")), u"Music");
    EXPECT_EQ(DisplayText(Make(VirtualFolder, u"Music", u"/m", false)), u"Music (disabled)");
    EXPECT_EQ(DisplayText(Make(VirtualFolder, u"", u"", false)), u" (disabled)");
    // Fixed items always show their bare name.
    EXPECT_EQ(DisplayText(Make(FileResourcesBranch, u"Files", u"", false)), u"Files");

    // The source of a dynamic live broadcast hides its hash.
    for (const char16_t* source : {u"0@8843d7f92416211de9ebb963ff4ce28125932878", u"0"}) {
        EXPECT_EQ(SourceText(Make(ResourceKind::LiveBroadcast, u"Dyn", source)), u"Dynamic");
    }
    for (const char16_t* source :
         {u"12@192.168.1.5", u"mms://host/stream", u"vtr://10.0.0.2:7070/tcp/News", u""}) {
        EXPECT_EQ(SourceText(Make(ResourceKind::LiveBroadcast, u"L", source)), source);
    }
    // Only a live broadcast's source is coded; a folder path beginning with 0 is just a path.
    EXPECT_EQ(SourceText(Make(ResourceKind::VirtualFolder, u"F", u"0data")), u"0data");
}

TEST(ResourceTexts, AccessibilityTextNamesTheMethodAndGroups) {
    using enum AuthMethod;
    const std::u16string internal = u"Internal authentication. ";
    EXPECT_EQ(AccessibilityText(None, 7, Internal), u"");
    EXPECT_EQ(AccessibilityText(Anonymous, 7, Internal), u"Anonymous access");
    EXPECT_EQ(AccessibilityText(SessionBased, 7, Internal), u"Session-based authentication");
    // Internal authentication by user groups; a mask with no known group or an unknown bit names
    // no group, and any unknown method reads as internal authentication.
    const std::vector<std::u16string> groups(
        {u"", u"Basic users", u"Medium users", u"Basic and medium users", u"Advanced users",
         u"Basic and advanced users", u"Medium and advanced users", u"All users"});
    for (UserGroups mask = 0; mask < 8; ++mask) {
        EXPECT_EQ(AccessibilityText(Internal, mask, Anonymous), internal + groups[mask]) << mask;
        EXPECT_EQ(AccessibilityText(static_cast<AuthMethod>(9), mask, Anonymous),
                  internal + groups[mask]);
    }
    EXPECT_EQ(AccessibilityText(Internal, 15, Anonymous), internal);
    // Inherit shows the server default with the resource's groups; a default that is no usable
    // method is not followed again.
    EXPECT_EQ(AccessibilityText(InheritDefault, 5, Internal), internal + groups[5]);
    EXPECT_EQ(AccessibilityText(InheritDefault, 5, Anonymous), u"Anonymous access");
    EXPECT_EQ(AccessibilityText(InheritDefault, 2, InheritDefault), internal + groups[2]);
    EXPECT_EQ(AccessibilityText(InheritDefault, 2, None), internal + groups[2]);
}

}  // namespace
}  // namespace vantor
