#pragma once

#include <string>
#include <string_view>

#include "config/resource_record.h"

namespace vantor {

// Names of the three fixed tree items.
inline constexpr std::u16string_view MediaServerName = u"Media Server";
inline constexpr std::u16string_view FileResourcesName = u"File resources";
inline constexpr std::u16string_view LiveBroadcastsName = u"Live broadcasts";

// Appended to the name of a switched-off resource in the tree.
inline constexpr std::u16string_view DisabledSuffix = u" (disabled)";

// "Path" column of a dynamic live broadcast, whose source is only a password hash.
inline constexpr std::u16string_view DynamicSourceText = u"Dynamic";

// "Accessibility" column.
inline constexpr std::u16string_view AnonymousAccessText = u"Anonymous access";
inline constexpr std::u16string_view SessionBasedAuthText = u"Session-based authentication";
inline constexpr std::u16string_view InternalAuthText = u"Internal authentication. ";
inline constexpr std::u16string_view AllUsersText = u"All users";
inline constexpr std::u16string_view BasicAndMediumUsersText = u"Basic and medium users";
inline constexpr std::u16string_view BasicAndAdvancedUsersText = u"Basic and advanced users";
inline constexpr std::u16string_view MediumAndAdvancedUsersText = u"Medium and advanced users";
inline constexpr std::u16string_view BasicUsersText = u"Basic users";
inline constexpr std::u16string_view MediumUsersText = u"Medium users";
inline constexpr std::u16string_view AdvancedUsersText = u"Advanced users";

// True for the root and the two branches, which are never stored and never edited.
bool IsFixedKind(ResourceKind kind);

// The tree text of a record: its name, marked when a resource is disabled.
std::u16string DisplayText(const ResourceRecord& record);

// The groups admitted under internal authentication, in words; empty for no group or an
// unknown mask.
std::u16string_view UserGroupsText(UserGroups userGroups);

// What the "Accessibility" column shows for a resource. InheritDefault is shown as the server's
// default method with the same groups.
std::u16string AccessibilityText(AuthMethod authMethod, UserGroups userGroups,
                                 AuthMethod defaultAuthMethod);

// What the "Path" column shows for a resource: its source, except for a dynamic live broadcast.
std::u16string SourceText(const ResourceRecord& record);

}  // namespace vantor
