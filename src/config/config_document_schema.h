#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "config/config_document.h"
#include "config/resource_record.h"

// The words and keys of the configuration document, shared by its reader and its writer.
namespace vantor::document_schema {

inline constexpr std::array<std::pair<std::string_view, AuthMethod>, 4> MethodWords = {{
    {"inherit", AuthMethod::InheritDefault},
    {"anonymous", AuthMethod::Anonymous},
    {"internal", AuthMethod::Internal},
    {"session", AuthMethod::SessionBased},
}};
inline constexpr std::array<std::pair<std::string_view, UserGroups>, 3> GroupWords = {{
    {"basic", BasicUsers},
    {"medium", MediumUsers},
    {"advanced", AdvancedUsers},
}};
inline constexpr std::array<std::string_view, 2> OrderWords = {"alphabetical", "random"};
inline constexpr std::array<std::pair<std::string_view, std::uint32_t>, 3> LoggingWords = {{
    {"disabled", 1},
    {"standard", 2},
    {"custom", 3},
}};
inline constexpr std::array<std::pair<std::string_view, DocumentLiveType>, 4> TypeWords = {{
    {"static", DocumentLiveType::Static},
    {"dynamic", DocumentLiveType::Dynamic},
    {"mms", DocumentLiveType::Mms},
    {"delegate", DocumentLiveType::Delegate},
}};
inline constexpr std::array<std::string_view, 3> ProtocolWords = {"tcp", "http", "https"};

inline constexpr std::array<std::string_view, DocumentFieldCount> FieldKeys = {
    "name",
    "enabled",
    "source",
    "description",
    "authMethod",
    "userGroups",
    "unicast",
    "multicast",
    "multicastGroup",
    "playlist",
    "playlistOrder",
    "allowMmsPlayers",
    "allowDelegates",
    "playTimeLimit",
    "metaTitle",
    "metaAuthor",
    "metaCopyright",
    "maxConnections",
    "maxConnectionsPerUser",
    "maxThroughputKBps",
    "notifyArchival",
};
inline constexpr std::array<std::string_view, ServerFieldCount> ServerKeys = {
    "playerPort",
    "liveSourcePort",
    "limitConnections",
    "maxConnections",
    "limitConnectionsPerUser",
    "maxConnectionsPerUser",
    "limitAnonymousConnections",
    "maxAnonymousConnections",
    "limitThroughput",
    "maxThroughputKBps",
    "loggingMode",
    "loggingProgId",
    "defaultAuthMethod",
    "archivalPassword",
    "networkInterface",
    "archivalServerAddress",
    "archivalServerPort",
};
inline constexpr std::string_view RemoteKey = "remote";
inline constexpr std::string_view PasswordHashKey = "password-hash";
inline constexpr std::string_view TypeKey = "type";
inline constexpr std::u16string_view DynamicPrefix = u"0@";

}  // namespace vantor::document_schema
