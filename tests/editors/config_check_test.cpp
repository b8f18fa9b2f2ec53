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

ResourceRecord Folder(std::u16string name, std::u16string source = u"/media") {
    ResourceRecord r;
    r.name = std::move(name);
    r.source = std::move(source);
    r.unicast = true;
    r.userGroups = AllUsers;
    return r;
}

ResourceRecord Live(std::u16string name, std::u16string source) {
    ResourceRecord r = Folder(std::move(name), std::move(source));
    r.kind = ResourceKind::LiveBroadcast;
    return r;
}

// The record with one more field set.
template <typename T, typename V>
ResourceRecord With(ResourceRecord r, T ResourceRecord::*field, V value) {
    r.*field = T(value);
    return r;
}

ResourceRecord Multicast(ResourceRecord r, std::u16string group) {
    return With(With(std::move(r), &ResourceRecord::multicast, true),
                &ResourceRecord::multicastGroup, std::move(group));
}

const std::u16string Ranges =
    u".\nThe valid group range is: 224.0.0.1 - 239.255.255.255. The valid port range is: 5000 - "
    u"65535.";
constexpr std::u16string_view
    NoAddress = u"No live source IP address is specified",
    Exists = u"Resource with this name already exists. Choose different name",
    NoGroup = u"At least one user group should be chosen for internal authentication",
    NoPassword = u"No password is specified. You must specify a password for dynamic live source.",
    NoThroughput = u"Throughput limit must be at least 1 kByte/sec",
    NoConnections = u"Minimal number of connections is 1";
constexpr auto F = FindingSubject::VirtualFolder;
constexpr auto L = FindingSubject::LiveBroadcast;
constexpr auto S = FindingSubject::Server;
using R = ResourceRecord;

TEST(ConfigCheck, FindsEachKindOfProblemWithTheDialogsOwnMessage) {
    struct Case {
        const char* what;
        std::vector<ResourceRecord> records;
        std::vector<ConfigFinding> expected;
        std::function<void(ConfigFileContents&)> adjust = [](ConfigFileContents&) {};
    };
    const Case cases[] = {
        {"clean, every kind of source; a group not delivered is neither checked nor a clash",
         {Folder(u"Clips"), With(Multicast(Folder(u"Loop"), u"225.0.0.1:5000"), &R::unicast, false),
          With(Live(u"studio", u"255@10.0.0.1"), &R::multicastGroup, u"225.0.0.1:5000"),
          With(Live(u"reporter", u"0@3ce8d030d416d4d7d8c96b6ee19c8da70c15ee4f"), &R::playTimeLimit,
               30),
          Live(u"relay", u"mms://encoder/live"),
          Live(u"partner", u"vtr://https:10.0.0.6:443/sports/hd")},
         {}},
        {"empty names and forbidden characters, with each kind's message",
         {Folder(u""), Live(u"", u"1@h"), Folder(u"a/b"), Live(u"a*b", u"1@h")},
         {{F, u"", u"No name is provided"},
          {L, u"", u"No name for new live broadcast is specified"},
          {F, u"a/b", u"Virtual folder name can not contain characters \"*/\\\""},
          {L, u"a*b", u"Live broadcast name can not contain characters \"*/\\\""}}},
        {"duplicates without regard to case: the later ones",
         {Folder(u"News"), Live(u"NEWS", u"1@h"), Folder(u"news")},
         {{L, u"NEWS", Exists.data()}, {F, u"news", Exists.data()}}},
        {"neither unicast nor multicast",
         {With(Folder(u"f"), &R::unicast, false)},
         {{F, u"f", u"Either Unicast or Multicast or both should be checked"}}},
        {"multicast groups: empty, no port, clashing with an earlier resource's",
         {Multicast(Folder(u"a"), u""), Multicast(Folder(u"b"), u"230.1.1.1"),
          Multicast(Folder(u"f"), u"230.1.1.1:6000"),
          Multicast(Live(u"g", u"1@h"), u"230.001.001.001:7000"),
          Multicast(Folder(u"h"), u"1.2.3.4:5000")},
         {{F, u"a", u"Empty multicast group"},
          {F, u"b", u"No port is specified in the multicast group"},
          {L, u"g", u"Duplicate Multicast group address" + Ranges},
          {F, u"h", u"Multicast Group address is out of range" + Ranges}}},
        {"static sources without '@' or with an ID outside 1-255; links that are not mms://",
         {Live(u"a", u"10.0.0.1"), Live(u"b", u"256@10.0.0.1"), Live(u"c", u"MMS://enc/live")},
         {{L, u"a", NoAddress.data()},
          {L, u"b", u"No live source ID is selected. Choose an ID from 1 to 255"},
          {L, u"c",
           u"Link to Microsoft Media Services or Media Encoder must begin with \"mms://\"."}}},
        {"delegate links that do not parse, or would be saved back otherwise",
         {Live(u"a", u"vtr://tcp:10.0.0.5"), Live(u"d", u"vtr://ftp:h:80/x"),
          Live(u"e", u"vtr://tcp:h:0080/x")},
         {{L, u"a", u"No Remote Alias is specified"},
          {L, u"d", BadRemoteLinkMessage.data()},
          {L, u"e", BadRemoteLinkMessage.data()}}},
        {"dynamic broadcasts without a password or with a damaged one",
         {Live(u"a", u"0@"), Live(u"b", u"0"),
          Live(u"c", u"0@3CE8D030D416D4D7D8C96B6EE19C8DA70C15EE4E")},
         {{L, u"a", NoPassword.data()},
          {L, u"b", NoPassword.data()},
          {L, u"c", BadPasswordHashMessage.data()}}},
        {"limits on with nothing the dialogs accept; 0x80000000 shows as a negative number",
         {With(Live(u"a", u"1@h"), &R::playTimeLimit, 0),
          With(With(With(Folder(u"f"), &R::maxConnections, 0x80000000u), &R::maxConnectionsPerUser,
                    0xFFFFFFFFu),
               &R::maxThroughputKBps, 0x80000000u)},
         {{L, u"a", u"Time limit must be at least 1 minute"},
          {F, u"f", NoConnections.data()},
          {F, u"f", u"Minimal number of connections per user is 1"},
          {F, u"f", NoThroughput.data()}}},
        {"no user group under internal authentication, also inherited; other bits are no group",
         {With(With(Folder(u"a"), &R::authMethod, AuthMethod::Internal), &R::userGroups, 0),
          With(Folder(u"b"), &R::userGroups, 8),
          With(With(Live(u"c", u"1@h"), &R::authMethod, AuthMethod::Anonymous), &R::userGroups, 0)},
         {{F, u"a", NoGroup.data()}, {F, u"b", NoGroup.data()}},
         [](ConfigFileContents& c) { c.defaultAuthMethod = AuthMethod::Internal; }},
        {"folders without a directory",
         {Folder(u"a", u""), Folder(u"b", u"/gone"), Folder(u"c", u"/media/\u00e9t\u00e9")},
         {{F, u"a", u"No physical path is chosen"},
          {F, u"b", u"Physical path does not exist: /gone"}}},
        {"server settings the properties dialog refuses",
         {},
         {{S, u"", u"No port for client connections is specified"},
          {S, u"", NoConnections.data()},
          {S, u"", u"Minimal number of connections per user is 1"},
          {S, u"", NoConnections.data()},
          {S, u"", NoThroughput.data()}},
         [](ConfigFileContents& c) {
             ServerConfig& s = c.server;
             s.playerPort = u"";
             s.limitConnections = s.limitConnectionsPerUser = s.limitAnonymousConnections =
                 s.limitThroughput = true;
             s.maxConnections = s.maxConnectionsPerUser = s.maxAnonymousConnections =
                 s.maxThroughputKBps = 0;
         }},
        {"the live source port, and limits that are off keep any number",
         {},
         {{S, u"", u"No port for dynamic live sources is specified"}},
         [](ConfigFileContents& c) {
             c.server.liveSourcePort = u"";
             c.server.maxConnections = c.server.maxThroughputKBps = 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigFileContents contents;
        contents.records = c.records;
        c.adjust(contents);
        FakeDirectories directories;
        EXPECT_EQ(CheckConfiguration(contents, directories), c.expected);
    }
}

}  // namespace
