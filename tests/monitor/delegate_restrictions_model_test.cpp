#include "monitor/delegate_restrictions_model.h"

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/add_address_model.h"
#include "monitor/restrictions_fakes.h"

using namespace vantor;
namespace {

constexpr auto Except = DelegateAccessMode::ExceptionList;
constexpr auto Allow = DelegateAccessMode::AllowedList;
using Control = RestrictionsControl;

using test::RestrictionsBody;
using test::RestrictionsFile;

const std::string FilePath = "/data/VantorIPRestrictions.config";

// A restrictions dialog over a fake file.
struct Harness {
    // A file with that body, or none.
    explicit Harness(const std::string& body = {}) {
        if (!body.empty()) {
            const std::string file = RestrictionsFile(body);
            files.files[FilePath].assign(file.begin(), file.end());
        }
    }

    DelegateRestrictionsModel& Open() {
        model = std::make_unique<DelegateRestrictionsModel>(
            files, FixedRestrictionsFile(FilePath), prompter, [this](std::u16string& address) {
                const bool given = answer.has_value();
                address = std::exchange(answer, std::nullopt).value_or(address);
                return given;
            });
        EXPECT_TRUE(model->OnOpen());
        return *model;
    }
    void Add(std::u16string typed) {
        answer = std::move(typed);
        model->OnAdd();
    }
    std::vector<std::u16string> Addresses(DelegateAccessMode list) const {
        std::vector<std::u16string> addresses;
        for (const RestrictionsRow& row : model->Rows(list)) {
            addresses.push_back(row.address);
        }
        return addresses;
    }
    // The checked radio, then "+", "-" and OK when enabled: "exception + - OK".
    std::string Controls() const {
        std::string text = model->State(Control::ExceptionRadio).checked ? "exception" : "";
        text += model->State(Control::AllowedRadio).checked ? "allowed" : "";
        for (auto [control, name] : {std::pair(Control::AddButton, " +"),
                                     {Control::RemoveButton, " -"},
                                     {Control::OkButton, " OK"}}) {
            text += model->State(control).enabled ? name : "";
        }
        return text;
    }
    std::string Written() { return {files.files[FilePath].begin(), files.files[FilePath].end()}; }

    test::FakeFileStore files;
    test::RecordingPrompter prompter;
    std::optional<std::u16string> answer;  // none: the add dialog is cancelled
    std::unique_ptr<DelegateRestrictionsModel> model;
};

using Addresses = std::vector<std::u16string>;

TEST(DelegateRestrictionsModel, WithoutAFileOpensOnTheExceptionListAndOkWritesTheDefault) {
    Harness h;
    DelegateRestrictionsModel& model = h.Open();
    EXPECT_EQ(h.Controls(), "exception + OK");
    for (Control control :
         {Control::ModeGroup, Control::ExceptionRadio, Control::AllowedRadio, Control::AddButton,
          Control::RemoveButton, Control::OkButton, Control::CancelButton}) {
        EXPECT_FALSE(model.State(control).text.empty()) << static_cast<int>(control);
    }
    EXPECT_EQ(std::pair(h.Addresses(Except), h.Addresses(Allow)),
              std::pair(Addresses{}, Addresses{}));
    EXPECT_TRUE(h.files.writes.empty());

    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), RestrictionsFile(RestrictionsBody("ExceptionList", {}, {})));
    EXPECT_TRUE(h.prompter.shown.empty());
}

TEST(DelegateRestrictionsModel, TheAllowedListCannotBeConfirmedEmpty) {
    Harness h;
    DelegateRestrictionsModel& model = h.Open();
    model.OnModeSelected(Allow);
    EXPECT_EQ(h.Controls(), "allowed +");
    EXPECT_FALSE(model.OnOk());
    EXPECT_TRUE(h.files.writes.empty());

    // Blanks around an address are dropped; an all-blank answer adds nothing.
    h.Add(u"  \t ");
    EXPECT_EQ(h.Controls(), "allowed +");
    h.Add(u"  delegate.example \n");
    EXPECT_EQ(h.Controls(), "allowed + OK");
    EXPECT_EQ(model.Rows(Allow), (std::vector<RestrictionsRow>{{u"Allowed", u"delegate.example"}}));
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(),
              RestrictionsFile(RestrictionsBody("AllowedList", {}, {"delegate.example"})));
}

TEST(DelegateRestrictionsModel, AddsAndRemovesOnTheCurrentModesList) {
    Harness h(RestrictionsBody("exceptionlist", {"a", "b", "a"}, {"c"}));
    DelegateRestrictionsModel& model = h.Open();
    // Any text but "ExceptionList", even in another case, is the allowed list.
    EXPECT_EQ(h.Controls(), "allowed + OK");
    EXPECT_EQ(model.Rows(Except), (std::vector<RestrictionsRow>{
                                      {u"Denied", u"a"}, {u"Denied", u"b"}, {u"Denied", u"a"}}));

    // Selecting a row picks its list's mode and enables "-" for it; with nothing selected "-"
    // does nothing.
    model.OnRemove();
    model.OnRowSelected(Except, 2);
    EXPECT_EQ(h.Controls(), "exception + - OK");
    model.OnModeSelected(Allow);
    EXPECT_EQ(h.Controls(), "allowed + OK");
    model.OnModeSelected(Except);
    EXPECT_EQ(h.Controls(), "exception + - OK");

    // Removing the second "a" row takes the first matching element; the row shown goes.
    model.OnRemove();
    EXPECT_EQ(h.Addresses(Except), (Addresses{u"a", u"b"}));
    EXPECT_EQ(h.Controls(), "exception + OK");
    h.Add(u"b");
    EXPECT_EQ(h.Addresses(Except), (Addresses{u"a", u"b", u"b"}));
    model.OnModeSelected(Allow);
    model.OnAdd();  // cancelled
    EXPECT_EQ(h.Addresses(Allow), (Addresses{u"c"}));

    // OK writes the mode only because it changed from the loaded one.
    model.OnModeSelected(Except);
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(),
              RestrictionsFile(RestrictionsBody("ExceptionList", {"b", "a", "b"}, {"c"})));
    EXPECT_TRUE(h.prompter.shown.empty());
}

TEST(DelegateRestrictionsModel, FailuresShowTheirMessageAndLeaveTheListAsItWas) {
    // No allowed list, an address longer than a row's read-back, no "Active" attribute.
    const std::u16string longAddress(80, u'x');
    const std::string x80 = "<Address>" + std::string(80, 'x') + "</Address>";
    Harness h("<AccessMode/><ExceptionMediaServerList>" + x80 + "</ExceptionMediaServerList>");
    DelegateRestrictionsModel& model = h.Open();
    // Without its mode the file shows as an empty exception list.
    EXPECT_EQ(h.Controls(), "exception + OK");
    EXPECT_TRUE(model.Rows(Except).empty());

    model.OnModeSelected(Allow);
    h.Add(u"d");
    EXPECT_TRUE(model.Rows(Allow).empty());
    model.OnModeSelected(Except);
    h.Add(longAddress);
    model.OnRowSelected(Except, 0);
    model.OnRemove();
    EXPECT_EQ(h.Addresses(Except), Addresses{longAddress});
    EXPECT_EQ(h.Controls(), "exception + - OK");

    ASSERT_EQ(h.prompter.shown.size(), 2u);
    for (const auto& [shown, text] :
         {std::pair(h.prompter.shown[0], u"Error adding Media Server address to the server's list"),
          {h.prompter.shown[1], u"Error removing Media Server address from the server's list"}}) {
        EXPECT_EQ(std::tuple(shown.text, shown.caption, shown.icon, shown.question),
                  std::tuple(text, u"Configuration of Media Server", MessageIcon::Error, false));
    }

    // A mode change cannot be stored without the attribute; the rest is saved all the same.
    model.OnModeSelected(Allow);
    model.OnModeSelected(Except);
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), RestrictionsFile("<AccessMode/><ExceptionMediaServerList>" + x80 + x80 +
                                            "</ExceptionMediaServerList>"));
}

TEST(DelegateRestrictionsModel, OnlyOkTellsTheServer) {
    // OK while the server runs, OK without a server, Cancel.
    for (auto [ok, serverUp, writes, changed] :
         {std::tuple(true, true, 1u, 1), {true, false, 1u, 0}, {false, true, 0u, 0}}) {
        Harness h;
        test::RestrictionsServer server;
        server.up = serverUp;
        const bool accepted = RunDelegateRestrictions(
            h.Open(),
            [&](DelegateRestrictionsModel& shown) {
                h.Add(u"10.1.1.1");
                return ok && shown.OnOk();
            },
            server);
        EXPECT_EQ(std::tuple(accepted, h.files.writes.size(), server.changed),
                  std::tuple(ok, writes, changed));
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
        EXPECT_EQ(std::tuple(model.EditState().text, model.Address(), model.AddState().enabled),
                  std::tuple(typed, address, !address.empty()));
    }
}

}  // namespace
