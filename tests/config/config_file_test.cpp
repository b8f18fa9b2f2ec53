#include "config/config_file.h"

#include <algorithm>
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
using Bytes = std::vector<std::uint8_t>;
using Records = std::vector<ResourceRecord>;

Bytes Write(const ServerConfig& server, AuthMethod authMethod, const Records& records) {
    std::vector<const ResourceRecord*> pointers;
    for (const ResourceRecord& record : records) {
        pointers.push_back(&record);
    }
    return WriteConfigFile(server, authMethod, pointers);
}

// What ConfigBytes::Header(version) holds (fields in declaration order); the fields the version
// lacks keep their defaults.
ServerConfig HeaderConfig(std::uint32_t version) {
    const bool v55 = version >= 55, v60 = version >= 60;
    const std::u16string key = v55 ? u"ab12" : u"", nic = v60 ? u"eth0 \u00e9" : u"Any available",
                         host = v60 ? u"10.0.0.9" : u"", port = v60 ? u"8080" : u"";
    return {u"6001", u"6002",    true, 4464, true, 5,   false, 0,
            true,    0x12345678, 3,    u"",  key,  nic, host,  port};
}

// The whole of what was read, to compare in one go.
auto Parts(const ConfigFileContents& c) {
    return std::tie(c.version, c.server, c.defaultAuthMethod, c.records);
}

// What ConfigBytes::Record(version, kind, name, group, flags) holds, fields in declaration order.
ResourceRecord RecordOf(std::uint32_t version, int kindByte, std::u16string name,
                        std::u16string group = u"", std::uint8_t flags = 0x01) {
    using enum AuthMethod;
    const auto kind = static_cast<ResourceKind>(kindByte);
    const bool folder = kindByte == 1, v55 = version >= 55, v60 = version >= 60;
    const bool on = !(flags & 8), uni = flags & 1, del = flags & 2, mms = flags & 4,
               multi = !group.empty();
    const std::u16string path = u"/media/music", about = u"about " + name,
                         title = v55 ? u"Title" : u"", author = v55 ? u"Author" : u"",
                         copy = v55 ? u"(c)" : u"";
    const std::uint32_t image = folder ? VirtualFolderImage : LiveBroadcastImage,
                        max = v60 ? 11 : 0, user = v60 ? 2 : 0, kbps = v60 ? 900 : 0;
    const int limit = folder ? -1 : 90;
    return {kind, on,    Internal, 6,   name,  path,   about, image, uni,  multi, group, folder,
            1,    limit, del,      mms, title, author, copy,  max,   user, kbps,  v60};
}

// A disabled folder with MMS players allowed, and a multicast broadcast open to delegates.
Records SampleRecords() {
    return {RecordOf(60, 1, u"Music", u"", 0x0D),
            RecordOf(60, 2, u"Live", u"225.0.0.0:5000", 0x02)};
}

TEST(ConfigFile, WriterLaysOutEveryFieldByteForByte) {
    ConfigBytes expected, header;
    expected.Header(60).Record(60, 1, u"Music", u"", 0x0D);
    expected.Record(60, 2, u"Live", u"225.0.0.0:5000", 0x02);
    ServerConfig server = HeaderConfig(60);
    server.maxConnections = 70000;       // stored as its low 16 bits
    server.maxAnonymousConnections = 9;  // stored as 0: the limit is off
    EXPECT_EQ(Write(server, AuthMethod::Internal, SampleRecords()), expected.Bytes());

    // An empty catalogue is the header alone.
    EXPECT_EQ(WriteConfigFile(server, AuthMethod::Internal, Catalogue()),
              header.Header(60).Bytes());
}

TEST(ConfigFile, RoundTripKeepsWhatIsStoredAndNarrowsTheRest) {
    ServerConfig server = HeaderConfig(60);
    // The high bits of the logging mode must not leak into the anonymous limit; only the exact
    // word "none" stands for an empty logging ProgID.
    std::tie(server.maxConnections, server.maxThroughputKBps, server.loggingMode,
             server.loggingProgId, server.networkInterface) =
        std::tuple(70000, 0xFFFFFFFF, 0x10003, u"None", u"\U0001F3B5 \u0416");
    Records records = SampleRecords();
    Records expected = records;
    std::tie(records[0].authMethod, records[0].userGroups, records[0].playlistOrder) =
        std::tuple(AuthMethod::None, 0x107, 258);
    // A lone surrogate survives, and all 32 bits of a record's limit.
    records[1].metaTitle = expected[1].metaTitle = std::u16string(1, char16_t(0xD800));
    records[1].maxConnectionsPerUser = expected[1].maxConnectionsPerUser = 0xFFFFFFFF;

    const ConfigFileContents read =
        ReadConfigFile(Write(server, AuthMethod::SessionBased, records));
    // Record bytes keep their low 8 bits.
    std::tie(expected[0].authMethod, expected[0].userGroups, expected[0].playlistOrder) =
        std::tuple(static_cast<AuthMethod>(0xFF), 7, 2);
    std::tie(server.maxConnections, server.loggingMode) = std::tuple(4464, 3);
    EXPECT_EQ(Parts(read), Parts({60, server, AuthMethod::SessionBased, expected}));

    // The per-user and anonymous limits are on exactly when their stored value is not 0, and
    // an empty logging ProgID comes back empty.
    server.loggingProgId.clear();
    for (auto [limit, value, stored] :
         {std::tuple(false, 5u, 0u), {true, 5u, 5u}, {true, 65536u, 0u}}) {
        server.limitConnectionsPerUser = server.limitAnonymousConnections = limit;
        server.maxConnectionsPerUser = server.maxAnonymousConnections = value;
        ServerConfig expected = server;
        expected.limitConnectionsPerUser = expected.limitAnonymousConnections = stored != 0;
        expected.maxConnectionsPerUser = expected.maxAnonymousConnections = stored;
        EXPECT_EQ(ReadConfigFile(Write(server, AuthMethod::Anonymous, {})).server, expected)
            << value;
    }
}

TEST(ConfigFile, EachVersionReadsItsFieldsAndKeepsNewerOnesAtDefaults) {
    for (std::uint32_t version : {50u, 55u, 60u}) {
        SCOPED_TRACE(version);
        ConfigBytes file;
        file.Header(version).Record(version, 1, u"Folder").Record(version, 2, u"Cast", u"g", 0x0E);
        const ConfigFileContents read = ReadConfigFile(file.Bytes());
        const Records records = {RecordOf(version, 1, u"Folder"),
                                 RecordOf(version, 2, u"Cast", u"g", 0x0E)};
        EXPECT_EQ(Parts(read),
                  Parts({version, HeaderConfig(version), AuthMethod::Internal, records}));

        // Saved again it becomes a version-60 file with the same content.
        const ConfigFileContents again =
            ReadConfigFile(Write(read.server, read.defaultAuthMethod, read.records));
        EXPECT_EQ(Parts(again), Parts({60, read.server, AuthMethod::Internal, records}));
    }
}

TEST(ConfigFile, DamagedFilesKeepTheCompleteRecordsBeforeTheDamage) {
    // Nothing at all, or too little for a version word: version 50 from the first byte, and the
    // two port strings cannot be read, so they come out empty.
    ServerConfig noPorts;
    noPorts.playerPort = noPorts.liveSourcePort = u"";
    for (const Bytes& bytes : {Bytes{}, Bytes{60, 0, 0}}) {
        EXPECT_EQ(Parts(ReadConfigFile(bytes)), Parts({50, noPorts, AuthMethod::Anonymous, {}}));
    }
    for (std::uint32_t version : {50u, 55u, 60u}) {
        ConfigBytes file;
        std::vector<std::size_t> ends = {file.Header(version).Bytes().size()};
        for (std::u16string name : {u"One", u"Two", u"Three"}) {
            file.Record(version, name == u"Two" ? 2 : 1, name, u"225.0.0.1:5000");
            ends.push_back(file.Bytes().size());
        }
        const ConfigFileContents whole = ReadConfigFile(file.Bytes());
        ASSERT_EQ(whole.records.size(), 3u);
        // Counted before they are read, so allocated once and exactly.
        EXPECT_EQ(whole.records.capacity(), 3u);
        // Every cut, at an odd or even byte, inside the header, a number or a string.
        for (std::size_t size = 0; size <= file.Bytes().size(); ++size) {
            const ConfigFileContents read = ReadConfigFile(std::span(file.Bytes()).first(size));
            const auto complete = std::count_if(ends.begin() + 1, ends.end(),
                                                [&](std::size_t end) { return end <= size; });
            EXPECT_EQ(read.records,
                      Records(whole.records.begin(), whole.records.begin() + complete))
                << version << " " << size;
            if (size >= ends[0]) {
                EXPECT_EQ(read.server, whole.server) << version << " " << size;
            }
        }
    }

    // A string count beyond the end of the file, in the header: that string is empty and every
    // field after it keeps its default.
    ConfigBytes header;
    header.U32(60).Str(u"6001").U32(0xFFFFFFFF).U8(1).U32(7).Record(60, 1, u"Hidden");
    ConfigFileContents read = ReadConfigFile(header.Bytes());
    noPorts.playerPort = u"6001";
    EXPECT_EQ(read.server, noPorts);
    EXPECT_TRUE(read.records.empty());

    // In a record: the records before it stay, the damaged one and everything after it go.
    ConfigBytes records;
    records.Header(60).Record(60, 1, u"First");
    records.U8(1).U8(1).U8(1).U8(1).U8(0).U8(0).U8(0).U32(0).U32(0x7FFFFFFF).U8(0x41).U8(0);
    records.Record(60, 2, u"After");
    EXPECT_EQ(ReadConfigFile(records.Bytes()).records, Records{RecordOf(60, 1, u"First")});

    // Records of an unknown kind are skipped and the records after them read.
    ConfigBytes file;
    file.Header(60).Record(60, 1, u"Folder");
    for (std::uint8_t kind : {0, 3, 5, 200}) {
        file.Record(60, kind, u"Odd");
    }
    file.Record(60, 2, u"Cast").Record(60, 1, u"Zed");
    read = ReadConfigFile(file.Bytes());
    EXPECT_EQ(read.records, (Records{RecordOf(60, 1, u"Folder"), RecordOf(60, 2, u"Cast"),
                                     RecordOf(60, 1, u"Zed")}));
    EXPECT_EQ(read.records.capacity(), 3u);
}

}  // namespace
}  // namespace vantor
