#include "editors/config_check.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/text_codec.h"
#include "platform/directory_reader.h"

using namespace vantor;
namespace {

// Folders exist exactly when listed here, by their UTF-8 paths.
class FakeDirectories : public DirectoryReader {
public:
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string& path) override {
        if (!existing.contains(path)) {
            return std::nullopt;
        }
        return std::vector<DirectoryEntry>{};
    }
    std::set<std::string> existing{"/media", "/media/\xC3\xA9t\xC3\xA9"};
};

ResourceRecord Folder(std::u16string name) {
    ResourceRecord r;
    r.kind = ResourceKind::VirtualFolder;
    r.name = std::move(name);
    r.source = u"/media";
    r.unicast = true;
    r.userGroups = AllUsers;
    return r;
}

ResourceRecord Live(std::u16string name, std::u16string source) {
    ResourceRecord r;
    r.kind = ResourceKind::LiveBroadcast;
    r.name = std::move(name);
    r.source = std::move(source);
    r.unicast = true;
    r.userGroups = AllUsers;
    return r;
}

ResourceRecord Multicast(ResourceRecord r, std::u16string group) {
    r.multicast = true;
    r.multicastGroup = std::move(group);
    return r;
}

const std::u16string Ranges =
    u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. The valid port range is: 5000 - "
    u"65535.";
constexpr auto F = FindingSubject::VirtualFolder;
constexpr auto L = FindingSubject::LiveBroadcast;
constexpr auto S = FindingSubject::Server;

TEST(ConfigCheck, FindsEachKindOfProblemWithTheDialogsOwnMessage) {
    struct Case {
        const char* what;
        std::function<void(ConfigFileContents&)> build;
        std::vector<ConfigFinding> expected;
    };
    using C = ConfigFileContents;
    const Case cases[] = {
        {"clean, every kind of source",
         [](C& c) {
             c.records = {Folder(u"Clips"),
                          Multicast(Folder(u"Loop"), u"225.0.0.1:5000"),
                          Live(u"studio", u"255@10.0.0.1"),
                          Live(u"reporter", u"0@3ce8d030d416d4d7d8c96b6ee19c8da70c15ee4e"),
                          Live(u"relay", u"mms://encoder/live"),
                          Live(u"partner", u"vtr://https:10.0.0.6:443/sports/hd")};
             c.records[1].unicast = false;
             // A group not delivered is not the server's business, nor a clash.
             c.records[2].multicastGroup = u"225.0.0.1:5000";
             c.records[3].playTimeLimit = 30;
         },
         {}},
        {"empty names",
         [](C& c) {
             c.records = {Folder(u""), Live(u"", u"1@h")};
         },
         {{F, u"", u"No name is provided"},
          {L, u"", u"No name for new live broadcast is specified"}}},
        {"forbidden characters; ':' and '?' pass",
         [](C& c) {
             c.records = {Folder(u"a/b"), Live(u"a*b", u"1@h"), Folder(u"a:b?")};
         },
         {{F, u"a/b", u"Virtual folder name can not contain characters \"*/\\\""},
          {L, u"a*b", u"Live broadcast name can not contain characters \"*/\\\""}}},
        {"duplicates without regard to case: the later ones",
         [](C& c) {
             c.records = {Folder(u"News"), Live(u"NEWS", u"1@h"), Folder(u"news")};
         },
         {{L, u"NEWS", u"Resource with this name already exists. Choose different name"},
          {F, u"news", u"Resource with this name already exists. Choose different name"}}},
        {"neither unicast nor multicast",
         [](C& c) {
             c.records = {Folder(u"f")};
             c.records[0].unicast = false;
         },
         {{F, u"f", u"Either Unicast or Multicast or both should be checked"}}},
        {"multicast groups: empty, no port, invalid, out of range, clashing",
         [](C& c) {
             c.records = {Multicast(Folder(u"a"), u""),
                          Multicast(Folder(u"b"), u"230.1.1.1"),
                          Multicast(Folder(u"c"), u"abc:6000"),
                          Multicast(Folder(u"d"), u"224.0.0.0:6000"),
                          Multicast(Folder(u"e"), u"230.1.1.1:80"),
                          Multicast(Folder(u"f"), u"230.1.1.1:6000"),
                          Multicast(Live(u"g", u"1@h"), u"230.001.001.001:7000"),
                          Multicast(Live(u"h", u"1@h"), u"230.1.1.2:6000")};
         },
         {{F, u"a", u"Empty multicast group"},
          {F, u"b", u"No port is specified in the multicast group"},
          {F, u"c", u"Multicast Group address is invalid" + Ranges},
          {F, u"d", u"Multicast Group address is out of range" + Ranges},
          {F, u"e", u"Multicast port is out of range" + Ranges},
          {L, u"g", u"Duplicate Multicast group address" + Ranges},
          {L, u"h", u"Duplicate Multicast port" + Ranges}}},
        {"static sources without '@' or with an ID outside 1-255",
         [](C& c) {
             c.records = {Live(u"a", u"10.0.0.1"), Live(u"b", u"256@10.0.0.1"), Live(u"c", u"1@"),
                          Live(u"d", u"")};
         },
         {{L, u"a", u"No live source IP address is specified"},
          {L, u"b", u"No live source ID is selected. Choose an ID from 1 to 255"},
          {L, u"c", u"No live source IP address is specified"},
          {L, u"d", u"No live source IP address is specified"}}},
        {"links that are not mms://",
         [](C& c) {
             c.records = {Live(u"a", u"MMS://enc/live"), Live(u"b", u"http://enc")};
         },
         {{L, u"a",
           u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\"."},
          {L, u"b",
           u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\"."}}},
        {"delegate links that do not parse",
         [](C& c) {
             c.records = {Live(u"a", u"vtr://tcp:10.0.0.5"), Live(u"b", u"vtr://tcp::5119/x"),
                          Live(u"c", u"vtr://tcp:h:0/x"),    Live(u"d", u"vtr://ftp:h:80/x"),
                          Live(u"e", u"vtr://tcp:h:0080/x"), Live(u"f", u"vtr://tcp:h:none/x")};
         },
         {{L, u"a", u"No Remote Alias is specified"},
          {L, u"b", u"No Remote Media Server IP address specified"},
          {L, u"c", u"No Remote Media Server port specified"},
          {L, u"d", BadRemoteLinkMessage.data()},
          {L, u"e", BadRemoteLinkMessage.data()},
          {L, u"f", BadRemoteLinkMessage.data()}}},
        {"dynamic broadcasts without a password or with a damaged one",
         [](C& c) {
             c.records = {Live(u"a", u"0@"), Live(u"b", u"0"),
                          Live(u"c", u"0@3CE8D030D416D4D7D8C96B6EE19C8DA70C15EE4E")};
         },
         {{L, u"a",
           u"No password is specified. You must specify a password for dynamic live source."},
          {L, u"b",
           u"No password is specified. You must specify a password for dynamic live source."},
          {L, u"c", BadPasswordHashMessage.data()}}},
        {"limits on with nothing the dialogs accept",
         [](C& c) {
             c.records = {Live(u"a", u"1@h"), Folder(u"f")};
             c.records[0].playTimeLimit = 0;
             c.records[1].maxConnections = 0x80000000;  // shown as a negative number
             c.records[1].maxConnectionsPerUser = 0xFFFFFFFF;
             c.records[1].maxThroughputKBps = 0x80000000;
         },
         {{L, u"a", u"Time limit must be at least 1 minute"},
          {F, u"f", u"Minimal number of connections is 1"},
          {F, u"f", u"Minimal number of connections per user is 1"},
          {F, u"f", u"Throughput limit must be at least 1 kByte/sec"}}},
        {"no user group under internal authentication, also inherited",
         [](C& c) {
             c.defaultAuthMethod = AuthMethod::Internal;
             c.records = {Folder(u"a"), Folder(u"b"), Live(u"c", u"1@h")};
             c.records[0].authMethod = AuthMethod::Internal;
             c.records[0].userGroups = 0;
             c.records[1].userGroups = 8;  // no box of the panel
             c.records[2].authMethod = AuthMethod::Anonymous;
             c.records[2].userGroups = 0;
         },
         {{F, u"a", u"At least one user group should be chosen for internal authentication"},
          {F, u"b", u"At least one user group should be chosen for internal authentication"}}},
        {"folders without a directory",
         [](C& c) {
             c.records = {Folder(u"a"), Folder(u"b"), Folder(u"c")};
             c.records[0].source = u"";
             c.records[1].source = u"/gone";
             c.records[2].source = u"/media/\u00e9t\u00e9";
         },
         {{F, u"a", u"No physical path is chosen"},
          {F, u"b", u"Physical path is missing or cannot be read: /gone"}}},
        {"server settings the properties dialog refuses",
         [](C& c) {
             c.server.playerPort = u"";
             c.server.limitConnections = true;
             c.server.maxConnections = 0;
             c.server.limitConnectionsPerUser = true;
             c.server.maxConnectionsPerUser = 0;
             c.server.limitAnonymousConnections = true;
             c.server.maxAnonymousConnections = 0;
             c.server.limitThroughput = true;
             c.server.maxThroughputKBps = 0;
         },
         {{S, u"", u"No port for client connections is specified"},
          {S, u"", u"Minimal number of connections is 1"},
          {S, u"", u"Minimal number of connections per user is 1"},
          {S, u"", u"Minimal number of connections is 1"},
          {S, u"", u"Throughput limit must be at least 1 kByte/sec"}}},
        {"the live source port, and limits that are off keep any number",
         [](C& c) {
             c.server.liveSourcePort = u"";
             c.server.maxConnections = 0;
             c.server.maxThroughputKBps = 0;
         },
         {{S, u"", u"No port for dynamic live sources is specified"}}},
        {"every problem of one resource, in the dialog's order",
         [](C& c) {
             c.records = {Multicast(Live(u"a/b", u"0@"), u"1.2.3.4:5000")};
             c.records[0].authMethod = AuthMethod::Internal;
             c.records[0].userGroups = 0;
             c.records[0].playTimeLimit = -5;
             c.records[0].maxThroughputKBps = 0xFFFFFFFF;
         },
         {{L, u"a/b", u"Live broadcast name can not contain characters \"*/\\\""},
          {L, u"a/b",
           u"No password is specified. You must specify a password for dynamic live source."},
          {L, u"a/b", u"At least one user group should be chosen for internal authentication"},
          {L, u"a/b", u"Time limit must be at least 1 minute"},
          {L, u"a/b", u"Multicast Group address is out of range" + Ranges},
          {L, u"a/b", u"Throughput limit must be at least 1 kByte/sec"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigFileContents contents;
        c.build(contents);
        FakeDirectories directories;
        EXPECT_EQ(CheckConfiguration(contents, directories), c.expected);
    }
}

}  // namespace
