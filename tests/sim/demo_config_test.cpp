#include "sim/demo_config.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/text_codec.h"
#include "editors/multicast_table.h"

namespace vantor::sim {
namespace {

// The live broadcast type its source stands for, the way the tool tells them apart.
std::string LiveType(const std::string& source) {
    static const std::regex staticSource(R"(([0-9]+)@[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+)");
    static const std::regex dynamicSource(R"(0@[0-9a-f]{40})");
    static const std::regex delegateSource(R"(vtr://(tcp|http|https):[^:/]+:-?[0-9]+/.+)");
    std::smatch match;
    if (source.starts_with("vtr://")) {
        return std::regex_match(source, delegateSource) ? "delegate" : "bad delegate";
    }
    if (source.starts_with("mms://")) {
        return "mms";
    }
    if (source.starts_with("0")) {
        return std::regex_match(source, dynamicSource) ? "dynamic" : "bad dynamic";
    }
    if (std::regex_match(source, match, staticSource)) {
        const int id = std::stoi(match[1]);
        return id >= 1 && id <= 255 ? "static" : "bad static";
    }
    return "bad static";
}

TEST(DemoConfig, ReadsBackWithEveryKindOfResource) {
    // A trailing slash, as a shell variable may carry, must not end up in the folders.
    const std::vector<std::uint8_t> bytes = DemoConfigFile("/srv/demo/media/");
    const ConfigFileContents contents = ReadConfigFile(bytes);
    EXPECT_EQ(contents.version, ConfigWriteVersion);
    EXPECT_EQ(contents.defaultAuthMethod, AuthMethod::Anonymous);
    // Everything set survives the writer and the reader.
    EXPECT_EQ(contents.records, DemoResources("/srv/demo/media/"));

    int folders = 0;
    int disabled = 0;
    int internalWithGroups = 0;
    int multicastPlaylists = 0;
    int limited = 0;
    std::map<std::string, int> liveTypes;
    std::set<std::string> names;
    for (const ResourceRecord& record : contents.records) {
        const std::string name = Utf16ToUtf8(record.name);
        const std::string source = Utf16ToUtf8(record.source);
        std::string folded = name;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(names.insert(folded).second) << "duplicate name " << name;
        EXPECT_EQ(name.find_first_of("/\\*"), std::string::npos) << name;
        EXPECT_FALSE(record.description.empty()) << name;
        EXPECT_TRUE(record.unicast || record.multicast) << name;

        disabled += record.enabled ? 0 : 1;
        limited += (record.maxConnections != 0 || record.maxConnectionsPerUser != 0 ||
                    record.maxThroughputKBps != 0)
                       ? 1
                       : 0;
        if (record.kind == ResourceKind::VirtualFolder) {
            ++folders;
            EXPECT_TRUE(source == "/srv/demo/media" || source == "/srv/demo/media/extras")
                << name << ": " << source;
            internalWithGroups +=
                record.authMethod == AuthMethod::Internal && record.userGroups != 0 ? 1 : 0;
            multicastPlaylists +=
                record.multicast && record.playlist && !record.multicastGroup.empty() ? 1 : 0;
            EXPECT_EQ(record.playTimeLimit, -1) << name;
        } else {
            ASSERT_EQ(record.kind, ResourceKind::LiveBroadcast) << name;
            ++liveTypes[LiveType(source)];
        }
    }
    EXPECT_EQ(folders, 5);
    EXPECT_EQ(disabled, 1);
    EXPECT_GE(internalWithGroups, 1);
    EXPECT_GE(multicastPlaylists, 1);
    EXPECT_GE(limited, 1);
    EXPECT_EQ(liveTypes, (std::map<std::string, int>{
                             {"static", 1}, {"dynamic", 1}, {"mms", 1}, {"delegate", 2}}));
}

TEST(DemoConfig, MulticastGroupsAllRegisterAsTheToolLoadsThem) {
    // A clash or an out-of-range group would leave a resource unregistered and its editor
    // complaining in the demo.
    MulticastTable table;
    int registered = 0;
    for (const ResourceRecord& record : DemoResources("/m")) {
        if (record.multicastGroup.empty()) {
            continue;
        }
        std::u16string group = record.multicastGroup;
        std::u16string message;
        EXPECT_TRUE(table.Register(group, message)) << Utf16ToUtf8(message);
        EXPECT_EQ(group, record.multicastGroup);
        ++registered;
    }
    EXPECT_GE(registered, 2);
}

}  // namespace
}  // namespace vantor::sim
