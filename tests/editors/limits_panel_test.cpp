#include "editors/limits_panel.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr LimitPair kConnectionPairs[] = {LimitPair::TotalConnections,
                                          LimitPair::ConnectionsPerUser, LimitPair::Throughput};

TEST(LimitsPanel, VariantsTitleTheGroupAndShowPlayTimeOnlyForBroadcasts) {
    LimitsPanel folder(false);
    EXPECT_EQ(folder.State(LimitsControl::GroupBox).text,
              u" Limit player connections to this virtual folder");
    EXPECT_FALSE(folder.State(LimitsControl::PlayTimeCheck).visible);
    EXPECT_FALSE(folder.State(LimitsControl::PlayTimeEdit).visible);
    EXPECT_FALSE(folder.State(LimitsControl::MinutesLabel).visible);

    LimitsPanel broadcast(true);
    EXPECT_EQ(broadcast.State(LimitsControl::GroupBox).text,
              u" Limit player connections to this broadcast");
    EXPECT_TRUE(broadcast.State(LimitsControl::PlayTimeCheck).visible);

    EXPECT_TRUE(LimitsPanel::DigitsOnly(LimitsControl::TotalConnectionsEdit));
    EXPECT_FALSE(LimitsPanel::DigitsOnly(LimitsControl::ConnectionsPerUserEdit));
    EXPECT_TRUE(LimitsPanel::DigitsOnly(LimitsControl::ThroughputEdit));
    EXPECT_TRUE(LimitsPanel::DigitsOnly(LimitsControl::PlayTimeEdit));
    EXPECT_FALSE(LimitsPanel::DigitsOnly(LimitsControl::TotalConnectionsCheck));
}

TEST(LimitsPanel, LoadChecksNonZeroLimitsAndShowsEveryValue) {
    LimitsPanel panel(true);
    panel.Load(25, -5, 0, -1);
    EXPECT_TRUE(panel.State(LimitsControl::TotalConnectionsCheck).checked);
    EXPECT_TRUE(panel.State(LimitsControl::TotalConnectionsEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::TotalConnectionsEdit).text, u"25");
    EXPECT_TRUE(panel.State(LimitsControl::ConnectionsPerUserCheck).checked);
    EXPECT_EQ(panel.State(LimitsControl::ConnectionsPerUserEdit).text, u"-5");
    // A throughput of 0 opens unchecked, disabled, showing 0.
    EXPECT_FALSE(panel.State(LimitsControl::ThroughputCheck).checked);
    EXPECT_FALSE(panel.State(LimitsControl::ThroughputEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::ThroughputEdit).text, u"0");
    EXPECT_FALSE(panel.State(LimitsControl::PlayTimeCheck).checked);
    EXPECT_FALSE(panel.State(LimitsControl::PlayTimeEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::PlayTimeEdit).text, u"");

    panel.Load(0, 0, 0, 0);
    EXPECT_TRUE(panel.State(LimitsControl::PlayTimeCheck).checked);
    EXPECT_TRUE(panel.State(LimitsControl::PlayTimeEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::PlayTimeEdit).text, u"0");
    panel.Load(0, 0, 0, 90);
    EXPECT_EQ(panel.State(LimitsControl::PlayTimeEdit).text, u"90");
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, 90);
}

TEST(LimitsPanel, TogglingAPairOnlyEnablesItsEditBox) {
    LimitsPanel panel(true);
    panel.Load(0, 7, 0, 15);
    panel.OnPairToggled(LimitPair::TotalConnections, true);
    EXPECT_TRUE(panel.State(LimitsControl::TotalConnectionsCheck).checked);
    EXPECT_TRUE(panel.State(LimitsControl::TotalConnectionsEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::TotalConnectionsEdit).text, u"0");
    panel.OnPairToggled(LimitPair::ConnectionsPerUser, false);
    EXPECT_FALSE(panel.State(LimitsControl::ConnectionsPerUserEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::ConnectionsPerUserEdit).text, u"7");
    EXPECT_FALSE(panel.State(LimitsControl::ThroughputEdit).enabled);
    panel.OnPairToggled(LimitPair::PlayTime, false);
    EXPECT_FALSE(panel.State(LimitsControl::PlayTimeEdit).enabled);
    EXPECT_EQ(panel.State(LimitsControl::PlayTimeEdit).text, u"15");
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, -1);
}

TEST(LimitsPanel, EachPairReportsMissingAndTooSmallValues) {
    struct Case {
        LimitPair pair;
        std::u16string_view missing;
        std::u16string_view minimum;
    };
    for (Case c :
         {Case{LimitPair::TotalConnections, u"Limit of connections number is not specified",
               u"Minimal number of connections is 1"},
          Case{LimitPair::ConnectionsPerUser,
               u"Limit of connections number per user is not specified",
               u"Minimal number of connections per user is 1"},
          Case{LimitPair::Throughput, u"Throughput limit is not specified",
               u"Throughput limit must be at least 1 kByte/sec"}}) {
        LimitsPanel panel(false);
        panel.Load(0, 0, 0);
        panel.OnPairToggled(c.pair, true);
        panel.SetEditText(c.pair, u"");
        EXPECT_EQ(panel.ReadLimits().message, c.missing);
        for (std::u16string_view small : {u"0", u" ", u"-4", u"2147483648"}) {
            panel.SetEditText(c.pair, std::u16string(small));
            EXPECT_EQ(panel.ReadLimits().message, c.minimum);
        }
        panel.SetEditText(c.pair, u"1");
        LimitsReading reading = panel.ReadLimits();
        EXPECT_EQ(reading.message, u"");
        const LimitSetting* read[] = {&reading.maxConnections, &reading.maxConnectionsPerUser,
                                      &reading.maxThroughputKBps};
        for (std::size_t i = 0; i < 3; ++i) {
            LimitSetting expected =
                kConnectionPairs[i] == c.pair ? LimitSetting{true, 1} : LimitSetting{false, 0};
            EXPECT_EQ(*read[i], expected);
        }
    }
}

TEST(LimitsPanel, ReadsPairsInOrderAndIgnoresUncheckedText) {
    LimitsPanel panel(false);
    panel.Load(0, 0, 0);
    for (LimitPair pair : kConnectionPairs) {
        panel.SetEditText(pair, u"junk");  // unchecked: never read
    }
    LimitsReading none = panel.ReadLimits();
    EXPECT_EQ(none.message, u"");
    EXPECT_EQ(none.maxConnections, (LimitSetting{false, 0}));
    EXPECT_EQ(none.maxThroughputKBps, (LimitSetting{false, 0}));

    for (LimitPair pair : kConnectionPairs) {
        panel.OnPairToggled(pair, true);
        panel.SetEditText(pair, u"");
    }
    EXPECT_EQ(panel.ReadLimits().message, u"Limit of connections number is not specified");
    panel.SetEditText(LimitPair::TotalConnections, u"100");
    EXPECT_EQ(panel.ReadLimits().message, u"Limit of connections number per user is not specified");
    // The per-user box takes any text: abc reads nothing, 12abc reads 12.
    panel.SetEditText(LimitPair::ConnectionsPerUser, u"abc");
    EXPECT_EQ(panel.ReadLimits().message, u"Minimal number of connections per user is 1");
    panel.SetEditText(LimitPair::ConnectionsPerUser, u"12abc");
    EXPECT_EQ(panel.ReadLimits().message, u"Throughput limit is not specified");
    panel.SetEditText(LimitPair::Throughput, u"2147483647");
    LimitsReading all = panel.ReadLimits();
    EXPECT_EQ(all.message, u"");
    EXPECT_EQ(all.maxConnections, (LimitSetting{true, 100}));
    EXPECT_EQ(all.maxConnectionsPerUser, (LimitSetting{true, 12}));
    EXPECT_EQ(all.maxThroughputKBps, (LimitSetting{true, 2147483647}));
}

TEST(LimitsPanel, PlayTimeNeedsAtLeastOneMinute) {
    LimitsPanel panel(true);
    panel.Load(0, 0, 0, -1);
    EXPECT_EQ(panel.ReadPlayTime().message, u"");
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, -1);
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
    EXPECT_FALSE(folder.State(LimitsControl::PlayTimeCheck).checked);
    EXPECT_EQ(folder.ReadPlayTime().playTimeLimit, -1);
}

}  // namespace
}  // namespace vantor
