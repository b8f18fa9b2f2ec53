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

    DelegateRestrictionsModel& Make() {
        model = std::make_unique<DelegateRestrictionsModel>(
            files, FixedRestrictionsFile(FilePath), prompter, [this](std::u16string& address) {
                const bool given = answer.has_value();
                address = std::exchange(answer, std::nullopt).value_or(address);
                return given;
            });
        return *model;
    }
    DelegateRestrictionsModel& Open() {
        EXPECT_TRUE(Make().OnOpen());
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
    // The messages shown, and forgets them.
    std::vector<std::u16string> Shown() {
        std::vector<std::u16string> texts;
        for (const auto& shown : std::exchange(prompter.shown, {})) {
            texts.push_back(shown.text);
        }
        return texts;
    }

    test::RestrictionsFileStore files;
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

TEST(DelegateRestrictionsModel, OkOverAFileChangedMeanwhileKeepsBothChanges) {
    const std::string path = FilePath;
    Harness h(RestrictionsBody("ExceptionList", {"a", "b", "a"}, {"c"}));
    DelegateRestrictionsModel& model = h.Open();
    h.Add(u"d");
    h.Add(u"both");
    model.OnRowSelected(Except, 1);
    model.OnRemove();  // b
    model.OnRowSelected(Except, 0);
    model.OnRemove();  // one of the two a
    model.OnModeSelected(Allow);

    // Another program removed b and c, added e, f and "both", and kept the mode.
    h.files.WriteBehind(
        path, RestrictionsFile(RestrictionsBody("ExceptionList", {"a", "e", "a", "both"}, {"f"})));
    h.files.events.clear();
    EXPECT_TRUE(model.OnOk());
    // Under one lock, from the look at the file to the write; "both" stands once.
    EXPECT_EQ(h.files.events, (std::vector<std::string>{"lock " + path, "read " + path,
                                                        "write " + path, "unlock " + path}));
    EXPECT_EQ(h.Written(),
              RestrictionsFile(RestrictionsBody("AllowedList", {"e", "a", "both", "d"}, {"f"})));
    EXPECT_TRUE(h.Shown().empty());
    // The dialog shows what the file holds.
    EXPECT_EQ(std::pair(h.Addresses(Except), h.Addresses(Allow)),
              std::pair(Addresses{u"e", u"a", u"both", u"d"}, Addresses{u"f"}));
    EXPECT_EQ(model.Mode(), Allow);

    // The other program's mode stands when the user left it alone; an identical rewrite is
    // no change at all.
    Harness again(RestrictionsBody("ExceptionList", {}, {"c"}));
    again.Open();
    again.Add(u"x");
    again.files.WriteBehind(path, RestrictionsFile(RestrictionsBody("AllowedList", {}, {"c"})));
    EXPECT_TRUE(again.model->OnOk());
    EXPECT_EQ(again.Written(), RestrictionsFile(RestrictionsBody("AllowedList", {"x"}, {"c"})));
}

TEST(DelegateRestrictionsModel, OkLooksAtTheBytesOnlyWhenTheStampMoved) {
    Harness h(RestrictionsBody("ExceptionList", {"a"}, {}));
    DelegateRestrictionsModel& model = h.Open();
    h.files.events.clear();
    h.Add(u"b");
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.files.events, (std::vector<std::string>{"lock " + FilePath, "write " + FilePath,
                                                        "unlock " + FilePath}));
    // What OK wrote is the file the next OK expects.
    h.files.events.clear();
    model.OnModeSelected(Allow);
    h.Add(u"c");
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.files.events, (std::vector<std::string>{"lock " + FilePath, "write " + FilePath,
                                                        "unlock " + FilePath}));
    EXPECT_EQ(h.Written(), RestrictionsFile(RestrictionsBody("AllowedList", {"a", "b"}, {"c"})));

    // The same bytes written anew are read, and found to be no change: the user's second "a"
    // stays, where a merge would take it for the other program's.
    Harness rewritten(RestrictionsBody("ExceptionList", {"a"}, {}));
    rewritten.Open();
    rewritten.Add(u"a");
    rewritten.files.WriteBehind(FilePath, rewritten.Written());
    rewritten.files.events.clear();
    EXPECT_TRUE(rewritten.model->OnOk());
    EXPECT_EQ(rewritten.files.events,
              (std::vector<std::string>{"lock " + FilePath, "read " + FilePath, "write " + FilePath,
                                        "unlock " + FilePath}));
    EXPECT_EQ(rewritten.Written(),
              RestrictionsFile(RestrictionsBody("ExceptionList", {"a", "a"}, {})));
}

TEST(DelegateRestrictionsModel, ChangesThatMeetAnotherProgramsWriteNothing) {
    // The user denies all but c; meanwhile c is removed from the allowed list.
    Harness h(RestrictionsBody("ExceptionList", {}, {"c"}));
    DelegateRestrictionsModel& model = h.Open();
    model.OnModeSelected(Allow);
    const std::string theirs = RestrictionsFile(RestrictionsBody("ExceptionList", {"n"}, {}));
    h.files.WriteBehind(FilePath, theirs);
    EXPECT_FALSE(model.OnOk());
    EXPECT_EQ(h.Shown(), std::vector<std::u16string>{
                             u"Another program changed the restrictions file while this dialog "
                             u"was open, and your changes no longer fit it (for instance, the "
                             u"allowed list would be empty). Nothing was saved. The dialog now "
                             u"shows the file as it is, with those of your changes that still "
                             u"fit."});
    EXPECT_EQ(h.Written(), theirs);
    EXPECT_EQ(h.files.writes.size(), 1u);  // theirs
    // The dialog shows the file with the user's mode, which cannot be confirmed empty.
    EXPECT_EQ(h.Controls(), "allowed +");
    EXPECT_EQ(h.Addresses(Except), Addresses{u"n"});
    h.Add(u"d");
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.Written(), RestrictionsFile(RestrictionsBody("AllowedList", {"n"}, {"d"})));

    // A busy lock: nothing read or written, and OK works again once it is free.
    Harness busy;
    busy.Open();
    busy.files.lockStatus = LockStatus::Busy;
    busy.Add(u"a");
    EXPECT_FALSE(busy.model->OnOk());
    EXPECT_EQ(busy.Shown(),
              std::vector<std::u16string>{u"Another program is changing the restrictions file. "
                                          u"Nothing was saved; click OK again in a moment."});
    EXPECT_TRUE(busy.files.writes.empty());
    busy.files.lockStatus = LockStatus::Locked;
    EXPECT_TRUE(busy.model->OnOk());
    EXPECT_EQ(busy.Written(), RestrictionsFile(RestrictionsBody("ExceptionList", {"a"}, {})));

    // No lock can be made there: the change is written all the same.
    Harness lockless;
    lockless.Open();
    lockless.files.lockStatus = LockStatus::Unavailable;
    EXPECT_TRUE(lockless.model->OnOk());
    EXPECT_EQ(lockless.files.writes, std::vector<std::string>{FilePath});
}

TEST(DelegateRestrictionsModel, AnUnreadableFileIsReplacedOnlyAfterSayingSoAndKeptAside) {
    const std::string cut =
        RestrictionsFile(RestrictionsBody("AllowedList", {}, {"only"})).substr(0, 120);
    Harness h;
    h.files.WriteBehind(FilePath, cut);
    h.files.WriteBehind(FilePath + ".damaged", "an older copy");
    DelegateRestrictionsModel& model = h.Make();
    // Nothing works but Cancel until the file has been read.
    EXPECT_EQ(h.Controls(), "exception");
    EXPECT_FALSE(model.OnOk());
    EXPECT_TRUE(model.OnOpen());
    EXPECT_TRUE(model.FileUnreadable());
    EXPECT_EQ(model.UnreadableMessage(),
              u"The restrictions file /data/VantorIPRestrictions.config could not be read: it is "
              u"cut short, is not well-formed XML, is larger than 16 MiB or may not be read by "
              u"you. OK will replace it with the lists shown here, and the unreadable file will "
              u"be kept as /data/VantorIPRestrictions.config.damaged.2.");
    EXPECT_EQ(h.Controls(), "exception + OK");
    h.Add(u"new");
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(h.files.Text(FilePath + ".damaged.2"), cut);
    EXPECT_EQ(h.files.Text(FilePath + ".damaged"), "an older copy");
    EXPECT_EQ(h.Written(), RestrictionsFile(RestrictionsBody("ExceptionList", {"new"}, {})));

    // Reported larger than 16 MiB: not read at all; and not replaced when no copy can be made
    // (here it cannot be read for one).
    Harness large(RestrictionsBody("ExceptionList", {"a"}, {}));
    large.files.reportedSize[FilePath] = (16u << 20) + 1;
    large.Make().OnOpen();
    EXPECT_EQ(large.files.events, std::vector<std::string>{});
    EXPECT_TRUE(large.model->FileUnreadable());
    EXPECT_TRUE(large.Addresses(Except).empty());
    large.files.reportedSize.clear();
    large.files.unreadable.insert(FilePath);
    EXPECT_FALSE(large.model->OnOk());
    EXPECT_EQ(large.Shown(), std::vector<std::u16string>{
                                 u"The unreadable restrictions file could not be kept as a copy, "
                                 u"so it was not replaced. Nothing was saved."});
    EXPECT_TRUE(large.files.writes.empty());

    // Read well at first and cut short meanwhile: said first, replaced at the next OK.
    Harness later(RestrictionsBody("ExceptionList", {"a"}, {}));
    later.Open();
    later.Add(u"b");
    later.files.WriteBehind(FilePath, cut);
    EXPECT_FALSE(later.model->OnOk());
    EXPECT_EQ(later.Shown(), std::vector<std::u16string>{later.model->UnreadableMessage()});
    EXPECT_NE(later.model->UnreadableMessage(), u"");
    EXPECT_EQ(later.Written(), cut);
    EXPECT_TRUE(later.model->OnOk());
    EXPECT_EQ(later.files.Text(FilePath + ".damaged"), cut);
    EXPECT_EQ(later.Written(), RestrictionsFile(RestrictionsBody("ExceptionList", {"a", "b"}, {})));
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
