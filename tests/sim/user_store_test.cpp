#include "sim/user_store.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(UserStore, RefusalsLeaveTheStoreAndNamesIgnoreCase) {
    UserStore users;
    EXPECT_TRUE(users.Add("ann", 1, "pass1", "first user").ok);
    EXPECT_TRUE(users.Add("Bob", 3, "pass2", "").ok);
    const std::pair<UserChange, const char*> refusals[] = {
        {users.Add("", 1, "pw", "x"), NoUserNameText},
        {users.Add("ANN", 2, "other", "x"), UserExistsText},
        {users.Add("carl", 0, "pw", ""), BadGroupText},
        {users.Add("carl", 4, "pw", ""), BadGroupText},
        {users.Update("bob", -1, "bad"), BadGroupText},
        {users.SetPassword("zed", "pw"), NoSuchUserText},
        {users.Update("zed", 1, ""), NoSuchUserText},
        {users.Remove("zed"), NoSuchUserText},
    };
    for (const auto& [change, text] : refusals) {
        EXPECT_FALSE(change.ok) << text;
        EXPECT_EQ(change.errorText, text);
    }
    // Records keep the order of adding.
    EXPECT_EQ(users.Records(), (QStringList{"ann Basic first user", "Bob Advanced "}));

    EXPECT_TRUE(users.SetPassword("ANN", " new pw ").ok);
    EXPECT_EQ(users.Accounts()[0].password, " new pw ");
    EXPECT_TRUE(users.Update("BOB", 2, "now medium").ok);
    EXPECT_TRUE(users.Remove("Ann").ok);
    EXPECT_FALSE(users.Remove("ann").ok);
    EXPECT_EQ(users.Records(), QStringList{"Bob Medium now medium"});
    EXPECT_TRUE(users.Add("ann", 2, "again", "back").ok);
}

}  // namespace
}  // namespace vantor::sim
