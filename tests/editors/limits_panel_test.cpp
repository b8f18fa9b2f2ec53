#include "editors/limits_panel.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// What a pair shows: its check box checked, its edit box enabled, the edit box's text.
using Shown = std::tuple<bool, bool, std::u16string>;
Shown ShownOf(const LimitsPanel& panel, LimitPair pair) {
    const ControlState& edit = panel.State(LimitsPanel::EditOf(pair));
    return {panel.State(LimitsPanel::CheckBoxOf(pair)).checked, edit.enabled, edit.text};
}

TEST(LimitsPanel, VariantsTitleTheGroupAndShowPlayTimeOnlyForBroadcasts) {
    LimitsPanel folder(false);
    LimitsPanel broadcast(true);
    EXPECT_EQ(folder.State(LimitsControl::GroupBox).text,
              u" Limit player connections to this virtual folder");
    EXPECT_EQ(broadcast.State(LimitsControl::GroupBox).text,
              u" Limit player connections to this broadcast");
    EXPECT_FALSE(folder.State(LimitsControl::PlayTimeCheck).visible);
    EXPECT_TRUE(broadcast.State(LimitsControl::PlayTimeCheck).visible);
    EXPECT_TRUE(LimitsPanel::DigitsOnly(LimitsControl::ThroughputEdit));
    EXPECT_FALSE(LimitsPanel::DigitsOnly(LimitsControl::ConnectionsPerUserEdit));
}

TEST(LimitsPanel, LoadChecksSetLimitsAndTogglingOnlyEnablesTheEditBox) {
    LimitsPanel panel(true);
    panel.Load(25, -5, 0, -1);
    EXPECT_EQ(ShownOf(panel, LimitPair::TotalConnections), Shown(true, true, u"25"));
    EXPECT_EQ(ShownOf(panel, LimitPair::ConnectionsPerUser), Shown(true, true, u"-5"));
    EXPECT_EQ(ShownOf(panel, LimitPair::Throughput), Shown(false, false, u"0"));
    EXPECT_EQ(ShownOf(panel, LimitPair::PlayTime), Shown(false, false, u""));
    panel.Load(0, 0, 0, 0);
    EXPECT_EQ(ShownOf(panel, LimitPair::PlayTime), Shown(true, true, u"0"));

    panel.Load(0, 7, 0, 15);
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, 15);
    panel.OnPairToggled(LimitPair::TotalConnections, true);
    EXPECT_EQ(ShownOf(panel, LimitPair::TotalConnections), Shown(true, true, u"0"));
    panel.OnPairToggled(LimitPair::PlayTime, false);
    EXPECT_EQ(ShownOf(panel, LimitPair::PlayTime), Shown(false, false, u"15"));
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, -1);
}

// One edit after another on a panel with every pair checked; each row's message is the first
// failing pair's, in the order total connections, per user, throughput.
TEST(LimitsPanel, ReadsThePairsInOrderWithTheirOwnMessages) {
    constexpr LimitPair kTotal = LimitPair::TotalConnections;
    constexpr LimitPair kPerUser = LimitPair::ConnectionsPerUser;
    constexpr LimitPair kThroughput = LimitPair::Throughput;
    struct Step {
        LimitPair pair;
        std::u16string_view text;
        std::u16string_view message;
    };
    const Step steps[] = {
        {kTotal, u"", u"Limit of connections number is not specified"},
        {kTotal, u"0", u"Minimal number of connections is 1"},
        {kTotal, u" ", u"Minimal number of connections is 1"},
        {kTotal, u"2147483648", u"Minimal number of connections is 1"},
        {kTotal, u"1", u""},
        {kTotal, u"100", u""},
        {kPerUser, u"", u"Limit of connections number per user is not specified"},
        {kPerUser, u"abc", u"Minimal number of connections per user is 1"},
        {kPerUser, u"12abc", u""},  // the per-user box takes any text
        {kThroughput, u"", u"Throughput limit is not specified"},
        {kPerUser, u"-4", u"Minimal number of connections per user is 1"},
        {kPerUser, u"12abc", u"Throughput limit is not specified"},
        {kThroughput, u"0", u"Throughput limit must be at least 1 kByte/sec"},
        {kTotal, u"", u"Limit of connections number is not specified"},
        {kTotal, u"100", u"Throughput limit must be at least 1 kByte/sec"},
        {kThroughput, u"2147483647", u""},
    };
    LimitsPanel panel(false);
    panel.Load(1, 1, 1);
    for (const Step& step : steps) {
        panel.SetEditText(step.pair, std::u16string(step.text));
        EXPECT_EQ(panel.ReadLimits().message, step.message) << "after " << (&step - steps);
    }
    LimitsReading all = panel.ReadLimits();
    EXPECT_EQ(all.maxConnections, (LimitSetting{true, 100}));
    EXPECT_EQ(all.maxConnectionsPerUser, (LimitSetting{true, 12}));
    EXPECT_EQ(all.maxThroughputKBps, (LimitSetting{true, 2147483647}));

    // Unchecked pairs are off whatever their text.
    for (LimitPair pair : {kTotal, kPerUser, kThroughput}) {
        panel.OnPairToggled(pair, false);
        panel.SetEditText(pair, u"junk");
    }
    LimitsReading none = panel.ReadLimits();
    EXPECT_TRUE(none.message.empty() && none.maxConnections == LimitSetting{} &&
                none.maxConnectionsPerUser == LimitSetting{} &&
                none.maxThroughputKBps == LimitSetting{});
}

TEST(LimitsPanel, PlayTimeNeedsAtLeastOneMinute) {
    LimitsPanel panel(true);
    panel.Load(0, 0, 0, -1);
    EXPECT_EQ(panel.ReadPlayTime().message, u"");
    panel.OnPairToggled(LimitPair::PlayTime, true);
    for (std::u16string_view bad : {u"", u"0", u"-3", u"x5"}) {
        panel.SetEditText(LimitPair::PlayTime, std::u16string(bad));
        EXPECT_EQ(panel.ReadPlayTime().message, u"Time limit must be at least 1 minute");
    }
    panel.SetEditText(LimitPair::PlayTime, u" 1");
    EXPECT_EQ(panel.ReadPlayTime().message, u"");
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, 1);

    // A folder has no play time: even a stray toggle reads as no limit.
    LimitsPanel folder(false);
    folder.Load(0, 0, 0, 30);
    folder.OnPairToggled(LimitPair::PlayTime, true);
    EXPECT_EQ(folder.ReadPlayTime().playTimeLimit, -1);
}

}  // namespace
}  // namespace vantor
