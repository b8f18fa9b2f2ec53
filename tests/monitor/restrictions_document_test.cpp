#include "monitor/restrictions_document.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/text_codec.h"
#include "ui/ui_fakes.h"

using namespace vantor;
namespace {

constexpr auto Except = DelegateAccessMode::ExceptionList;
constexpr auto Allow = DelegateAccessMode::AllowedList;

const std::string Declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const std::string RootStart =
    "<IPRestrictionsConfig xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\">";

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
              Declaration + RootStart +
                  "<AccessMode Active=\"ExceptionList\"/><ExceptionMediaServerList/>"
                  "<AllowedMediaServerList/></IPRestrictionsConfig>\n");

    // Text that needs escaping and text beyond ASCII are stored as typed; the same address may
    // stand twice, and removal takes the first of them.
    EXPECT_EQ(document.AddAddress(Except, u"10.0.0.1"), SOk);
    EXPECT_EQ(document.AddAddress(Allow, u"a&b<c>\"d\""), SOk);
    EXPECT_EQ(document.AddAddress(Except, u"médias\U0001F3B5.example"), SOk);
    EXPECT_EQ(document.AddAddress(Except, u"10.0.0.1"), SOk);
    EXPECT_EQ(document.SetMode(Allow), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              Declaration + RootStart +
                  "<AccessMode Active=\"AllowedList\"/><ExceptionMediaServerList>"
                  "<Address>10.0.0.1</Address><Address>m\xC3\xA9"
                  "dias\xF0\x9F\x8E\xB5.example</Address>"
                  "<Address>10.0.0.1</Address></ExceptionMediaServerList><AllowedMediaServerList>"
                  "<Address>a&amp;b&lt;c&gt;\"d\"</Address></AllowedMediaServerList>"
                  "</IPRestrictionsConfig>\n");
    EXPECT_EQ(ReadLines(document),
              (std::vector<std::string>{"mode 2", "1 10.0.0.1", "1 médias\U0001F3B5.example",
                                        "1 10.0.0.1", "2 a&b<c>\"d\""}));

    EXPECT_EQ(document.RemoveAddress(Except, u"10.0.0.1"), SOk);
    EXPECT_EQ(document.RemoveAddress(Allow, u"a&b<c>\"d\""), SOk);
    EXPECT_EQ(document.SetMode(Except), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              Declaration + RootStart +
                  "<AccessMode Active=\"ExceptionList\"/><ExceptionMediaServerList>"
                  "<Address>m\xC3\xA9"
                  "dias\xF0\x9F\x8E\xB5.example</Address><Address>10.0.0.1</Address>"
                  "</ExceptionMediaServerList><AllowedMediaServerList/></IPRestrictionsConfig>\n");

    // Failures leave the document as it was: an address in the other list, a letter-case
    // variant, text XML cannot hold.
    const std::string before = Text(document.Serialize());
    EXPECT_EQ(document.RemoveAddress(Allow, u"10.0.0.1"), EFail);
    EXPECT_EQ(document.RemoveAddress(Except, u"MÉDIAS.EXAMPLE"), EFail);
    EXPECT_EQ(document.AddAddress(Except, u"bell\u0007"), EInvalidArg);
    // A high surrogate cut from its pair by the end of the text.
    EXPECT_EQ(document.AddAddress(Except, std::u16string_view(u"\U0001F3B5").substr(0, 1)),
              EInvalidArg);
    EXPECT_EQ(Text(document.Serialize()), before);
}

TEST(RestrictionsDocument, ReadsFilesAsTheQueriesFindThem) {
    const std::string ns = "http://www.quorvane.example/IPRestrictionsConfig";
    struct Case {
        const char* name;
        std::string file;
        HResult readResult;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a prefix instead of the default namespace, white space and comments",
         "<?xml version=\"1.0\"?>\n<p:IPRestrictionsConfig xmlns:p=\"" + ns +
             "\">\n  <p:AccessMode Active=\"AllowedList\"/>\n  <!-- note -->\n"
             "  <p:ExceptionMediaServerList><p:Address> spaced </p:Address>"
             "</p:ExceptionMediaServerList>\n  <p:AllowedMediaServerList><p:Address>b</p:Address>"
             "<p:Address>a</p:Address></p:AllowedMediaServerList>\n</p:IPRestrictionsConfig>",
         SOk,
         {"mode 2", "1  spaced ", "2 b", "2 a"}},
        {"lists in an unexpected place: nested, outside their parent, in the wrong order",
         "<IPRestrictionsConfig xmlns=\"" + ns +
             "\"><AllowedMediaServerList><Address>x</Address><ExceptionMediaServerList>"
             "<Group><Address>deep</Address></Group></ExceptionMediaServerList>"
             "</AllowedMediaServerList><AccessMode Active=\"ExceptionList\"/>"
             "</IPRestrictionsConfig>",
         SOk,
         {"mode 1", "1 deep", "2 x", "2 deep"}},
        {"any text but the exact one is the allowed list",
         "<IPRestrictionsConfig xmlns=\"" + ns +
             "\"><AccessMode Active=\"exceptionlist\"/><ExceptionMediaServerList>"
             "<Address>kept</Address></ExceptionMediaServerList></IPRestrictionsConfig>",
         SOk,
         {"mode 2", "1 kept"}},
        {"no Active attribute",
         "<IPRestrictionsConfig xmlns=\"" + ns +
             "\"><AccessMode/><ExceptionMediaServerList><Address>a</Address>"
             "</ExceptionMediaServerList></IPRestrictionsConfig>",
         EFail,
         {}},
        {"no AccessMode element",
         "<IPRestrictionsConfig xmlns=\"" + ns +
             "\"><AllowedMediaServerList><Address>a</Address></AllowedMediaServerList>"
             "</IPRestrictionsConfig>",
         EFail,
         {}},
        {"elements outside the namespace are not found",
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
    const std::string ns = "http://www.quorvane.example/IPRestrictionsConfig";
    // A file read back unchanged is written as it was read.
    const std::string spaced = Declaration + "<IPRestrictionsConfig xmlns=\"" + ns +
                               "\">\n  <AccessMode Active=\"AllowedList\"/>\n"
                               "  <ExceptionMediaServerList/>\n  <AllowedMediaServerList>"
                               "<Address>b</Address></AllowedMediaServerList>\n"
                               "</IPRestrictionsConfig>\n";
    RestrictionsDocument document;
    ASSERT_EQ(document.Parse(Bytes(spaced)), SOk);
    EXPECT_EQ(Text(document.Serialize()), spaced);

    // Without the attribute the mode cannot be set; without a list nothing can be added to it;
    // an address deeper than the list's own children cannot be taken out of it.
    const std::string start = "<IPRestrictionsConfig xmlns=\"" + ns +
                              "\"><AccessMode/><ExceptionMediaServerList><Group><Address>deep"
                              "</Address></Group>";
    const std::string odd = start + "</ExceptionMediaServerList></IPRestrictionsConfig>";
    ASSERT_EQ(document.Parse(Bytes(odd)), SOk);
    EXPECT_EQ(document.SetMode(Allow), EFail);
    EXPECT_EQ(document.AddAddress(Allow, u"a"), EFail);
    EXPECT_EQ(document.RemoveAddress(Except, u"deep"), EFail);
    EXPECT_EQ(document.AddAddress(Except, u"c"), SOk);
    EXPECT_EQ(Text(document.Serialize()),
              Declaration + start +
                  "<Address>c</Address></ExceptionMediaServerList></IPRestrictionsConfig>\n");
}

TEST(RestrictionsDocument, HostileOrBrokenFilesDoNotLoad) {
    const std::string ns = "http://www.quorvane.example/IPRestrictionsConfig";
    const std::string body = "<IPRestrictionsConfig xmlns=\"" + ns +
                             "\"><AccessMode Active=\"AllowedList\"/><AllowedMediaServerList>"
                             "<Address>&x;</Address></AllowedMediaServerList>"
                             "</IPRestrictionsConfig>";
    std::string laughs = "<!DOCTYPE IPRestrictionsConfig [<!ENTITY x0 \"lol\">";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY x" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            laughs += "&x" + std::to_string(i - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "<!ENTITY x \"&x10;\">]>" + body;
    // 50 MB of nothing but opening tags.
    std::string nesting;
    nesting.reserve(50u << 20);
    while (nesting.size() < (50u << 20)) {
        nesting += "<IPRestrictionsConfig>";
    }
    const std::pair<const char*, std::string> cases[] = {
        {"external entity",
         "<!DOCTYPE IPRestrictionsConfig [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + body},
        {"external DTD", "<!DOCTYPE IPRestrictionsConfig SYSTEM \"http://127.0.0.1:1/r.dtd\">" +
                             body.substr(0, body.find("&x;")) + "a" +
                             body.substr(body.find("&x;") + 3)},
        {"billion laughs", laughs},
        {"50 MB of nesting", nesting},
        {"not XML", "IPRestrictionsConfig"},
        {"empty", ""},
        {"cut short", body.substr(0, 60)},
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
    ASSERT_EQ(document.Save(LocateRestrictions(environment, 2), files), SOk);
    EXPECT_EQ(files.writes, (std::vector<std::string>{
                                path, "/fake/appdata/Quorvane/TavrinIPRestrictions.config"}));
    EXPECT_EQ(files.files[path], document.Serialize());

    RestrictionsDocument loaded;
    EXPECT_EQ(loaded.Load(FixedRestrictionsFile(path), files), SOk);
    EXPECT_EQ(loaded.Serialize(), document.Serialize());

    // A path that cannot be located is neither read nor written.
    const RestrictionsLocator nowhere = [](std::string&) { return EUnexpected; };
    EXPECT_EQ(loaded.Load(nowhere, files), EFail);
    EXPECT_EQ(loaded.Save(nowhere, files), EFail);
    EXPECT_EQ(files.writes.size(), 2u);
}

}  // namespace
