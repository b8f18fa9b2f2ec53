#include "sim/demo_config.h"

#include <map>
#include <regex>
#include <set>
#include <string>

#include <QString>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/multicast_table.h"
#include "config/text_codec.h"

namespace vantor::sim {
namespace {

// The live broadcast type its source stands for, the way the tool tells them apart.
std::string LiveType(const std::string& source) {
    static const std::pair<std::regex, const char*> types[] = {
        {std::regex(R"(([1-9]|[1-9][0-9]|1[0-9][0-9]|2[0-4][0-9]|25[0-5])@[0-9]+(\.[0-9]+){3})"),
         "static"},
        {std::regex(R"(0@[0-9a-f]{40})"), "dynamic"},
        {std::regex(R"(mms://.+)"), "mms"},
        {std::regex(R"(vtr://(tcp|http|https):[^:/]+:-?[0-9]+/.+)"), "delegate"}};
    for (const auto& [pattern, type] : types) {
        if (std::regex_match(source, pattern)) {
            return type;
        }
    }
    return "bad: " + source;
}

TEST(DemoConfig, ReadsBackWithEveryKindOfResourceAndFreeMulticastGroups) {
    // A trailing slash, as a shell variable may carry, must not end up in the folders.
    const ConfigFileContents contents = ReadConfigFile(DemoConfigFile("/srv/demo/media/"));
    EXPECT_EQ(contents.version, ConfigWriteVersion);
    EXPECT_EQ(contents.defaultAuthMethod, AuthMethod::Anonymous);
    EXPECT_EQ(contents.records, DemoResources("/srv/demo/media/"));  // everything set survives

    // How many resources show each feature; each must be there.
    std::map<std::string, int> shown;
    std::set<QString> names;
    MulticastTable table;  // a clash or a bad group would leave a resource unregistered
    for (const ResourceRecord& record : contents.records) {
        const std::string name = Utf16ToUtf8(record.name), source = Utf16ToUtf8(record.source);
        EXPECT_TRUE(names.insert(QString::fromStdU16String(record.name).toLower()).second) << name;
        EXPECT_EQ(name.find_first_of("/\\*"), std::string::npos) << name;
        EXPECT_TRUE(!record.description.empty() && (record.unicast || record.multicast)) << name;
        std::u16string group = record.multicastGroup, message;
        EXPECT_TRUE(group.empty() || table.Register(group, message)) << Utf16ToUtf8(message);
        EXPECT_EQ(group, record.multicastGroup);
        shown["multicast"] += !group.empty();
        shown["disabled"] += !record.enabled;
        shown["limited"] +=
            record.maxConnections || record.maxConnectionsPerUser || record.maxThroughputKBps;
        if (record.kind == ResourceKind::VirtualFolder) {
            ++shown["folder"];
            EXPECT_TRUE(source == "/srv/demo/media" || source == "/srv/demo/media/extras")
                << source;
            EXPECT_EQ(record.playTimeLimit, -1) << name;
            shown["internal with groups"] +=
                record.authMethod == AuthMethod::Internal && record.userGroups;
            shown["multicast playlist"] += record.multicast && record.playlist && !group.empty();
        } else {
            ASSERT_EQ(record.kind, ResourceKind::LiveBroadcast) << name;
            ++shown[LiveType(source)];
        }
    }
    // clang-format off
    EXPECT_EQ(shown, (std::map<std::string, int>{
        {"folder", 5}, {"disabled", 1}, {"multicast", 3}, {"limited", 3}, {"internal with groups", 1},
        {"multicast playlist", 1}, {"static", 1}, {"dynamic", 1}, {"mms", 1}, {"delegate", 2}}));
    // clang-format on
}

}  // namespace
}  // namespace vantor::sim
