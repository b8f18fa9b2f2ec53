#include "editors/limits_panel.h"

#include <gtest/gtest.h>

using namespace vantor;

constexpr LimitPair kTotal = LimitPair::TotalConnections, kPerUser = LimitPair::ConnectionsPerUser,
                    kThroughput = LimitPair::Throughput, kPlayTime = LimitPair::PlayTime;

// Each pair in one word: + or - for its check box, the edit box's text, ! when it is disabled.
static std::string Look(const LimitsPanel& panel) {
    std::string look;
    for (LimitPair pair : {kTotal, kPerUser, kThroughput, kPlayTime}) {
        const ControlState& edit = panel.State(LimitsPanel::EditOf(pair));
        look += (panel.State(LimitsPanel::CheckBoxOf(pair)).checked ? " +" : " -") +
                std::string(edit.text.begin(), edit.text.end()) + (edit.enabled ? "" : "!");
    }
    return look;
}

const auto Fields = [](const LimitsReading& r) {
    return std::tuple(r.message, r.maxConnections, r.maxConnectionsPerUser, r.maxThroughputKBps);
};

TEST(LimitsPanel, VariantsDifferAndLoadChecksTheSetLimitsAndPlayTimeNeedsAMinute) {
    LimitsPanel folder(false), panel(true);
    EXPECT_FALSE(folder.State(LimitsControl::PlayTimeCheck).visible);
    EXPECT_TRUE(panel.State(LimitsControl::PlayTimeCheck).visible);
    // Loading checks the set limits; toggling a pair only enables its edit box.
    panel.Load(25, -5, 0, -1);
    EXPECT_EQ(Look(panel), " +25 +-5 -0! -!");
    panel.Load(0, 7, 0, 0);
    EXPECT_EQ(Look(panel), " -0! +7 -0! +0");
    panel.OnPairToggled(kTotal, true);
    panel.OnPairToggled(kPlayTime, false);
    EXPECT_EQ(Look(panel), " +0 +7 -0! -0!");
    EXPECT_EQ(panel.ReadPlayTime().playTimeLimit, -1);
    // A checked play time needs at least one minute.
    panel.OnPairToggled(kPlayTime, true);
    for (std::u16string_view bad : {u"", u"0", u"-3", u"x5"}) {
        panel.SetEditText(kPlayTime, std::u16string(bad));
        EXPECT_EQ(panel.ReadPlayTime().message, u"Time limit must be at least 1 minute");
    }
    panel.SetEditText(kPlayTime, u" 1");
    EXPECT_EQ(std::tuple(panel.ReadPlayTime().message, panel.ReadPlayTime().playTimeLimit),
              std::tuple(u"", 1));
    // A folder has no play time: even a stray toggle reads as no limit.
    folder.Load(0, 0, 0, 30);
    folder.OnPairToggled(kPlayTime, true);
    EXPECT_EQ(folder.ReadPlayTime().playTimeLimit, -1);
}

// One edit after another on a panel with every pair checked; each row's message is the first
// failing pair's, in the order total connections, per user, throughput.
TEST(LimitsPanel, ReadsThePairsInOrderWithTheirOwnMessages) {
    using Step = std::tuple<LimitPair, std::u16string_view, std::u16string_view>;
    const Step steps[] = {
        {kTotal, u"", u"Limit of connections number is not specified"},
        {kTotal, u"0", u"Minimal number of connections is 1"},
        {kTotal, u"2147483648", u"Minimal number of connections is 1"},  // read as 0
        {kTotal, u"1", u""},
        {kPerUser, u"", u"Limit of connections number per user is not specified"},
        {kPerUser, u"abc", u"Minimal number of connections per user is 1"},
        {kPerUser, u"12abc", u""},  // the per-user box takes any text
        {kThroughput, u"", u"Throughput limit is not specified"},
        {kThroughput, u"0", u"Throughput limit must be at least 1 kByte/sec"},
        {kTotal, u"", u"Limit of connections number is not specified"},
        {kTotal, u"100", u"Throughput limit must be at least 1 kByte/sec"},
        {kThroughput, u"2147483647", u""},
        {kTotal, u"70000", u""},  // a resource's limits are kept in 32 bits
    };
    LimitsPanel panel(false);
    panel.Load(1, 1, 1);
    for (const Step& step : steps) {
        panel.SetEditText(std::get<0>(step), std::u16string(std::get<1>(step)));
        EXPECT_EQ(panel.ReadLimits().message, std::get<2>(step)) << "after " << (&step - steps);
    }
    EXPECT_EQ(Fields(panel.ReadLimits()),
              Fields({u"", {true, 70000}, {true, 12}, {true, 2147483647}}));
    // Unchecked pairs are off whatever their text.
    for (LimitPair pair : {kTotal, kPerUser, kThroughput}) {
        panel.OnPairToggled(pair, false);
        panel.SetEditText(pair, u"junk");
    }
    EXPECT_EQ(Fields(panel.ReadLimits()), Fields({}));
    // Only the per-user box lets letters be typed at all.
    std::string digitsOnly;
    for (LimitPair pair : {kTotal, kPerUser, kThroughput, kPlayTime}) {
        digitsOnly += LimitsPanel::DigitsOnly(LimitsPanel::EditOf(pair)) ? '+' : '-';
    }
    EXPECT_EQ(digitsOnly, "+-++");
}
