#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class DirectoryReader;
struct ConfigFileContents;

// What the problem found belongs to.
enum class FindingSubject { Server, VirtualFolder, LiveBroadcast };

// One problem of a stored configuration: what the editors would refuse on OK, with their own
// message, or what the server could not use.
struct ConfigFinding {
    FindingSubject subject = FindingSubject::Server;
    std::u16string name;     // the resource's name; empty for the server settings
    std::u16string message;  // a multicast group's message keeps its line break

    bool operator==(const ConfigFinding&) const = default;
};

// Found where the editors have nothing to say: the stored text itself is wrong.
inline constexpr std::u16string_view FolderMissingMessage = u"Physical path does not exist: ";
inline constexpr std::u16string_view FolderUnreadableMessage = u"Physical path cannot be read: ";
inline constexpr std::u16string_view BadPasswordHashMessage =
    u"Password is not stored as 40 lowercase hexadecimal digits. Set the password again";
inline constexpr std::u16string_view BadRemoteLinkMessage =
    u"Remote link is not of the form vtr://tcp|http|https:address:port/alias";

// Checks a configuration as read from its file, without changing anything: the server settings
// as the server properties dialog checks them, then each resource in file order as its editor
// checks it on OK. Unlike a dialog, every problem of a resource is reported, not only the first.
// Names are also checked against the resources before them (a dialog lets a resource keep a
// name it already has), multicast groups against the groups of the resources before them that
// are delivered by multicast, and each virtual folder's directory through directories.
std::vector<ConfigFinding> CheckConfiguration(const ConfigFileContents& contents,
                                              DirectoryReader& directories);

}  // namespace vantor
