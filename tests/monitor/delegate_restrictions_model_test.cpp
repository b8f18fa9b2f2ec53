#include "monitor/delegate_restrictions_model.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/add_address_model.h"
#include "monitor/restrictions_fakes.h"

using namespace vantor;
namespace {

constexpr auto Except = DelegateAccessMode::ExceptionList;
constexpr auto Allow = DelegateAccessMode::AllowedList;
using Control = RestrictionsControl;

const std::string FilePath = "/data/VantorIPRestrictions.config";
const std::string Head =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<IPRestrictionsConfig "
    "xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\">";

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A restrictions dialog over a fake file; the add dialog answers from a queue (cancelled when
// it runs out).
struct Harness {
    explicit Harness(const std::string& file = {}) {
        if (!file.empty()) {
            files.files[FilePath].assign(file.begin(), file.end());
        }
    }

    DelegateRestrictionsModel& Open() {
        model = std::make_unique<DelegateRestrictionsModel>(
            files, FixedRestrictionsFile(FilePath), prompter, [this](std::u16string& address) {
                if (answers.empty()) {
                    return false;
                }
                address = answers.front();
                answers.pop_front();
                return true;
            });
        EXPECT_TRUE(model->OnOpen());
        return *model;
    }
    void Add(std::u16string answer) {
        answers.push_back(std::move(answer));
        model->OnAdd();
    }
    std::vector<std::u16string> Addresses(DelegateAccessMode list) const {
        std::vector<std::u16string> addresses;
        for (const RestrictionsRow& row : model->Rows(list)) {
            addresses.push_back(row.address);
        }
        return addresses;
    }
    std::string Written() { return Text(files.files[FilePath]); }

    test::FakeFileStore files;
    test::RecordingPrompter prompter;
    std::deque<std::u16string> answers;
    std::unique_ptr<DelegateRestrictionsModel> model;
};

TEST(DelegateRestrictionsModel, WithoutAFileOpensOnTheExceptionListAndOkWritesTheDefault) {
    Harness h;
    DelegateRestrictionsModel& model = h.Open();
    EXPECT_EQ(model.Mode(), Except);
    EXPECT_TRUE(model.State(Control::ExceptionRadio).checked);
    EXPECT_FALSE(model.State(Control::AllowedRadio).checked);
    EXPECT_TRUE(model.Rows(Except).empty());
    EXPECT_TRUE(model.Rows(Allow).empty());
    EXPECT_FALSE(model.State(Control::RemoveButton).enabled);
    EXPECT_TRUE(model.State(Control::AddButton).enabled);
    EXPECT_TRUE(h.files.writes.empty());

    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), Head +
                               "<AccessMode Active=\"ExceptionList\"/><ExceptionMediaServerList/>"
                               "<AllowedMediaServerList/></IPRestrictionsConfig>\n");
    EXPECT_TRUE(h.prompter.shown.empty());
}

TEST(DelegateRestrictionsModel, TheAllowedListCannotBeConfirmedEmpty) {
    Harness h;
    DelegateRestrictionsModel& model = h.Open();
    model.OnModeSelected(Allow);
    EXPECT_TRUE(model.State(Control::AllowedRadio).checked);
    EXPECT_FALSE(model.State(Control::ExceptionRadio).checked);
    EXPECT_FALSE(model.State(Control::OkButton).enabled);
    EXPECT_FALSE(model.OnOk());
    EXPECT_TRUE(h.files.writes.empty());

    // Blanks around an address are dropped; an all-blank answer adds nothing.
    h.Add(u"  \t ");
    EXPECT_FALSE(model.State(Control::OkButton).enabled);
    h.Add(u"  delegate.example \n");
    EXPECT_TRUE(model.State(Control::OkButton).enabled);
    EXPECT_EQ(model.Rows(Allow), (std::vector<RestrictionsRow>{{u"Allowed", u"delegate.example"}}));
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), Head +
                               "<AccessMode Active=\"AllowedList\"/><ExceptionMediaServerList/>"
                               "<AllowedMediaServerList><Address>delegate.example</Address>"
                               "</AllowedMediaServerList></IPRestrictionsConfig>\n");
}

TEST(DelegateRestrictionsModel, AddsAndRemovesOnTheCurrentModesList) {
    Harness h(Head +
              "<AccessMode Active=\"Allowedlist\"/><ExceptionMediaServerList><Address>a</Address>"
              "<Address>b</Address><Address>a</Address></ExceptionMediaServerList>"
              "<AllowedMediaServerList><Address>c</Address></AllowedMediaServerList>"
              "</IPRestrictionsConfig>\n");
    DelegateRestrictionsModel& model = h.Open();
    // Any text but "ExceptionList" is the allowed list.
    EXPECT_EQ(model.Mode(), Allow);
    EXPECT_TRUE(model.State(Control::AllowedRadio).checked);
    EXPECT_EQ(model.Rows(Except), (std::vector<RestrictionsRow>{
                                      {u"Denied", u"a"}, {u"Denied", u"b"}, {u"Denied", u"a"}}));

    // Selecting a row picks its list's mode and enables "-" for it.
    model.OnRowSelected(Except, 2);
    EXPECT_EQ(model.Mode(), Except);
    EXPECT_TRUE(model.State(Control::ExceptionRadio).checked);
    EXPECT_TRUE(model.State(Control::RemoveButton).enabled);
    model.OnModeSelected(Allow);
    EXPECT_FALSE(model.State(Control::RemoveButton).enabled);
    model.OnModeSelected(Except);
    EXPECT_TRUE(model.State(Control::RemoveButton).enabled);

    // Removing the second "a" row takes the first matching element; the row shown goes.
    model.OnRemove();
    EXPECT_EQ(h.Addresses(Except), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_FALSE(model.State(Control::RemoveButton).enabled);
    h.Add(u"b");
    EXPECT_EQ(h.Addresses(Except), (std::vector<std::u16string>{u"a", u"b", u"b"}));
    model.OnModeSelected(Allow);
    model.OnAdd();  // cancelled
    EXPECT_EQ(h.Addresses(Allow), (std::vector<std::u16string>{u"c"}));

    // OK writes the mode only because it changed from the loaded one.
    model.OnModeSelected(Except);
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), Head +
                               "<AccessMode Active=\"ExceptionList\"/><ExceptionMediaServerList>"
                               "<Address>b</Address><Address>a</Address><Address>b</Address>"
                               "</ExceptionMediaServerList><AllowedMediaServerList>"
                               "<Address>c</Address></AllowedMediaServerList>"
                               "</IPRestrictionsConfig>\n");
    EXPECT_TRUE(h.prompter.shown.empty());
}

TEST(DelegateRestrictionsModel, FailuresShowTheirMessageAndLeaveTheListAsItWas) {
    const std::u16string longAddress(80, u'x');
    // No allowed list, an address longer than a row's read-back, no "Active" attribute.
    const std::string file = Head + "<AccessMode/><ExceptionMediaServerList><Address>" +
                             std::string(80, 'x') +
                             "</Address></ExceptionMediaServerList></IPRestrictionsConfig>\n";
    Harness h(file);
    DelegateRestrictionsModel& model = h.Open();
    // Without its mode the file shows as an empty exception list.
    EXPECT_EQ(model.Mode(), Except);
    EXPECT_TRUE(model.Rows(Except).empty());

    model.OnModeSelected(Allow);
    h.Add(u"d");
    EXPECT_TRUE(model.Rows(Allow).empty());
    model.OnModeSelected(Except);
    h.Add(std::u16string(longAddress));
    model.OnRowSelected(Except, 0);
    model.OnRemove();
    EXPECT_EQ(h.Addresses(Except), std::vector<std::u16string>{longAddress});
    EXPECT_TRUE(model.State(Control::RemoveButton).enabled);

    const std::u16string caption = u"Configuration of Media Server";
    ASSERT_EQ(h.prompter.shown.size(), 2u);
    EXPECT_EQ(h.prompter.shown[0].text, u"Error adding Media Server address to the server's list");
    EXPECT_EQ(h.prompter.shown[1].text,
              u"Error removing Media Server address from the server's list");
    for (const auto& shown : h.prompter.shown) {
        EXPECT_EQ(shown.caption, caption);
        EXPECT_EQ(shown.icon, MessageIcon::Error);
        EXPECT_FALSE(shown.question);
    }

    // A mode change cannot be stored without the attribute; the rest is saved all the same.
    model.OnModeSelected(Allow);
    model.OnModeSelected(Except);
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), Head + "<AccessMode/><ExceptionMediaServerList><Address>" +
                               std::string(80, 'x') + "</Address><Address>" + std::string(80, 'x') +
                               "</Address></ExceptionMediaServerList></IPRestrictionsConfig>\n");
}

TEST(DelegateRestrictionsModel, OnlyOkTellsTheServer) {
    struct Case {
        const char* name;
        bool ok;
        bool serverUp;
        int writes;
        int changed;
    };
    const Case cases[] = {
        {"OK while the server runs", true, true, 1, 1},
        {"OK without a server", true, false, 1, 0},
        {"Cancel", false, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        test::RestrictionsServer server;
        server.up = c.serverUp;
        DelegateRestrictionsModel& model = h.Open();
        const bool accepted = RunDelegateRestrictions(
            model,
            [&](DelegateRestrictionsModel& shown) {
                h.Add(u"10.1.1.1");
                return c.ok && shown.OnOk();
            },
            server);
        EXPECT_EQ(accepted, c.ok);
        EXPECT_EQ(static_cast<int>(h.files.writes.size()), c.writes);
        EXPECT_EQ(server.changed, c.changed);
    }
}

TEST(AddAddressModel, AddIsEnabledOnlyForSomethingBesidesBlanks) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u""},       {u" \t\r\n\v\f", u""},    {u"  10.0.0.2 ", u"10.0.0.2"},
        {u"a b", u"a b"}, {u"\tmédia\n", u"média"},
    };
    AddAddressModel model;
    EXPECT_FALSE(model.AddState().enabled);
    for (const auto& [typed, address] : cases) {
        model.SetEditText(typed);
        EXPECT_EQ(model.EditState().text, typed);
        EXPECT_EQ(model.Address(), address);
        EXPECT_EQ(model.AddState().enabled, !address.empty());
    }
}

}  // namespace
