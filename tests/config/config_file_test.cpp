#include "config/config_file.h"

#include <span>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_bytes.h"

namespace vantor {
namespace {

using test::ConfigBytes;

std::vector<std::uint8_t> Write(const ServerConfig& server, AuthMethod authMethod,
                                const std::vector<ResourceRecord>& records) {
    std::vector<const ResourceRecord*> pointers;
    for (const ResourceRecord& record : records) {
        pointers.push_back(&record);
    }
    return WriteConfigFile(server, authMethod, pointers);
}

// What ConfigBytes::Header(version) holds; the fields the version lacks keep their defaults.
ServerConfig HeaderConfig(std::uint32_t version) {
    ServerConfig server;
    server.playerPort = u"6001";
    server.liveSourcePort = u"6002";
    server.limitConnections = true;
    server.maxConnections = 4464;
    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 5;
    server.maxAnonymousConnections = 0;
    server.limitThroughput = true;
    server.maxThroughputKBps = 0x12345678;
    server.loggingMode = 3;
    if (version >= 55) {
        server.archivalPassword = u"ab12";
    }
    if (version >= 60) {
        server.networkInterface = u"eth0 \u00e9";
        server.archivalServerAddress = u"10.0.0.9";
        server.archivalServerPort = u"8080";
    }
    return server;
}

// The defaults with these two ports, as when the header ends after them or without them.
ServerConfig PortsOnly(std::u16string playerPort, std::u16string liveSourcePort) {
    ServerConfig server;
    server.playerPort = std::move(playerPort);
    server.liveSourcePort = std::move(liveSourcePort);
    return server;
}

// What ConfigBytes::Record(version, kind, name, group, flags) holds.
ResourceRecord RecordOf(std::uint32_t version, ResourceKind kind, std::u16string name,
                        std::u16string group = u"", std::uint8_t flags = 0x01) {
    const bool folder = kind == ResourceKind::VirtualFolder;
    return {.kind = kind,
            .enabled = (flags & 0x08) == 0,
            .authMethod = AuthMethod::Internal,
            .userGroups = 6,
            .name = name,
            .source = u"/media/music",
            .description = u"about " + name,
            .imageIndex = folder ? VirtualFolderImage : LiveBroadcastImage,
            .unicast = (flags & 0x01) != 0,
            .multicast = !group.empty(),
            .multicastGroup = group,
            .playlist = folder,
            .playlistOrder = 1,
            .playTimeLimit = folder ? -1 : 90,
            .allowDelegates = (flags & 0x02) != 0,
            .allowMmsPlayers = (flags & 0x04) != 0,
            .metaTitle = version >= 55 ? u"Title" : u"",
            .metaAuthor = version >= 55 ? u"Author" : u"",
            .metaCopyright = version >= 55 ? u"(c)" : u"",
            .maxConnections = version >= 60 ? 11u : 0u,
            .maxConnectionsPerUser = version >= 60 ? 2u : 0u,
            .maxThroughputKBps = version >= 60 ? 900u : 0u,
            .notifyArchival = version >= 60};
}

// A disabled folder with MMS players allowed, and a multicast broadcast open to delegates.
std::vector<ResourceRecord> SampleRecords() {
    return {RecordOf(60, ResourceKind::VirtualFolder, u"Music", u"", 0x0D),
            RecordOf(60, ResourceKind::LiveBroadcast, u"Live", u"225.0.0.0:5000", 0x02)};
}

TEST(ConfigFile, WriterLaysOutEveryFieldByteForByte) {
    ConfigBytes expected;
    expected.Header(60)
        .Record(60, 1, u"Music", u"", 0x0D)
        .Record(60, 2, u"Live", u"225.0.0.0:5000", 0x02);
    ServerConfig server = HeaderConfig(60);
    server.maxConnections = 70000;       // stored as its low 16 bits
    server.maxAnonymousConnections = 9;  // stored as 0: the limit is off
    const std::vector<ResourceRecord> records = SampleRecords();
    EXPECT_EQ(Write(server, AuthMethod::Internal, records), expected.Bytes());

    // From a catalogue the folders come first, whatever the order of insertion.
    Catalogue catalogue;
    catalogue.InsertResourceItem(records[1]);
    catalogue.InsertResourceItem(records[0]);
    EXPECT_EQ(WriteConfigFile(server, AuthMethod::Internal, catalogue), expected.Bytes());

    // An empty catalogue is the header alone.
    ConfigBytes header;
    header.Header(60);
    EXPECT_EQ(WriteConfigFile(server, AuthMethod::Internal, Catalogue()), header.Bytes());
}

TEST(ConfigFile, RoundTripKeepsWhatIsStoredAndNarrowsTheRest) {
    ServerConfig server = HeaderConfig(60);
    server.maxConnections = 70000;
    server.maxThroughputKBps = 0xFFFFFFFF;
    server.loggingMode = 0x10003;    // the high bits must not leak into the anonymous limit
    server.loggingProgId = u"None";  // only the exact word stands for "empty"
    server.networkInterface = u"\U0001F3B5 \u0416";
    std::vector<ResourceRecord> records = SampleRecords();
    records[0].authMethod = AuthMethod::None;
    records[0].userGroups = 0x107;
    records[0].playlistOrder = 258;
    records[0].description = std::u16string(1000, u'x');
    records[1].metaTitle = std::u16string(1, char16_t(0xD800));  // a lone surrogate survives
    records[1].maxConnectionsPerUser = 0xFFFFFFFF;

    const ConfigFileContents read =
        ReadConfigFile(Write(server, AuthMethod::SessionBased, records));
    server.maxConnections = 4464;
    server.loggingMode = 3;
    records[0].authMethod = static_cast<AuthMethod>(0xFF);  // bytes: the low 8 bits
    records[0].userGroups = 7;
    records[0].playlistOrder = 2;
    EXPECT_EQ(read.version, 60u);
    EXPECT_EQ(read.server, server);
    EXPECT_EQ(read.defaultAuthMethod, AuthMethod::SessionBased);
    EXPECT_EQ(read.records, records);

    // The per-user and anonymous limits are on exactly when their stored value is not 0, and
    // an empty logging ProgID comes back empty.
    server.loggingProgId.clear();
    for (auto [limit, value, stored] :
         {std::tuple(false, 5u, 0u), {true, 5u, 5u}, {true, 65536u, 0u}}) {
        server.limitConnectionsPerUser = server.limitAnonymousConnections = limit;
        server.maxConnectionsPerUser = server.maxAnonymousConnections = value;
        const ServerConfig back = ReadConfigFile(Write(server, AuthMethod::Anonymous, {})).server;
        EXPECT_EQ(back.limitConnectionsPerUser, stored != 0) << value;
        EXPECT_EQ(back.maxConnectionsPerUser, stored) << value;
        EXPECT_EQ(back.limitAnonymousConnections, stored != 0) << value;
        EXPECT_EQ(back.maxAnonymousConnections, stored) << value;
        EXPECT_EQ(back.loggingProgId, u"");
    }
}

TEST(ConfigFile, EachVersionReadsItsFieldsAndKeepsNewerOnesAtDefaults) {
    for (std::uint32_t version : {50u, 55u, 60u}) {
        SCOPED_TRACE(version);
        ConfigBytes file;
        file.Header(version).Record(version, 1, u"Folder").Record(version, 2, u"Cast", u"g", 0x0E);
        const ConfigFileContents read = ReadConfigFile(file.Bytes());
        EXPECT_EQ(read.version, version);
        EXPECT_EQ(read.server, HeaderConfig(version));
        EXPECT_EQ(read.defaultAuthMethod, AuthMethod::Internal);
        EXPECT_EQ(read.records,
                  (std::vector<ResourceRecord>{
                      RecordOf(version, ResourceKind::VirtualFolder, u"Folder"),
                      RecordOf(version, ResourceKind::LiveBroadcast, u"Cast", u"g", 0x0E)}));

        // Saved again it becomes a version-60 file with the same content.
        const ConfigFileContents again =
            ReadConfigFile(Write(read.server, read.defaultAuthMethod, read.records));
        EXPECT_EQ(again.version, 60u);
        EXPECT_EQ(again.server, read.server);
        EXPECT_EQ(again.records, read.records);
    }
}

TEST(ConfigFile, EndOfFileInsideTheHeader) {
    // Nothing at all, or too little for a version word: version 50 from the first byte, and
    // the two port strings cannot be read, so they come out empty.
    for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>{}, {60, 0, 0}}) {
        const ConfigFileContents read = ReadConfigFile(bytes);
        EXPECT_EQ(read.version, 50u);
        EXPECT_EQ(read.server, PortsOnly(u"", u""));
        EXPECT_EQ(read.defaultAuthMethod, AuthMethod::Anonymous);
        EXPECT_TRUE(read.records.empty());
    }

    // Every prefix of a complete header reads without a record and without a fault.
    ConfigBytes full;
    full.Header(60);
    for (std::size_t size = 0; size <= full.Size(); ++size) {
        EXPECT_TRUE(ReadConfigFile(std::span(full.Bytes()).first(size)).records.empty()) << size;
    }
}

TEST(ConfigFile, StringCountBeyondTheFileStopsReading) {
    // In the header: that string is empty and every field after it keeps its default.
    ConfigBytes header;
    header.U32(60).Str(u"6001").U32(0xFFFFFFFF).U8(1).U32(7).Record(60, 1, u"Hidden");
    ConfigFileContents read = ReadConfigFile(header.Bytes());
    EXPECT_EQ(read.server, PortsOnly(u"6001", u""));
    EXPECT_TRUE(read.records.empty());

    // In a record: the records before it stay, the damaged one and everything after it go.
    ConfigBytes records;
    records.Header(60).Record(60, 1, u"First");
    records.U8(1).U8(1).U8(1).U8(1).U8(0).U8(0).U8(0).U32(0).U32(0x7FFFFFFF).U8(0x41).U8(0);
    records.Record(60, 2, u"After");
    read = ReadConfigFile(records.Bytes());
    EXPECT_EQ(read.records,
              std::vector<ResourceRecord>{RecordOf(60, ResourceKind::VirtualFolder, u"First")});
}

TEST(ConfigFile, RecordCutShortIsDroppedWithTheRecordsBeforeKept) {
    for (std::uint32_t version : {50u, 55u, 60u}) {
        ConfigBytes file;
        file.Header(version);
        std::vector<std::size_t> ends = {file.Size()};
        for (std::u16string name : {u"One", u"Two", u"Three"}) {
            file.Record(version, name == u"Two" ? 2 : 1, name, u"225.0.0.1:5000");
            ends.push_back(file.Size());
        }
        const ConfigFileContents whole = ReadConfigFile(file.Bytes());
        ASSERT_EQ(whole.records.size(), 3u);

        // Every cut, at an odd or even byte, inside a number or a string.
        for (std::size_t size = ends[0]; size <= file.Size(); ++size) {
            const ConfigFileContents read = ReadConfigFile(std::span(file.Bytes()).first(size));
            std::size_t complete = 0;
            while (complete < 3 && ends[complete + 1] <= size) {
                ++complete;
            }
            ASSERT_EQ(read.records.size(), complete) << version << " " << size;
            for (std::size_t i = 0; i < complete; ++i) {
                EXPECT_EQ(read.records[i], whole.records[i]);
            }
            EXPECT_EQ(read.server, whole.server);
        }
    }
}

TEST(ConfigFile, UnknownKindsAreSkippedAndLaterRecordsRead) {
    ConfigBytes file;
    file.Header(60).Record(60, 1, u"Folder");
    for (std::uint8_t kind : {0, 3, 5, 200}) {
        file.Record(60, kind, u"Odd");
    }
    file.Record(60, 2, u"Cast");
    EXPECT_EQ(ReadConfigFile(file.Bytes()).records,
              (std::vector<ResourceRecord>{RecordOf(60, ResourceKind::VirtualFolder, u"Folder"),
                                           RecordOf(60, ResourceKind::LiveBroadcast, u"Cast")}));
}

}  // namespace
}  // namespace vantor
