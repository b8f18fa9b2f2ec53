#include "sim/call_policy.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(CallPolicy, HangsAndResultsApplyPerCallAndTheLogKeepsTheLatest) {
    CallPolicy policy;
    const QString reload = "Vantor.VTRConfig.ReloadConfiguration";
    policy.SetHang(reload, true);
    policy.SetResult(reload, 0x80004005u);
    EXPECT_TRUE(policy.Hangs(reload));
    EXPECT_EQ(policy.Result(reload), 0x80004005u);
    EXPECT_FALSE(policy.Hangs("Vantor.UsersAccess.GetUsers"));
    EXPECT_EQ(policy.Result("Vantor.UsersAccess.GetUsers"), std::nullopt);
    policy.SetHang(reload, false);
    policy.ClearResult(reload);
    EXPECT_FALSE(policy.Hangs(reload));
    EXPECT_EQ(policy.Result(reload), std::nullopt);

    for (qsizetype i = 0; i < CallPolicy::MaxLogEntries + 5; ++i) {
        policy.Record(QString::number(i));
    }
    ASSERT_EQ(policy.Log().size(), CallPolicy::MaxLogEntries);
    EXPECT_EQ(policy.Log().front(), "5");
    EXPECT_EQ(policy.Log().back(), QString::number(CallPolicy::MaxLogEntries + 4));
}

}  // namespace
}  // namespace vantor::sim
