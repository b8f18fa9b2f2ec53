#include "config/resource_texts.h"

namespace vantor {

bool IsFixedKind(ResourceKind kind) {
    return kind == ResourceKind::ServerRoot || kind == ResourceKind::FileResourcesBranch ||
           kind == ResourceKind::LiveBroadcastsBranch;
}

std::u16string DisplayText(const ResourceRecord& record) {
    std::u16string text = record.name;
    if (!record.enabled && !IsFixedKind(record.kind)) {
        text += DisabledSuffix;
    }
    return text;
}

std::u16string_view UserGroupsText(UserGroups userGroups) {
    switch (userGroups) {
        case BasicUsers | MediumUsers | AdvancedUsers:
            return AllUsersText;
        case BasicUsers | MediumUsers:
            return BasicAndMediumUsersText;
        case BasicUsers | AdvancedUsers:
            return BasicAndAdvancedUsersText;
        case MediumUsers | AdvancedUsers:
            return MediumAndAdvancedUsersText;
        case BasicUsers:
            return BasicUsersText;
        case MediumUsers:
            return MediumUsersText;
        case AdvancedUsers:
            return AdvancedUsersText;
        default:
            return {};
    }
}

std::u16string AccessibilityText(AuthMethod authMethod, UserGroups userGroups,
                                 AuthMethod defaultAuthMethod) {
    if (authMethod == AuthMethod::None) {
        return {};
    }
    // The default is resolved once and never followed further: a default that is itself
    // "inherit" (or any other value the server cannot use as a default) falls through to the
    // catch-all internal authentication text, as any unknown method does.
    AuthMethod effective = authMethod;
    if (effective == AuthMethod::InheritDefault) {
        effective =
            defaultAuthMethod == AuthMethod::InheritDefault || defaultAuthMethod == AuthMethod::None
                ? AuthMethod::Internal
                : defaultAuthMethod;
    }
    switch (effective) {
        case AuthMethod::Anonymous:
            return std::u16string(AnonymousAccessText);
        case AuthMethod::SessionBased:
            return std::u16string(SessionBasedAuthText);
        default: {
            std::u16string text(InternalAuthText);
            text += UserGroupsText(userGroups);
            return text;
        }
    }
}

std::u16string SourceText(const ResourceRecord& record) {
    if (record.kind == ResourceKind::LiveBroadcast && !record.source.empty() &&
        record.source.front() == u'0') {
        return std::u16string(DynamicSourceText);
    }
    return record.source;
}

}  // namespace vantor
