#include "monitor/restrictions_document.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/text_codec.h"
#include "monitor/restrictions_fakes.h"

using namespace vantor;
namespace {

constexpr auto Except = DelegateAccessMode::ExceptionList;
constexpr auto Allow = DelegateAccessMode::AllowedList;

using test::RestrictionsBody;
using test::RestrictionsFile;

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// What reading delivered, one line per call.
struct Recorder : RestrictionsReceiver {
    void SetMode(DelegateAccessMode mode) override {
        lines.push_back("mode " + std::to_string(ListNumber(mode)));
    }
    void AddRow(int list, std::u16string address) override {
        lines.push_back(std::to_string(list) + " " + Utf16ToUtf8(address));
    }
    std::vector<std::string> lines;
};

std::vector<std::string> ReadLines(const RestrictionsDocument& document, HResult expected = SOk) {
    Recorder recorder;
    EXPECT_EQ(document.Read(recorder), expected);
    return recorder.lines;
}

TEST(RestrictionsDocument, WritesTheNewDocumentAndEachEditByteForByte) {
    RestrictionsDocument document;
    ASSERT_EQ(document.CreateNew(), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              RestrictionsFile(RestrictionsBody("ExceptionList", {}, {})));

    // Text that needs escaping and text beyond ASCII (pairs at both ends of the surrogate
    // ranges) are stored as typed; the same address may stand twice, and removal takes the first.
    const std::u16string music = u"médias\U00010000\U0010FFFF.example";
    for (auto [mode, address] : {std::pair(Except, std::u16string(u"10.0.0.1")),
                                 {Allow, u"a&b<c>\"d\""},
                                 {Except, music},
                                 {Except, u"10.0.0.1"}}) {
        EXPECT_EQ(document.AddAddress(mode, address), SOk);
    }
    EXPECT_EQ(document.SetMode(Allow), SOk);
    const std::string musicXml = Utf16ToUtf8(music);
    EXPECT_EQ(Text(document.Serialize()),
              RestrictionsFile(RestrictionsBody("AllowedList", {"10.0.0.1", musicXml, "10.0.0.1"},
                                                {"a&amp;b&lt;c&gt;\"d\""})));
    EXPECT_EQ(ReadLines(document),
              (std::vector<std::string>{"mode 2", "1 10.0.0.1", "1 " + musicXml, "1 10.0.0.1",
                                        "2 a&b<c>\"d\""}));

    EXPECT_EQ(document.RemoveAddress(Except, u"10.0.0.1"), SOk);
    EXPECT_EQ(document.RemoveAddress(Allow, u"a&b<c>\"d\""), SOk);
    EXPECT_EQ(document.SetMode(Except), SOk);
    const std::string after =
        RestrictionsFile(RestrictionsBody("ExceptionList", {musicXml, "10.0.0.1"}, {}));
    EXPECT_EQ(Text(document.Serialize()), after);

    // Failures leave the document as it was: an address in the other list, a letter-case
    // variant, text XML cannot hold (a control character, a high surrogate cut from its pair or
    // followed by a letter or by a character past the low surrogates).
    EXPECT_EQ(document.RemoveAddress(Allow, u"10.0.0.1"), EFail);
    EXPECT_EQ(document.RemoveAddress(Except, u"MÉDIAS.EXAMPLE"), EFail);
    EXPECT_EQ(document.AddAddress(Except, u"bell\u0007"), EInvalidArg);
    EXPECT_EQ(document.AddAddress(Except, music.substr(0, 7)), EInvalidArg);
    EXPECT_EQ(document.AddAddress(Except, music.substr(0, 7) + u"x"), EInvalidArg);
    EXPECT_EQ(document.AddAddress(Except, music.substr(0, 7) + u"\uE000"), EInvalidArg);
    EXPECT_EQ(Text(document.Serialize()), after);
}

TEST(RestrictionsDocument, ReadsFilesAsTheQueriesFindThem) {
    const std::string root = "<IPRestrictionsConfig xmlns=\"" + std::string(RestrictionsNamespace);
    struct Case {
        const char* name;
        std::string file;
        HResult readResult;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a prefix instead of the default namespace, white space and comments",
         "<?xml version=\"1.0\"?>\n<p:IPRestrictionsConfig xmlns:p=\"" +
             std::string(RestrictionsNamespace) +
             "\">\n  <p:AccessMode Active=\"AllowedList\"/>\n  <!-- note -->\n"
             "  <p:ExceptionMediaServerList><p:Address> spaced </p:Address>"
             "</p:ExceptionMediaServerList>\n  <p:AllowedMediaServerList><p:Address>b</p:Address>"
             "<p:Address>a</p:Address></p:AllowedMediaServerList>\n</p:IPRestrictionsConfig>",
         SOk,
         {"mode 2", "1  spaced ", "2 b", "2 a"}},
        {"lists in an unexpected place: nested, outside their parent, in the wrong order",
         root + "\"><AllowedMediaServerList><Address>x</Address><ExceptionMediaServerList>"
                "<Group><Address>deep</Address></Group></ExceptionMediaServerList>"
                "</AllowedMediaServerList><AccessMode Active=\"ExceptionList\"/>"
                "</IPRestrictionsConfig>",
         SOk,
         {"mode 1", "1 deep", "2 x", "2 deep"}},
        {"no Active attribute",
         root + "\"><AccessMode/><ExceptionMediaServerList><Address>a</Address>"
                "</ExceptionMediaServerList></IPRestrictionsConfig>",
         EFail,
         {}},
        {"no AccessMode element in the namespace",
         "<IPRestrictionsConfig><AccessMode Active=\"AllowedList\"/></IPRestrictionsConfig>",
         EFail,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RestrictionsDocument document;
        ASSERT_EQ(document.Parse(Bytes(c.file)), SOk);
        EXPECT_EQ(ReadLines(document, c.readResult), c.lines);
    }
}

TEST(RestrictionsDocument, EditsOfOddFilesFailOrKeepTheirShape) {
    // A file read back unchanged is written as it was read.
    const std::string spaced = RestrictionsFile(
        "\n  <AccessMode Active=\"AllowedList\"/>\n  <ExceptionMediaServerList/>\n"
        "  <AllowedMediaServerList><Address>b</Address></AllowedMediaServerList>\n");
    RestrictionsDocument document;
    ASSERT_EQ(document.Parse(Bytes(spaced)), SOk);
    EXPECT_EQ(Text(document.Serialize()), spaced);

    // Without the attribute the mode cannot be set; without a list nothing can be added to it;
    // an address deeper than the list's own children cannot be taken out of it.
    const std::string odd =
        "<AccessMode/><ExceptionMediaServerList><Group><Address>deep</Address></Group>";
    ASSERT_EQ(document.Parse(Bytes(RestrictionsFile(odd + "</ExceptionMediaServerList>"))), SOk);
    EXPECT_EQ(document.SetMode(Allow), EFail);
    EXPECT_EQ(document.AddAddress(Allow, u"a"), EFail);
    EXPECT_EQ(document.RemoveAddress(Except, u"deep"), EFail);
    EXPECT_EQ(document.AddAddress(Except, u"c"), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              RestrictionsFile(odd + "<Address>c</Address></ExceptionMediaServerList>"));
}

TEST(RestrictionsDocument, HostileOrBrokenFilesDoNotLoad) {
    const std::string body = RestrictionsFile(RestrictionsBody("AllowedList", {}, {"&x;"}));
    // 10 MB of nothing but opening tags: too deep, well within the size read.
    std::string nesting;
    while (nesting.size() < (10u << 20)) {
        nesting += "<IPRestrictionsConfig>";
    }
    const std::pair<const char*, std::string> cases[] = {
        {"external entity",
         "<!DOCTYPE IPRestrictionsConfig [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
             body.substr(body.find('\n') + 1)},
        {"an internal entity",
         "<!DOCTYPE IPRestrictionsConfig [<!ENTITY x \"xx\">]>" + body.substr(body.find('\n') + 1)},
        {"10 MB of nesting", nesting},
        {"cut short", body.substr(0, 100)},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        RestrictionsDocument document;
        ASSERT_EQ(document.CreateNew(), SOk);
        const std::string before = Text(document.Serialize());
        EXPECT_EQ(document.Parse(Bytes(file)), EFail);
        EXPECT_EQ(Text(document.Serialize()), before);
    }
}

TEST(RestrictionsDocument, ADocumentTypeIsKeptWithNothingLoadedForIt) {
    // An external subset that would give an address its text.
    const std::string dtd = testing::TempDir() + "restrictions_test.dtd";
    std::ofstream(dtd) << "<!ENTITY leak \"LEAKED\">\n";
    const std::string withSystem = RestrictionsFile(
        "<AccessMode Active=\"ExceptionList\"/><ExceptionMediaServerList><Address>x&leak;"
        "</Address></ExceptionMediaServerList><AllowedMediaServerList/>");
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    const std::string external = declaration + "<!DOCTYPE IPRestrictionsConfig SYSTEM \"file://" +
                                 dtd + "\">\n" + withSystem.substr(declaration.size());
    RestrictionsDocument document;
    ASSERT_EQ(document.Parse(Bytes(external)), SOk);
    EXPECT_EQ(ReadLines(document), (std::vector<std::string>{"mode 1", "1 x"}));
    EXPECT_EQ(Text(document.Serialize()), external);
    std::remove(dtd.c_str());

    const std::string plain =
        declaration + "<!DOCTYPE IPRestrictionsConfig>\n" +
        RestrictionsFile(RestrictionsBody("AllowedList", {"x"}, {"y"})).substr(declaration.size());
    ASSERT_EQ(document.Parse(Bytes(plain)), SOk);
    EXPECT_EQ(ReadLines(document), (std::vector<std::string>{"mode 2", "1 x", "2 y"}));
    EXPECT_EQ(document.AddAddress(Allow, u"z"), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              declaration + "<!DOCTYPE IPRestrictionsConfig>\n" +
                  RestrictionsFile(RestrictionsBody("AllowedList", {"x"}, {"y", "z"}))
                      .substr(declaration.size()));
}

TEST(RestrictionsDocument, FilesUpTo16MiBAreRead) {
    const std::string file = RestrictionsFile(RestrictionsBody("AllowedList", {}, {"a"}));
    constexpr std::size_t limit = 16u << 20;
    // Padded with comments short enough for libxml2's limit on one text.
    std::string padded = file;
    while (padded.size() < limit) {
        const std::size_t room = limit - padded.size();
        padded += "<!--" + std::string(room > 1007 ? 1000 : room - 7, 'x') + "-->";
    }
    ASSERT_EQ(padded.size(), limit);
    RestrictionsDocument document;
    EXPECT_EQ(document.Parse(Bytes(padded)), SOk);
    padded.insert(padded.size() - 3, "x");
    EXPECT_EQ(document.Parse(Bytes(padded)), EFail);

    // Missing, read, and three kinds of unreadable: cut short, not readable, reported too large
    // (which is not even read).
    const std::string path = "/data/r";
    test::RestrictionsFileStore files;
    RestrictionsSnapshot missing = ReadRestrictionsFile(path, files);
    EXPECT_EQ(missing.state, RestrictionsFileState::Missing);
    EXPECT_FALSE(missing.stamp.has_value());

    files.WriteBehind(path, file);
    RestrictionsSnapshot read = ReadRestrictionsFile(path, files);
    EXPECT_EQ(std::tuple(read.state, Text(read.bytes), read.stamp, ReadLines(read.document)),
              std::tuple(RestrictionsFileState::Read, file, files.Stamp(path),
                         std::vector<std::string>{"mode 2", "2 a"}));
    EXPECT_TRUE(read.SameContent(ReadRestrictionsFile(path, files)));

    files.WriteBehind(path, file.substr(0, 60));
    RestrictionsSnapshot cut = ReadRestrictionsFile(path, files);
    EXPECT_EQ(std::tuple(cut.state, Text(cut.bytes)),
              std::tuple(RestrictionsFileState::Unreadable, file.substr(0, 60)));
    EXPECT_FALSE(cut.SameContent(read));

    files.unreadable.insert(path);
    EXPECT_EQ(ReadRestrictionsFile(path, files).state, RestrictionsFileState::Unreadable);
    files.unreadable.clear();
    files.WriteBehind(path, file);
    files.reportedSize[path] = limit + 1;
    files.events.clear();
    RestrictionsSnapshot large = ReadRestrictionsFile(path, files);
    EXPECT_EQ(std::tuple(large.state, large.bytes.size(), files.events.size()),
              std::tuple(RestrictionsFileState::Unreadable, 0u, 0u));
    files.reportedSize[path] = limit;
    EXPECT_EQ(ReadRestrictionsFile(path, files).state, RestrictionsFileState::Read);
}

TEST(RestrictionsDocument, LoadsAndSavesThroughTheLocatedFile) {
    test::FakeFileStore files;
    test::FakeInstallationEnvironment environment;
    const std::string path = "/fake/appdata/Quorvane/VantorIPRestrictions.config";
    RestrictionsDocument document;
    EXPECT_EQ(document.Load(LocateRestrictions(environment, 1), files), EFail);
    EXPECT_TRUE(document.Empty());

    ASSERT_EQ(document.CreateNew(), SOk);
    ASSERT_EQ(document.Save(LocateRestrictions(environment, 1), files), SOk);
    EXPECT_EQ(files.writes, std::vector<std::string>{path});
    RestrictionsDocument loaded;
    EXPECT_EQ(loaded.Load(FixedRestrictionsFile(path), files), SOk);
    EXPECT_EQ(loaded.Serialize(), document.Serialize());

    // A path that cannot be located is neither read nor written.
    const RestrictionsLocator nowhere = [](std::string&) { return EUnexpected; };
    EXPECT_EQ(loaded.Load(nowhere, files), EFail);
    EXPECT_EQ(loaded.Save(nowhere, files), EFail);
    EXPECT_EQ(files.writes.size(), 1u);
}

}  // namespace
