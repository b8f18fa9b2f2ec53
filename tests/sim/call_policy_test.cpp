#include "sim/call_policy.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(CallPolicy, HangsAndResultsApplyPerCall) {
    CallPolicy policy;
    const QString reload = "Vantor.VTRConfig.ReloadConfiguration";
    EXPECT_FALSE(policy.Hangs(reload));
    policy.SetHang(reload, true);
    EXPECT_TRUE(policy.Hangs(reload));
    EXPECT_FALSE(policy.Hangs("Vantor.UsersAccess.GetUsers"));
    policy.SetHang(reload, false);
    EXPECT_FALSE(policy.Hangs(reload));

    EXPECT_EQ(policy.Result(reload), std::nullopt);
    policy.SetResult(reload, 0x80004005u);
    EXPECT_EQ(policy.Result(reload), 0x80004005u);
    policy.ClearResult(reload);
    EXPECT_EQ(policy.Result(reload), std::nullopt);
}

TEST(CallPolicy, LogKeepsTheMostRecentEntries) {
    CallPolicy policy;
    for (qsizetype i = 0; i < CallPolicy::MaxLogEntries + 5; ++i) {
        policy.Record(QString::number(i));
    }
    ASSERT_EQ(policy.Log().size(), CallPolicy::MaxLogEntries);
    EXPECT_EQ(policy.Log().front(), "5");
    EXPECT_EQ(policy.Log().back(), QString::number(CallPolicy::MaxLogEntries + 4));
    policy.ClearLog();
    EXPECT_TRUE(policy.Log().isEmpty());
}

}  // namespace
}  // namespace vantor::sim
