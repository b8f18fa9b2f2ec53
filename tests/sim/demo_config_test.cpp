#include "sim/demo_config.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/text_codec.h"
#include "editors/broadcast_form.h"

namespace vantor::sim {
namespace {

// That each resource is one the dialogs accept, `vantorctl check` shows; this shows that the
// demo holds every kind of resource and feature, and that all of it survives the file.
TEST(DemoConfig, ReadsBackWithEveryKindOfResourceAndFeature) {
    // A trailing slash, as a shell variable may carry, must not end up in the folders.
    const ConfigFileContents contents = ReadConfigFile(DemoConfigFile("/srv/demo/media/"));
    EXPECT_EQ(contents.version, ConfigWriteVersion);
    EXPECT_EQ(contents.defaultAuthMethod, AuthMethod::Anonymous);
    EXPECT_EQ(contents.records, DemoResources("/srv/demo/media/"));

    std::map<std::string, int> shown;
    for (const ResourceRecord& record : contents.records) {
        shown["multicast"] += !record.multicastGroup.empty();
        shown["disabled"] += !record.enabled;
        shown["limited"] +=
            record.maxConnections || record.maxConnectionsPerUser || record.maxThroughputKBps;
        if (record.kind == ResourceKind::VirtualFolder) {
            ++shown[Utf16ToUtf8(record.source)];
            shown["internal with groups"] +=
                record.authMethod == AuthMethod::Internal && record.userGroups;
            shown["multicast playlist"] += record.playlist && !record.multicastGroup.empty();
        } else {
            const char* types[] = {"static", "dynamic", "mms", "delegate"};
            ++shown[types[static_cast<int>(LiveTypeOfSource(record.source))]];
        }
    }
    // clang-format off
    EXPECT_EQ(shown, (std::map<std::string, int>{
        {"/srv/demo/media", 3}, {"/srv/demo/media/extras", 2}, {"disabled", 1}, {"multicast", 3}, {"limited", 3},
        {"internal with groups", 1}, {"multicast playlist", 1}, {"static", 1}, {"dynamic", 1},
        {"mms", 1}, {"delegate", 2}}));
    // clang-format on
}

}  // namespace
}  // namespace vantor::sim
