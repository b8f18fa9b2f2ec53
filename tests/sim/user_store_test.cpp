#include "sim/user_store.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(UserStore, AddRefusesEmptyDuplicateAndBadGroups) {
    UserStore users;
    EXPECT_TRUE(users.Add("ann", 1, "pass1", "first user").ok);
    EXPECT_TRUE(users.Add("Bob", 3, "pass2", "").ok);

    UserChange change = users.Add("", 1, "pw", "x");
    EXPECT_FALSE(change.ok);
    EXPECT_EQ(change.errorText, NoUserNameText);
    change = users.Add("ANN", 2, "other", "x");
    EXPECT_FALSE(change.ok);
    EXPECT_EQ(change.errorText, UserExistsText);
    for (qint32 group : {0, 4, -1}) {
        change = users.Add("carl", group, "pw", "");
        EXPECT_FALSE(change.ok);
        EXPECT_EQ(change.errorText, BadGroupText);
    }
    // Refusals leave the store as it was; records keep the order of adding.
    EXPECT_EQ(users.Records(), (QStringList{"ann Basic first user", "Bob Advanced "}));
}

TEST(UserStore, ChangesFindUsersRegardlessOfCaseAndRefuseUnknownOnes) {
    UserStore users;
    users.Add("ann", 1, "pass1", "info");
    users.Add("bob", 2, "pass2", "more info");

    EXPECT_TRUE(users.SetPassword("ANN", " new pw ").ok);
    EXPECT_EQ(users.Accounts()[0].password, " new pw ");
    EXPECT_TRUE(users.Update("Bob", 3, "now advanced").ok);
    EXPECT_FALSE(users.Update("bob", 7, "bad").ok);
    EXPECT_EQ(users.Records(), (QStringList{"ann Basic info", "bob Advanced now advanced"}));

    for (const UserChange& change :
         {users.SetPassword("zed", "pw"), users.Update("zed", 1, ""), users.Remove("zed")}) {
        EXPECT_FALSE(change.ok);
        EXPECT_EQ(change.errorText, NoSuchUserText);
    }
    EXPECT_TRUE(users.Remove("ANN").ok);
    EXPECT_FALSE(users.Remove("ann").ok);
    EXPECT_EQ(users.Records(), QStringList{"bob Advanced now advanced"});
    EXPECT_TRUE(users.Add("ann", 2, "again", "back").ok);
}

}  // namespace
}  // namespace vantor::sim
