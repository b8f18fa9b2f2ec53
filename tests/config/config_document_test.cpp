#include "config/config_document.h"

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/config_bytes.h"
#include "config/config_file.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

std::vector<std::string> Lines(const DocumentReading& reading) {
    std::vector<std::string> lines;
    for (const DocumentError& error : reading.errors) {
        lines.push_back(std::to_string(error.line) + ":" + std::to_string(error.column) + ": " +
                        error.message);
    }
    return lines;
}

// The errors of a text, which read from a stream a block at a time must be the same.
std::vector<std::string> Errors(const std::string& text) {
    std::istringstream stream(text);
    const std::vector<std::string> lines = Lines(ReadConfigDocument(text));
    EXPECT_EQ(Lines(ReadConfigDocument(stream)), lines) << "read from a stream";
    return lines;
}

// Many short folders: a document longer than the blocks it is read in.
std::string ManyFolders(int count) {
    std::string text = "folders:\n";
    for (int i = 0; i < count; ++i) {
        text += "  - name: \"Folder " + std::to_string(i) + "\"\n";
    }
    return text;
}

TEST(ConfigDocument, EachProblemIsReportedAtItsLineAndColumn) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"folders:\n  - name: A\n    colour: red\n", {"3:13: folder: unknown field \"colour\""}},
        {"server:\n  playerPort: [1, 2]\n  maxConnections: -1\n  limitThroughput: yes\n",
         {"2:15: playerPort: expected a text",
          "3:19: maxConnections: expected a whole number from 0 to 4294967295",
          "4:20: limitThroughput: expected true or false"}},
        {"folders:\n  - name: Films\nlive:\n  - name: FILMS\n    type: static\n",
         {"4:5: duplicate name \"FILMS\" (also on line 2, names are compared ignoring case)"}},
        {"folders:\n  - source: /srv\nlive:\n  - name: News\n",
         {"2:5: folder: missing field \"name\"", "4:5: live broadcast: missing field \"type\""}},
        {"folders:\n  - name: A\n    name: B\n", {"3:5: duplicate key \"name\""}},
        {"live:\n  - name: N\n    type: delegate\n    remote: {address: h, port: 80}\n",
         {"4:13: remote: missing field \"protocol\""}},
        {"live:\n  - name: N\n    type: static\n    password-hash: abc\n",
         {"4:20: password-hash: only a dynamic broadcast has one"}},
        {"live:\n  - name: N\n    type: static\n    source: \"0@abc\"\n",
         {"3:11: type: the source reads as a dynamic broadcast"}},
        {"folders:\n  - name: A\n    authMethod: kerberos\n    userGroups: [basic, guests]\n",
         {"3:17: authMethod: expected one of inherit, anonymous, internal, session",
          "4:25: userGroups: expected basic, medium or advanced"}},
        {"folders: {name: A}\n", {"1:10: folders: expected a list"}},
        {"colours: []\n", {"1:10: unknown field \"colours\""}},
        {"folders: [\n", {"2:1: end of sequence flow not found"}},
        {"folders: {name: A\n", {"2:1: end of map flow not found"}},
        {"a: &x [*x, *x]\nfolders: *x\n",
         {"1:8: alias *x: aliases are not supported, write the value out"}},
        {"--- {}\n--- {}\n", {"2:1: expected one document, found a second"}},
        {std::string(100, '['), {"1:65: nested too deep"}},
        {"folders:\nlive:\nfolders: []\n", {"3:1: duplicate key \"folders\""}},
        {"- folders\n", {"1:1: document: expected a mapping of keys and values"}},
        {"[folders]: []\n", {"1:1: expected a key"}},
        // A byte that is not UTF-8 is placed by counting lines, far into the text too.
        {"\xff: a\n", {"1:1: invalid leading UTF-8 octet"}},
        {ManyFolders(5000) + "  - name: \"bad \xff\"\n", {"5002:16: invalid leading UTF-8 octet"}},
        {"folders:\n  - name: \"" + std::string(40000, 'x') + "\xff\"\n",
         {"2:40012: invalid leading UTF-8 octet"}},
        {ManyFolders(3000) + "  - name: Folder 2999\n",
         {"3002:5: duplicate name \"Folder 2999\" (also on line 3001, names are compared "
          "ignoring case)"}},
        // Plain `~` and `null` are no value: an empty text, but never a switch.
        {"folders:\n  - name: A\n    enabled: null\n    description: ~\n",
         {"3:14: enabled: expected true or false"}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Errors(text), expected);
    }
}

TEST(ConfigDocument, OnlyAPlainNullIsNoValue) {
    const DocumentReading reading = ReadConfigDocument(
        "folders:\n  - name: \"null\"\n    description: ~\n"
        "    source: 'NULL'\n    metaTitle:\n");
    ASSERT_TRUE(reading.errors.empty());
    const DocumentResource& folder = reading.document.folders.at(0);
    EXPECT_EQ(folder.record.name, u"null");
    EXPECT_EQ(folder.record.source, u"NULL");
    EXPECT_TRUE(folder.Has(DocumentField::Description));
    EXPECT_EQ(folder.record.description, u"");
    EXPECT_TRUE(folder.Has(DocumentField::MetaTitle));
    EXPECT_EQ(folder.record.metaTitle, u"");
}

TEST(ConfigDocument, HostileInputIsAnErrorNeverACrash) {
    const std::string inputs[] = {
        std::string(100000, '['),
        std::string(5000, '{') + "a",
        "a: &x [*x, *x]\nfolders: *x\n",
        "folders:\n\t- name: A\n",
        std::string("\xff\xfe\x00\x01 folders", 12),
        "--- a\n--- b\n",
        "server: !!binary AAAA\n",
        "folders:\n  - name: A\n    maxConnections: 99999999999999999999999\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input.substr(0, 40));
        EXPECT_FALSE(ReadConfigDocument(input).errors.empty());
    }
    // Empty is a document that asks for nothing.
    EXPECT_TRUE(ReadConfigDocument("").errors.empty());
}

// A record with every field away from its default, a folder with what only the file can hold.
ResourceRecord OddFolder() {
    ResourceRecord r;
    r.kind = ResourceKind::VirtualFolder;
    r.enabled = false;
    r.authMethod = AuthMethod::Internal;
    r.userGroups = MediumUsers | AdvancedUsers;
    r.name = u"Fil\u00e9s \"quoted\" \\ null";
    r.source = u"/srv/films";
    r.description = u"line one\nline two\ttab \u0001";
    r.unicast = false;
    r.multicast = true;
    r.multicastGroup = u"226.0.0.1:6000";
    r.playlist = true;
    r.playlistOrder = 1;
    r.playTimeLimit = 90;
    r.allowDelegates = true;
    r.allowMmsPlayers = true;
    r.metaTitle = u"T";
    r.metaAuthor = u"A";
    r.metaCopyright = u"(c)";
    r.maxConnections = 11;
    r.maxConnectionsPerUser = 2;
    r.maxThroughputKBps = 900;
    r.notifyArchival = true;
    return r;
}

TEST(ConfigDocument, WhatIsWrittenReadsBackFieldForField) {
    Catalogue catalogue;
    catalogue.InsertResourceItem(OddFolder());
    ResourceRecord delegate;
    delegate.kind = ResourceKind::LiveBroadcast;
    delegate.name = u"News";
    delegate.source = u"vtr://http:10.0.0.7:80/news";
    delegate.playlist = true;
    delegate.playlistOrder = 7;
    delegate.authMethod = static_cast<AuthMethod>(9);
    delegate.userGroups = 0x41;
    catalogue.InsertResourceItem(delegate);
    ResourceRecord dynamic;
    dynamic.kind = ResourceKind::LiveBroadcast;
    dynamic.name = u"true";
    dynamic.source = u"0@5e884898";
    catalogue.InsertResourceItem(dynamic);
    ServerConfig server;
    server.playerPort = u"";
    server.loggingMode = 7;
    server.archivalPassword = u"ab12";

    for (const DocumentFormat format : {DocumentFormat::Yaml, DocumentFormat::Json}) {
        SCOPED_TRACE(format == DocumentFormat::Yaml ? "yaml" : "json");
        const std::string text =
            WriteConfigDocument(server, AuthMethod::SessionBased, catalogue, nullptr, format);
        const DocumentReading reading = ReadConfigDocument(text);
        ASSERT_EQ(reading.errors.size(), 0u) << reading.errors[0].message << "\n" << text;
        const ConfigDocument& document = reading.document;
        ASSERT_TRUE(document.server);
        ServerConfig readServer;
        AuthMethod readMethod = AuthMethod::Anonymous;
        ApplyGivenServerFields(*document.server, readServer, readMethod);
        EXPECT_EQ(readServer, server);
        EXPECT_EQ(readMethod, AuthMethod::SessionBased);

        ASSERT_EQ(document.folders.size(), 1u);
        ASSERT_EQ(document.live.size(), 2u);
        std::vector<ResourceRecord> read;
        for (const auto* list : {&document.folders, &document.live}) {
            for (const DocumentResource& resource : *list) {
                ResourceRecord record;
                record.kind = resource.record.kind;
                record.imageIndex = resource.record.imageIndex;
                // Fields left out are the editor's defaults: start from something else.
                record.playTimeLimit = -1;
                ApplyGivenFields(resource, record);
                read.push_back(record);
            }
        }
        EXPECT_EQ(read[0], catalogue.FileResources().Children()[0]->Record());
        EXPECT_EQ(read[1], catalogue.LiveBroadcasts().Children()[0]->Record());
        EXPECT_EQ(read[2], catalogue.LiveBroadcasts().Children()[1]->Record());
        EXPECT_EQ(document.live[0].type, DocumentLiveType::Delegate);
        EXPECT_EQ(document.live[1].type, DocumentLiveType::Dynamic);
    }
}

TEST(ConfigDocument, ADumpReadsAsTheDialogsShowIt) {
    Catalogue catalogue;
    ResourceRecord folder;
    folder.name = u"Music";
    folder.source = u"/srv/music";
    folder.authMethod = AuthMethod::Internal;
    folder.userGroups = BasicUsers | AdvancedUsers;
    folder.unicast = true;
    folder.playlist = true;
    folder.allowMmsPlayers = true;
    catalogue.InsertResourceItem(folder);
    ResourceRecord live;
    live.kind = ResourceKind::LiveBroadcast;
    live.name = u"News";
    live.source = u"vtr://tcp:10.0.0.7:5119/news";
    live.unicast = true;
    live.playTimeLimit = 90;
    catalogue.InsertResourceItem(live);
    const DocumentRestrictions restrictions{
        .mode = "AllowedList", .exceptions = {}, .allowed = {u"10.0.0.9", u"relay"}};
    EXPECT_EQ(WriteConfigDocument(ServerConfig{}, AuthMethod::Anonymous, catalogue, &restrictions,
                                  DocumentFormat::Yaml),
              R"(server:
  playerPort: "5119"
  liveSourcePort: "5130"
  limitConnections: false
  maxConnections: 10
  limitConnectionsPerUser: false
  maxConnectionsPerUser: 1
  limitAnonymousConnections: false
  maxAnonymousConnections: 10
  limitThroughput: false
  maxThroughputKBps: 1000
  loggingMode: standard
  loggingProgId: ""
  defaultAuthMethod: anonymous
  archivalPassword: ""
  networkInterface: "Any available"
  archivalServerAddress: ""
  archivalServerPort: ""
folders:
- name: "Music"
  enabled: true
  source: "/srv/music"
  description: ""
  authMethod: internal
  userGroups: [basic, advanced]
  unicast: true
  multicast: false
  multicastGroup: ""
  playlist: true
  playlistOrder: alphabetical
  allowMmsPlayers: true
  maxConnections: 0
  maxConnectionsPerUser: 0
  maxThroughputKBps: 0
live:
- name: "News"
  type: delegate
  remote: {protocol: tcp, address: "10.0.0.7", port: 5119, alias: "news"}
  enabled: true
  description: ""
  authMethod: inherit
  userGroups: []
  unicast: true
  multicast: false
  multicastGroup: ""
  allowMmsPlayers: false
  allowDelegates: false
  playTimeLimit: 90
  metaTitle: ""
  metaAuthor: ""
  metaCopyright: ""
  maxConnections: 0
  maxConnectionsPerUser: 0
  maxThroughputKBps: 0
  notifyArchival: false
restrictions:
  mode: AllowedList
  exceptions: []
  allowed: ["10.0.0.9", "relay"]
)");
    // JSON: the same keys; empty lists on their key's line.
    const std::string json = WriteConfigDocument(ServerConfig{}, AuthMethod::Anonymous, Catalogue(),
                                                 nullptr, DocumentFormat::Json);
    EXPECT_EQ(json.substr(0, 41), "{\n  \"server\": {\n    \"playerPort\": \"5119\",");
    EXPECT_EQ(json.substr(json.size() - 62),
              "\"archivalServerPort\": \"\"\n  },\n  \"folders\": [],\n  \"live\": []\n}\n");
}

// A large catalogue is written in chunks on several threads; the text must be what one
// emitter writes, at every seam and whichever branch is split.
TEST(ConfigDocument, ADocumentWrittenInChunksIsTheTextOfOneEmitter) {
    Catalogue catalogue;
    const std::u16string names[] = {u"vantor-chunk-0",  u"say \"hi\"",      u"- item", u"null",
                                    u"Größe: 2\nLinie", u"# not a comment", u"",       u"tab\tend"};
    for (int i = 0; i < 40; ++i) {
        ResourceRecord record;
        const bool live = i % 4 == 0;
        record.kind = live ? ResourceKind::LiveBroadcast : ResourceKind::VirtualFolder;
        record.name = names[i % std::size(names)] + u" " + Utf8ToUtf16(std::to_string(i));
        record.source = live ? (i % 8 == 0 ? u"vtr://http:10.0.0.7:80/news" : u"0@5e88")
                             : u"/srv/" + record.name;
        record.description = i % 3 == 0 ? u"" : u"line one\nline two: \"quoted\"";
        record.userGroups = static_cast<UserGroups>(i % 9);
        record.playTimeLimit = i % 5 == 0 ? 90 : -1;
        record.metaTitle = i % 6 == 0 ? u"Ω" : u"";
        catalogue.InsertResourceItem(record);
    }
    DocumentRestrictions restrictions;
    restrictions.exceptions = {u"10.0.0.9"};
    const std::string one =
        WriteConfigDocument(ServerConfig{}, AuthMethod::Anonymous, catalogue, &restrictions,
                            DocumentFormat::Yaml, DocumentWriting{.threads = 1});
    ASSERT_TRUE(ReadConfigDocument(one).errors.empty()) << one;
    // 30 folders and 10 broadcasts: chunks of 1 and 7 split both, chunks of 12 the folders alone.
    for (const std::size_t chunk : {1u, 7u, 12u}) {
        for (const unsigned threads : {2u, 3u}) {
            EXPECT_EQ(
                WriteConfigDocument(ServerConfig{}, AuthMethod::Anonymous, catalogue, &restrictions,
                                    DocumentFormat::Yaml, DocumentWriting{threads, chunk}),
                one)
                << chunk << " a chunk, " << threads << " threads";
        }
    }
}

// What a reading says, field for field, as lines to compare.
std::vector<std::string> Said(const DocumentReading& reading) {
    std::vector<std::string> said = Lines(reading);
    const ConfigDocument& d = reading.document;
    if (d.server) {
        said.push_back("server " + std::to_string(d.server->line) + " " +
                       d.server->given.to_string() + " " +
                       Utf16ToUtf8(d.server->config.playerPort));
    }
    for (const auto* list : {&d.folders, &d.live}) {
        for (const DocumentResource& r : *list) {
            std::string line = std::to_string(r.line) + " " + r.given.to_string() + " " +
                               (r.type ? LiveTypeWord(*r.type) : "-");
            for (std::size_t f = 0; f < DocumentFieldCount; ++f) {
                line += " " + FieldValueText(r.record, static_cast<DocumentField>(f));
            }
            said.push_back(line);
        }
    }
    if (d.restrictions) {
        said.push_back("restrictions " + std::to_string(d.restrictions->line) + " " +
                       d.restrictions->mode + " " + std::to_string(d.restrictions->allowed.size()));
    }
    return said;
}

// A large document's lists are read in stretches on several threads: what it reads as must be
// what it reads as in one, whatever the text holds where a stretch would start or end.
TEST(ConfigDocument, ADocumentReadApartReadsAsReadInOne) {
    const auto catalogue = [](const std::string& indent, const std::string& inFolders,
                              int after = 60) {
        std::string text = "server:\n  playerPort: \"5119\"\nfolders:\n";
        for (int i = 0; i < 120; ++i) {
            text += indent + "- name: \"Folder " + std::to_string(i) + "\"\n" + indent +
                    "  source: /srv/" + std::to_string(i) + "\n" + indent +
                    "  userGroups: [basic, medium]\n";
            if (i == after) {
                text += inFolders;
            }
        }
        text += "live:\n";
        for (int i = 0; i < 60; ++i) {
            text += indent + "- name: News " + std::to_string(i) + "\n" + indent +
                    "  type: static\n" + indent + "  source: \"http://h/" + std::to_string(i) +
                    "\"\n";
        }
        return text + "restrictions:\n  mode: AllowedList\n  allowed: [10.0.0.1]\n";
    };
    const std::string plain = catalogue("", "");
    std::string crlf;
    for (const char c : plain) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    struct Case {
        const char* what;
        std::string text;
        bool apart;  // read apart, not again in one
    };
    const Case cases[] = {
        {"plain", plain, true},
        {"items indented", catalogue("  ", ""), true},
        {"comments and blank lines", catalogue("", "# a note\n\n  # another\n"), true},
        {"a block text", catalogue("", "  description: |\n    - name: Folder 1\n    two\n"), true},
        {"the same name in two stretches", catalogue("", "- name: folder 3\n"), true},
        {"no line break at the end", plain.substr(0, plain.size() - 1), true},
        {"a quoted text whose lines look like items",
         catalogue("", "  description: \"one\n- name: fake\n- name: Folder 7\n  two\"\n"), false},
        // Only the text read in one says that these lines are no items.
        {"a quoted text across a seam",
         "folders:\n- name: A\n  source: /" + std::string(500, 'a') +
             "\n  description: \"x\n- name: B\n  source: /" + std::string(500, 'b') +
             "\n- name: C\n  source: /c\"\nlive:\n- name: N\n  type: static\n",
         false},
        {"a quoted text at the start of a list",
         catalogue("", "  description: \"y\n- name: E\n  source: /e\"\n", 1), false},
        {"a quoted text at the end of a list",
         catalogue("", "  description: \"y\n- name: E\n  source: /e\"\n", 119), false},
        // libyaml breaks lines at these too; the layout counts line feeds.
        {"a carriage return in a stretch", catalogue("", "  description: \"a\rb\"\n"), false},
        {"a carriage return before a seam", catalogue("", "  description: \"a\rb\"\n", 1),
         false},
        {"a next line in a stretch", catalogue("", "  description: \"a\xC2\x85\"\n"), false},
        {"a list in brackets across lines", catalogue("", "  description: [a,\n- b]\n"), false},
        {"an unknown field", catalogue("", "  colour: red\n"), false},
        {"an alias", "anchor: &a x\n" + catalogue("", "  description: *a\n"), false},
        {"an item that is no mapping", catalogue("", "- just a text\n"), false},
        {"the key twice", plain + "folders:\n- name: Z\n", false},
        {"the lists before the rest",
         "restrictions:\n  mode: ExceptionList\n" + plain.substr(0, plain.find("restrictions:")),
         true},
        {"a document after", plain + "---\nfolders: []\n", false},
        {"CRLF", crlf, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> inOne =
            Said(ReadConfigDocument(c.text, DocumentReadingWork{.threads = 1}));
        ASSERT_FALSE(inOne.empty());
        for (const std::size_t bytes : {400u, 2000u}) {
            for (const unsigned threads : {2u, 3u}) {
                const DocumentReading apart =
                    ReadConfigDocument(c.text, DocumentReadingWork{threads, bytes});
                EXPECT_EQ(Said(apart), inOne) << bytes << " bytes a stretch, " << threads;
                if (c.apart) {
                    EXPECT_GT(apart.readApart, 0u) << bytes << " bytes a stretch";
                }
            }
        }
    }
}

TEST(ConfigDocument, EveryFileOfTheFormatReadsBackAsTheSameRecords) {
    for (const std::uint32_t version : {50u, 55u, 60u}) {
        SCOPED_TRACE(version);
        test::ConfigBytes bytes;
        bytes.Header(version).Record(version, 1, u"zulu", u"226.0.0.1:6000");
        bytes.Record(version, 2, u"News", u"", 0x03).Record(version, 1, u"Alpha", u"", 0x09);
        const ConfigFileContents contents = ReadConfigFile(bytes.Bytes());
        Catalogue catalogue;
        catalogue.InsertLoaded(contents.records);
        const DocumentReading reading = ReadConfigDocument(WriteConfigDocument(
            contents.server, contents.defaultAuthMethod, catalogue, nullptr, DocumentFormat::Yaml));
        ASSERT_TRUE(reading.errors.empty());
        Catalogue back;
        for (const auto* list : {&reading.document.folders, &reading.document.live}) {
            for (const DocumentResource& resource : *list) {
                ResourceRecord record;
                record.kind = resource.record.kind;
                record.imageIndex = resource.record.imageIndex;
                ApplyGivenFields(resource, record);
                back.InsertResourceItem(record);
            }
        }
        ServerConfig server;
        AuthMethod method = AuthMethod::Anonymous;
        ApplyGivenServerFields(*reading.document.server, server, method);
        EXPECT_EQ(WriteConfigFile(server, method, back),
                  WriteConfigFile(contents.server, contents.defaultAuthMethod, catalogue));
    }
}

}  // namespace
}  // namespace vantor
