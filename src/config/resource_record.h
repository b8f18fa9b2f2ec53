#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// What a record is. Only the first two are stored in config.vtr; the others are the fixed
// items of the resource tree.
enum class ResourceKind : std::uint32_t {
    VirtualFolder = 1,
    LiveBroadcast = 2,
    ServerRoot = 3,
    FileResourcesBranch = 4,
    LiveBroadcastsBranch = 5,
};

// How players authenticate. Values outside the enumerators can come from a file (the record
// stores the low byte) and must survive a load/save round trip, so this is an open enum.
enum class AuthMethod : std::int32_t {
    None = -1,  // the fixed tree items
    InheritDefault = 1,
    Anonymous = 2,
    Internal = 3,
    SessionBased = 4,
};

// Bit mask of the user groups admitted under internal authentication.
using UserGroups = std::uint32_t;
inline constexpr UserGroups BasicUsers = 1;
inline constexpr UserGroups MediumUsers = 2;
inline constexpr UserGroups AdvancedUsers = 4;
inline constexpr UserGroups AllUsers = BasicUsers | MediumUsers | AdvancedUsers;

// Indices into the tree's icon strip.
enum ImageIndex : std::uint32_t {
    FileResourcesImage = 0,
    VirtualFolderImage = 1,
    ServerRootImage = 2,
    LiveBroadcastImage = 3,
    FileImage = 4,
    FolderUpImage = 5,
    LiveBroadcastsImage = 6,
};

// One published resource: a virtual folder or a live broadcast (or one of the three fixed
// tree items). Field order is the file's.
struct ResourceRecord {
    ResourceKind kind = ResourceKind::VirtualFolder;
    bool enabled = true;
    AuthMethod authMethod = AuthMethod::InheritDefault;
    UserGroups userGroups = 0;
    std::u16string name;
    std::u16string source;
    std::u16string description;
    std::uint32_t imageIndex = 0;  // not stored
    bool unicast = false;
    bool multicast = false;
    std::u16string multicastGroup;
    bool playlist = false;
    std::uint32_t playlistOrder = 0;  // 0 alphabetical, 1 random
    std::int32_t playTimeLimit = -1;  // minutes; -1 no limit
    bool allowDelegates = false;
    bool allowMmsPlayers = false;
    std::u16string metaTitle;
    std::u16string metaAuthor;
    std::u16string metaCopyright;
    std::uint32_t maxConnections = 0;  // 0 = no limit, as for the two below
    std::uint32_t maxConnectionsPerUser = 0;
    std::uint32_t maxThroughputKBps = 0;
    bool notifyArchival = false;

    bool operator==(const ResourceRecord&) const = default;
};

}  // namespace vantor
