#include "config/config_file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_bytes.h"

namespace vantor {
namespace {

using test::ConfigBytes;

ConfigFileContents Read(const ConfigBytes& bytes) {
    return ReadConfigFile(bytes.Bytes());
}

std::vector<std::uint8_t> Write(const ServerConfig& server, AuthMethod authMethod,
                                const std::vector<ResourceRecord>& records) {
    std::vector<const ResourceRecord*> pointers;
    for (const ResourceRecord& record : records) {
        pointers.push_back(&record);
    }
    return WriteConfigFile(server, authMethod, pointers);
}

ResourceRecord DisabledFolder() {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.enabled = false;
    record.authMethod = AuthMethod::InheritDefault;
    record.userGroups = AllUsers;
    record.name = u"Music";
    record.source = u"/srv/music";
    record.unicast = true;
    record.multicast = true;
    record.multicastGroup = u"225.0.0.0:5000";
    record.playlist = true;
    record.playlistOrder = 1;
    record.playTimeLimit = -1;
    record.allowMmsPlayers = true;
    record.maxConnections = 1;
    record.maxConnectionsPerUser = 2;
    record.maxThroughputKBps = 3;
    return record;
}

ResourceRecord DynamicBroadcast() {
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.authMethod = AuthMethod::SessionBased;
    record.name = u"Live";
    record.source = u"0@abc";
    record.description = u"d";
    record.playTimeLimit = 90;
    record.allowDelegates = true;
    record.metaTitle = u"T";
    record.metaAuthor = u"A";
    record.metaCopyright = u"C";
    record.maxConnectionsPerUser = 70000;
    record.notifyArchival = true;
    return record;
}

ServerConfig SampleServer() {
    ServerConfig server;
    server.playerPort = u"7001";
    server.liveSourcePort = u"7002";
    server.limitConnections = true;
    server.maxConnections = 70000;
    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 5;
    server.limitAnonymousConnections = false;
    server.maxAnonymousConnections = 9;
    server.maxThroughputKBps = 0x12345678;
    server.loggingMode = 3;
    server.archivalPassword = u"ab12";
    server.networkInterface = u"eth0 \u00e9";
    server.archivalServerAddress = u"10.0.0.9";
    server.archivalServerPort = u"8080";
    return server;
}

ConfigBytes SampleServerBytes() {
    ConfigBytes bytes;
    bytes.U32(60)
        .Str(u"7001")
        .Str(u"7002")
        .U8(1)
        .U32(4464 | (5u << 16))  // 70000 keeps its low 16 bits
        .U8(0)
        .U32(0x12345678)
        .U32(3)  // anonymous limit off: high half 0
        .Str(u"none")
        .U32(3)
        .Str(u"ab12")
        .Str(u"eth0 \u00e9")
        .Str(u"10.0.0.9")
        .Str(u"8080");
    return bytes;
}

TEST(ConfigFile, WriterLaysOutEveryFieldByteForByte) {
    ConfigBytes expected = SampleServerBytes();
    expected.U8(1).U8(1).U8(7).U8(0x0D).U8(1).U8(1).U8(1).U32(0xFFFFFFFF);
    expected.Str(u"Music").Str(u"/srv/music").Str(u"").Str(u"225.0.0.0:5000");
    expected.Str(u"").Str(u"").Str(u"").U32(1).U32(2).U32(3).U8(0);
    expected.U8(2).U8(4).U8(0).U8(0x02).U8(0).U8(0).U8(0).U32(90);
    expected.Str(u"Live").Str(u"0@abc").Str(u"d").Str(u"");
    expected.Str(u"T").Str(u"A").Str(u"C").U32(0).U32(70000).U32(0).U8(1);

    EXPECT_EQ(Write(SampleServer(), AuthMethod::Internal, {DisabledFolder(), DynamicBroadcast()}),
              expected.Bytes());

    // From a catalogue the folders come first, whatever the order of insertion.
    Catalogue catalogue;
    catalogue.InsertResourceItem(DynamicBroadcast());
    catalogue.InsertResourceItem(DisabledFolder());
    EXPECT_EQ(WriteConfigFile(SampleServer(), AuthMethod::Internal, catalogue), expected.Bytes());

    // An empty catalogue is the header alone.
    Catalogue empty;
    EXPECT_EQ(WriteConfigFile(SampleServer(), AuthMethod::Internal, empty),
              SampleServerBytes().Bytes());
    ConfigFileContents headerOnly = ReadConfigFile(SampleServerBytes().Bytes());
    EXPECT_TRUE(headerOnly.records.empty());
    EXPECT_EQ(headerOnly.server.archivalServerPort, u"8080");
}

TEST(ConfigFile, RoundTripKeepsWhatIsStored) {
    ServerConfig server = SampleServer();
    server.maxConnections = 65535;
    server.limitAnonymousConnections = true;
    server.maxAnonymousConnections = 12;
    server.limitThroughput = true;
    server.maxThroughputKBps = 0xFFFFFFFF;
    server.loggingProgId = u"None";  // only the exact word stands for "empty"
    server.networkInterface = u"\U0001F3B5 \u0416";

    ResourceRecord folder = DisabledFolder();
    folder.authMethod = static_cast<AuthMethod>(200);
    folder.description = std::u16string(1000, u'x');
    ResourceRecord broadcast = DynamicBroadcast();
    broadcast.metaTitle = std::u16string(1, char16_t(0xD800));  // a lone surrogate survives
    broadcast.maxConnectionsPerUser = 0xFFFFFFFF;

    ConfigFileContents read =
        ReadConfigFile(Write(server, AuthMethod::SessionBased, {folder, broadcast}));
    EXPECT_EQ(read.version, 60u);
    EXPECT_EQ(read.server, server);
    EXPECT_EQ(read.defaultAuthMethod, AuthMethod::SessionBased);
    folder.imageIndex = VirtualFolderImage;
    broadcast.imageIndex = LiveBroadcastImage;
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0], folder);
    EXPECT_EQ(read.records[1], broadcast);
}

TEST(ConfigFile, NarrowAndDerivedFieldsReadBackAsStored) {
    ServerConfig server;
    server.maxConnections = 70000;
    server.limitConnectionsPerUser = false;
    server.maxConnectionsPerUser = 5;
    server.limitAnonymousConnections = true;
    server.maxAnonymousConnections = 65536 + 7;
    server.loggingMode = 0x10003;
    ResourceRecord record = DisabledFolder();
    record.authMethod = AuthMethod::None;
    record.userGroups = 0x107;
    record.playlistOrder = 258;

    ConfigFileContents read = ReadConfigFile(Write(server, AuthMethod::Anonymous, {record}));
    EXPECT_EQ(read.server.maxConnections, 4464u);
    EXPECT_FALSE(read.server.limitConnectionsPerUser);
    EXPECT_EQ(read.server.maxConnectionsPerUser, 0u);
    EXPECT_TRUE(read.server.limitAnonymousConnections);
    EXPECT_EQ(read.server.maxAnonymousConnections, 7u);
    EXPECT_EQ(read.server.loggingMode, 3u);
    EXPECT_EQ(read.server.loggingProgId, u"");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].authMethod, static_cast<AuthMethod>(0xFF));
    EXPECT_EQ(read.records[0].userGroups, 7u);
    EXPECT_EQ(read.records[0].playlistOrder, 2u);

    // A limit switched on with a value that stores as 0 reads back as switched off.
    server.limitConnectionsPerUser = true;
    server.maxConnectionsPerUser = 65536;
    read = ReadConfigFile(Write(server, AuthMethod::Anonymous, {}));
    EXPECT_FALSE(read.server.limitConnectionsPerUser);
    server.maxConnectionsPerUser = 5;
    read = ReadConfigFile(Write(server, AuthMethod::Anonymous, {}));
    EXPECT_TRUE(read.server.limitConnectionsPerUser);
    EXPECT_EQ(read.server.maxConnectionsPerUser, 5u);
}

TEST(ConfigFile, OlderVersionsKeepNewerFieldsAtDefaults) {
    ConfigBytes v50;
    v50.BaseHeader().BaseRecord(1, u"Folder").BaseRecord(2, u"Cast");
    ConfigFileContents read = Read(v50);
    EXPECT_EQ(read.version, 50u);
    ServerConfig expected;
    expected.playerPort = u"6001";
    expected.liveSourcePort = u"6002";
    expected.limitConnections = true;
    expected.maxConnections = 300;
    expected.limitConnectionsPerUser = true;
    expected.maxConnectionsPerUser = 4;
    expected.limitThroughput = true;
    expected.maxThroughputKBps = 2500;
    expected.loggingMode = 1;
    expected.limitAnonymousConnections = true;
    expected.maxAnonymousConnections = 12;
    expected.loggingProgId = u"Custom.Log";
    EXPECT_EQ(read.server, expected);
    EXPECT_EQ(read.defaultAuthMethod, AuthMethod::Internal);

    ResourceRecord folder;
    folder.kind = ResourceKind::VirtualFolder;
    folder.authMethod = AuthMethod::Internal;
    folder.userGroups = 6;
    folder.name = u"Folder";
    folder.source = u"/media/music";
    folder.description = u"about Folder";
    folder.imageIndex = VirtualFolderImage;
    folder.unicast = true;
    folder.playlist = true;
    folder.playlistOrder = 1;
    folder.playTimeLimit = 45;
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0], folder);
    EXPECT_EQ(read.records[1].kind, ResourceKind::LiveBroadcast);
    EXPECT_EQ(read.records[1].imageIndex, LiveBroadcastImage);
    EXPECT_EQ(read.records[1].name, u"Cast");

    // Saved again it becomes a version-60 file with the same content.
    std::vector<const ResourceRecord*> records = {&read.records[0], &read.records[1]};
    std::vector<std::uint8_t> saved = WriteConfigFile(read.server, read.defaultAuthMethod, records);
    ASSERT_GE(saved.size(), 4u);
    EXPECT_EQ(saved[0], 60);
    ConfigFileContents again = ReadConfigFile(saved);
    EXPECT_EQ(again.version, 60u);
    EXPECT_EQ(again.server, read.server);
    EXPECT_EQ(again.records, read.records);

    ConfigBytes v55;
    v55.U32(55).BaseHeader().Str(u"hash").BaseRecord(2, u"Cast").Str(u"T").Str(u"A").Str(u"C");
    read = Read(v55);
    EXPECT_EQ(read.version, 55u);
    EXPECT_EQ(read.server.archivalPassword, u"hash");
    EXPECT_EQ(read.server.networkInterface, u"Any available");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].metaTitle, u"T");
    EXPECT_EQ(read.records[0].metaCopyright, u"C");
    EXPECT_EQ(read.records[0].maxThroughputKBps, 0u);
    EXPECT_FALSE(read.records[0].notifyArchival);

    ConfigBytes v60;
    v60.U32(60).BaseHeader().Str(u"pw").Str(u"eth1").Str(u"1.2.3.4").Str(u"99");
    v60.BaseRecord(1, u"F").NewerRecordFields();
    read = Read(v60);
    EXPECT_EQ(read.server.networkInterface, u"eth1");
    EXPECT_EQ(read.server.archivalServerPort, u"99");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].maxConnections, 11u);
    EXPECT_EQ(read.records[0].maxConnectionsPerUser, 2u);
    EXPECT_EQ(read.records[0].maxThroughputKBps, 900u);
    EXPECT_TRUE(read.records[0].notifyArchival);
}

TEST(ConfigFile, EndOfFileInsideTheHeader) {
    // Nothing at all: the two port strings cannot be read and come out empty.
    ConfigFileContents read = ReadConfigFile({});
    ServerConfig expected;
    expected.playerPort.clear();
    expected.liveSourcePort.clear();
    EXPECT_EQ(read.version, 50u);
    EXPECT_EQ(read.server, expected);
    EXPECT_EQ(read.defaultAuthMethod, AuthMethod::Anonymous);
    EXPECT_TRUE(read.records.empty());

    // Three bytes: not even a version word, still read from the start as version 50.
    read = ReadConfigFile(std::vector<std::uint8_t>{60, 0, 0});
    EXPECT_EQ(read.version, 50u);
    EXPECT_EQ(read.server, expected);

    // Cut inside the throughput word: the numbers after it keep their defaults, the strings
    // after it are empty.
    ConfigBytes cut;
    cut.U32(60).Str(u"1").Str(u"2").U8(1).U32(77).U8(1).U8(0xAA).U8(0xBB);
    read = Read(cut);
    EXPECT_EQ(read.version, 60u);
    EXPECT_EQ(read.server.liveSourcePort, u"2");
    EXPECT_TRUE(read.server.limitThroughput);
    EXPECT_EQ(read.server.maxThroughputKBps, 1000u);
    EXPECT_EQ(read.server.loggingMode, 2u);
    EXPECT_EQ(read.server.maxAnonymousConnections, 10u);
    EXPECT_EQ(read.server.networkInterface, u"");
    EXPECT_EQ(read.defaultAuthMethod, AuthMethod::Anonymous);

    // Cut between fields 8 and 9.
    ConfigBytes beforeProgId;
    beforeProgId.U32(60).Str(u"1").Str(u"2").U8(0).U32(5).U8(0).U32(6).U32(3);
    read = Read(beforeProgId);
    EXPECT_EQ(read.server.loggingMode, 3u);
    EXPECT_EQ(read.server.loggingProgId, u"");
    EXPECT_EQ(read.server.networkInterface, u"");

    // Every prefix of a complete header reads without a record and without a fault.
    ConfigBytes full = SampleServerBytes();
    for (std::size_t size = 0; size <= full.Size(); ++size) {
        std::vector<std::uint8_t> prefix(full.Bytes().begin(), full.Bytes().begin() + size);
        EXPECT_TRUE(ReadConfigFile(prefix).records.empty()) << size;
    }
}

TEST(ConfigFile, StringCountBeyondTheFileStopsReading) {
    // In the header: that string is empty and every field after it keeps its default.
    ConfigBytes header;
    header.U32(60).Str(u"6001").U32(0xFFFFFFFF).U8(1).U32(7);
    header.BaseRecord(1, u"Hidden").NewerRecordFields();
    ConfigFileContents read = Read(header);
    EXPECT_EQ(read.server.playerPort, u"6001");
    EXPECT_EQ(read.server.liveSourcePort, u"");
    EXPECT_FALSE(read.server.limitConnections);
    EXPECT_EQ(read.server.maxConnections, 10u);
    EXPECT_EQ(read.server.networkInterface, u"Any available");
    EXPECT_TRUE(read.records.empty());

    // One code unit more than is left, with an odd byte count left over.
    ConfigBytes oneShort;
    oneShort.U32(55).BaseHeader().U32(2).U8(0x41).U8(0).U8(0x42);
    read = Read(oneShort);
    EXPECT_EQ(read.server.archivalPassword, u"");
    EXPECT_EQ(read.server.loggingProgId, u"Custom.Log");

    // A count that exactly fits is read.
    ConfigBytes fits;
    fits.U32(55).BaseHeader().Str(u"AB");
    EXPECT_EQ(Read(fits).server.archivalPassword, u"AB");

    // In a record: the records before it stay, the damaged one and everything after it go.
    ConfigBytes records;
    records.U32(60).BaseHeader().Str(u"").Str(u"").Str(u"").Str(u"");
    records.BaseRecord(1, u"First").NewerRecordFields();
    records.U8(1).U8(1).U8(1).U8(1).U8(0).U8(0).U8(0).U32(0).U32(0x7FFFFFFF).U8(0x41).U8(0);
    records.BaseRecord(2, u"After").NewerRecordFields();
    read = Read(records);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].name, u"First");
}

TEST(ConfigFile, RecordCutShortIsDroppedWithTheRecordsBeforeKept) {
    for (std::uint32_t version : {50u, 60u}) {
        ConfigBytes file;
        if (version == 60) {
            file.U32(60).BaseHeader().Str(u"pw").Str(u"eth").Str(u"").Str(u"");
        } else {
            file.BaseHeader();
        }
        std::vector<std::size_t> ends = {file.Size()};
        for (std::u16string name : {u"One", u"Two", u"Three"}) {
            file.BaseRecord(name == u"Two" ? 2 : 1, name, u"225.0.0.1:5000");
            if (version == 60) {
                file.NewerRecordFields();
            }
            ends.push_back(file.Size());
        }
        const ConfigFileContents whole = Read(file);
        ASSERT_EQ(whole.records.size(), 3u);

        for (std::size_t size = ends[0]; size <= file.Size(); ++size) {
            std::vector<std::uint8_t> prefix(file.Bytes().begin(), file.Bytes().begin() + size);
            const ConfigFileContents read = ReadConfigFile(prefix);
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
    file.U32(60).BaseHeader().Str(u"").Str(u"").Str(u"").Str(u"");
    file.BaseRecord(1, u"Folder").NewerRecordFields();
    for (std::uint8_t kind : {0, 3, 5, 200}) {
        file.BaseRecord(kind, u"Odd").NewerRecordFields();
    }
    file.BaseRecord(2, u"Cast").NewerRecordFields();
    ConfigFileContents read = Read(file);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].name, u"Folder");
    EXPECT_EQ(read.records[1].name, u"Cast");
    EXPECT_EQ(read.records[1].kind, ResourceKind::LiveBroadcast);
}

TEST(ConfigFile, FlagBitsAndBooleanBytes) {
    ConfigBytes file;
    file.U32(60).BaseHeader().Str(u"").Str(u"").Str(u"").Str(u"");
    // Every bit set except "disabled", non-1 booleans, a signed time limit.
    file.U8(1).U8(0xFE).U8(0xFF).U8(0xF7).U8(2).U8(0x80).U8(7).U32(0xFFFFFFFF);
    file.Str(u"A").Str(u"").Str(u"").Str(u"").Str(u"").Str(u"").Str(u"");
    file.U32(0).U32(0).U32(0).U8(9);
    // Only "disabled" set.
    file.U8(2).U8(2).U8(0).U8(0x08).U8(0).U8(0).U8(0).U32(5);
    file.Str(u"B").Str(u"").Str(u"").Str(u"").Str(u"").Str(u"").Str(u"");
    file.U32(0).U32(0).U32(0).U8(0);
    ConfigFileContents read = Read(file);
    ASSERT_EQ(read.records.size(), 2u);
    const ResourceRecord& a = read.records[0];
    EXPECT_TRUE(a.enabled);
    EXPECT_TRUE(a.unicast);
    EXPECT_TRUE(a.allowDelegates);
    EXPECT_TRUE(a.allowMmsPlayers);
    EXPECT_TRUE(a.multicast);
    EXPECT_TRUE(a.playlist);
    EXPECT_TRUE(a.notifyArchival);
    EXPECT_EQ(a.authMethod, static_cast<AuthMethod>(0xFE));
    EXPECT_EQ(a.userGroups, 0xFFu);
    EXPECT_EQ(a.playlistOrder, 7u);
    EXPECT_EQ(a.playTimeLimit, -1);
    const ResourceRecord& b = read.records[1];
    EXPECT_FALSE(b.enabled);
    EXPECT_FALSE(b.unicast);
    EXPECT_FALSE(b.allowDelegates);
    EXPECT_FALSE(b.allowMmsPlayers);
    EXPECT_EQ(b.playTimeLimit, 5);

    // Written back, the flags byte holds only the four defined bits.
    std::vector<const ResourceRecord*> records = {&a, &b};
    std::vector<std::uint8_t> saved = WriteConfigFile(read.server, read.defaultAuthMethod, records);
    ConfigFileContents again = ReadConfigFile(saved);
    EXPECT_EQ(again.records, read.records);
    const std::size_t firstRecord = WriteConfigFile(read.server, read.defaultAuthMethod,
                                                    std::span<const ResourceRecord* const>())
                                        .size();
    ASSERT_GT(saved.size(), firstRecord + 3);
    EXPECT_EQ(saved[firstRecord + 3], 0x07);
}

}  // namespace
}  // namespace vantor
