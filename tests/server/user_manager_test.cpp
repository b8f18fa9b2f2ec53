#include "server/user_manager.h"

#include <gtest/gtest.h>

#include "fake_users_server.h"

using namespace vantor;
using test::FakeUsersServer;
using test::RecordingPrompter;
namespace {

using Calls = std::vector<std::string>;
const Calls kAddCalls = {"wait", "Create", "AddUser cid 2 secret a b", "GetUsers"};

struct UserManagerTest : ::testing::Test {
    UserManager manager{
        server, prompter, [this] { server.calls.push_back("wait"); },
        [this](NewUserEntry& entry) {
            entry = newUser;
            return answer;
        },
        [this](UserUpdateEntry& entry) {
            shownUpdate = entry;
            entry = {entry.name, update.mode, update.password, update.information, update.group};
            return answer;
        }};

    void Open(std::vector<std::u16string> records) {
        server.records = std::move(records);
        manager.Open();
        server.calls.clear();
    }
    std::string Messages() const { return test::Messages(prompter); }

    FakeUsersServer server;
    RecordingPrompter prompter;
    bool answer = true;
    NewUserEntry newUser{u"cid", u"secret", u"a b", MediumGroup};
    UserUpdateEntry update;
    std::optional<UserUpdateEntry> shownUpdate;
};

TEST_F(UserManagerTest, LoadingFillsTheListOrSaysWhyNot) {
    Open({u"ann Basic x", u"bob Medium"});
    EXPECT_EQ(manager.List().Rows(),
              (std::vector<UserRow>{{u"ann", u"Basic", u"x"}, {u"bob", u"", u"Medium"}}));
    server.noData = true;
    manager.Open();
    EXPECT_TRUE(manager.List().Empty());
    server.listResult = EFail;
    manager.Open();
    server.reachable = false;
    manager.Open();
    EXPECT_EQ(Messages(), ": Unable to load users.\n: Unable to access user manager.\n");
}

TEST_F(UserManagerTest, AddWaitsCreatesAddsReloadsAndShowsTheLastRowOrTheRefusal) {
    Open({u"ann Basic x"});
    manager.AddUserCommand();
    EXPECT_EQ(server.calls, kAddCalls);
    EXPECT_EQ(manager.List().Rows().back(), (UserRow{u"cid", u"Medium", u"a b"}));
    EXPECT_EQ(manager.List().TakeRowToShow(), 1u);
    // Sorting moves the rows, so a row still to be shown is dropped.
    manager.AddUserCommand();
    manager.List().SortBy(UserColumn::Name);
    EXPECT_EQ(manager.List().TakeRowToShow(), std::nullopt);
    // A refusal shows the server's text, and the list is reloaded all the same.
    Open({u"ann Basic x"});
    server.refusal = u"A user with this name already exists";
    manager.AddUserCommand();
    EXPECT_EQ(server.calls, kAddCalls);
    EXPECT_EQ(Messages(), "Error: A user with this name already exists\n");
}

TEST_F(UserManagerTest, CancelledDialogsMissingSelectionsAndAnUnreachableObjectTouchNothing) {
    Open({u"ann Basic x"});
    answer = false;
    manager.AddUserCommand();
    manager.RemoveUserCommand();  // nothing selected
    EXPECT_EQ(server.calls, Calls{});

    answer = true;
    manager.OnSelectionChanged(0);
    server.reachable = false;
    manager.AddUserCommand();
    manager.RemoveUserCommand();
    EXPECT_EQ(server.calls, (Calls{"wait", "Create failed", "wait", "Create failed"}));
    EXPECT_EQ(Messages(), ": Unable to access user manager.\n: Unable to access user manager.\n");
    EXPECT_EQ(manager.List().Size(), 1u);  // not reloaded
}

TEST_F(UserManagerTest, RemoveSelectsTheRowThatTookItsPlaceOrTheNewLastRow) {
    Open({u"ann Basic", u"bob Basic", u"cid Basic"});
    EXPECT_TRUE(manager.RowCommandsEnabled());  // before any selection
    manager.OnSelectionChanged(0);
    manager.RemoveUserCommand();
    EXPECT_EQ(server.calls, (Calls{"wait", "Create", "DeleteUser ann", "GetUsers"}));
    EXPECT_EQ(manager.List().Selected(), 0u);
    EXPECT_EQ(manager.List().TakeRowToShow(), 0u);
    EXPECT_EQ(manager.List().Rows()[0].name, u"bob");

    manager.OnSelectionChanged(1);
    manager.RemoveUserCommand();  // the last row: the one before it is selected
    EXPECT_EQ(manager.List().Selected(), 0u);
    EXPECT_TRUE(manager.RowCommandsEnabled());
    manager.RemoveUserCommand();
    EXPECT_EQ(manager.List().Selected(), std::nullopt);
    EXPECT_FALSE(manager.RowCommandsEnabled());
}

TEST_F(UserManagerTest, UpdateOpensOnTheRowAndCallsWhatItsModeChanges) {
    Open({u"ann advanced  the desk", u"bob Advanced x"});
    manager.OnSelectionChanged(0);
    update = {u"", UserUpdateMode::ChangePassword, u"n3w pass", u"", BasicGroup};
    manager.UpdateUserCommand();
    // A group in another letter case opens as Basic.
    EXPECT_EQ(shownUpdate,
              (UserUpdateEntry{u"ann", UserUpdateMode::ChangePassword, u"", u" the desk", 1}));

    manager.OnSelectionChanged(1);
    update = {u"", UserUpdateMode::ChangeSettings, u"", u"new info", MediumGroup};
    manager.UpdateUserCommand();
    EXPECT_EQ(shownUpdate->group, AdvancedGroup);
    EXPECT_EQ(server.calls, (Calls{"wait", "Create", "SetUserPassword ann n3w pass", "GetUsers",
                                   "wait", "Create", "UpdateUser bob 2 new info", "GetUsers"}));
}

}  // namespace
