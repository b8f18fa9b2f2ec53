#include "sim/demo_config.h"

#include <string>
#include <utility>

#include "config/config_file.h"
#include "config/server_config.h"
#include "config/text_codec.h"

namespace vantor::sim {

namespace {

// The password a dynamic broadcast's encoder would give is "demo-password"; the file keeps only
// its SHA-1 hash text, as the tool's password dialog writes it.
constexpr char16_t DynamicSource[] = u"0@3ce8d030d416d4d7d8c96b6ee19c8da70c15ee4e";

std::u16string Folder(std::string_view mediaDir, std::string_view subfolder = {}) {
    std::string path(mediaDir);
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    if (!subfolder.empty()) {
        path += '/';
        path += subfolder;
    }
    return Utf8ToUtf16(path);
}

ResourceRecord VirtualFolder(std::u16string name, std::u16string source,
                             std::u16string description) {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.imageIndex = VirtualFolderImage;
    record.name = std::move(name);
    record.source = std::move(source);
    record.description = std::move(description);
    record.unicast = true;
    return record;
}

ResourceRecord LiveBroadcast(std::u16string name, std::u16string source,
                             std::u16string description) {
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.imageIndex = LiveBroadcastImage;
    record.name = std::move(name);
    record.source = std::move(source);
    record.description = std::move(description);
    record.unicast = true;
    record.allowMmsPlayers = true;
    return record;
}

}  // namespace

std::vector<ResourceRecord> DemoResources(std::string_view mediaDir) {
    std::vector<ResourceRecord> records;

    ResourceRecord clips =
        VirtualFolder(u"Clips", Folder(mediaDir), u"Short test clips, open to everyone");
    clips.allowMmsPlayers = true;
    records.push_back(std::move(clips));

    ResourceRecord members = VirtualFolder(u"Members", Folder(mediaDir, DemoMediaSubfolder),
                                           u"Medium and advanced users only");
    members.authMethod = AuthMethod::Internal;
    members.userGroups = MediumUsers | AdvancedUsers;
    records.push_back(std::move(members));

    ResourceRecord lobby =
        VirtualFolder(u"Lobby loop", Folder(mediaDir), u"The clips as a random multicast loop");
    lobby.unicast = false;
    lobby.multicast = true;
    lobby.multicastGroup = u"225.0.0.1:5000";
    lobby.playlist = true;
    lobby.playlistOrder = 1;
    records.push_back(std::move(lobby));

    ResourceRecord openDay =
        VirtualFolder(u"Open day", Folder(mediaDir), u"Session-based sign-in, limited connections");
    openDay.authMethod = AuthMethod::SessionBased;
    openDay.maxConnections = 50;
    openDay.maxConnectionsPerUser = 2;
    openDay.maxThroughputKBps = 2000;
    records.push_back(std::move(openDay));

    ResourceRecord archive = VirtualFolder(u"Archive", Folder(mediaDir, DemoMediaSubfolder),
                                           u"Switched off until the move is done");
    archive.enabled = false;
    records.push_back(std::move(archive));

    // Static: source number 3 of the live server at that address ("%d@%s").
    ResourceRecord studio =
        LiveBroadcast(u"studio", u"3@192.168.10.5", u"Studio camera, pulled from the encoder");
    studio.multicast = true;
    studio.multicastGroup = u"225.0.0.2:5002";
    studio.metaTitle = u"Studio live";
    studio.metaAuthor = u"Demo newsroom";
    studio.metaCopyright = u"(c) Demo newsroom";
    studio.notifyArchival = true;
    records.push_back(std::move(studio));

    ResourceRecord reporter = LiveBroadcast(u"reporter", DynamicSource,
                                            u"Field reporter's laptop pushes with a password");
    reporter.authMethod = AuthMethod::Internal;
    reporter.userGroups = AllUsers;
    reporter.playTimeLimit = 30;
    reporter.maxConnectionsPerUser = 1;
    records.push_back(std::move(reporter));

    ResourceRecord relay =
        LiveBroadcast(u"relay", u"mms://encoder.example/live", u"Rebroadcast of an MMS encoder");
    relay.metaTitle = u"Relay";
    records.push_back(std::move(relay));

    // Delegates: "vtr://", the protocol, the remote server's address, ":port/", the remote alias.
    ResourceRecord partnerNews = LiveBroadcast(u"partner-news", u"vtr://tcp:10.0.0.5:5119/news",
                                               u"Forwarded to the partner's news broadcast");
    partnerNews.allowDelegates = true;
    partnerNews.multicast = true;
    partnerNews.multicastGroup = u"225.0.0.3:5004";
    records.push_back(std::move(partnerNews));

    ResourceRecord partnerSports =
        LiveBroadcast(u"partner-sports", u"vtr://https:10.0.0.6:443/sports/hd",
                      u"Forwarded over HTTPS, at most 100 players");
    partnerSports.maxConnections = 100;
    partnerSports.maxThroughputKBps = 4000;
    records.push_back(std::move(partnerSports));

    return records;
}

std::vector<std::uint8_t> DemoConfigFile(std::string_view mediaDir) {
    const std::vector<ResourceRecord> records = DemoResources(mediaDir);
    std::vector<const ResourceRecord*> order;
    order.reserve(records.size());
    for (const ResourceRecord& record : records) {
        order.push_back(&record);
    }
    return WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, order);
}

}  // namespace vantor::sim
