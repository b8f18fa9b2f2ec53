#include "monitor/restrictions_document.h"

#include <string>
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
    // 50 MB of nothing but opening tags.
    std::string nesting;
    while (nesting.size() < (50u << 20)) {
        nesting += "<IPRestrictionsConfig>";
    }
    const std::pair<const char*, std::string> cases[] = {
        {"external entity",
         "<!DOCTYPE IPRestrictionsConfig [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
             body.substr(body.find('\n') + 1)},
        {"50 MB of nesting", nesting},
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
