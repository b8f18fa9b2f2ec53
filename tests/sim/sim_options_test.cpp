#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(SimOptions, ReadsEveryOption) {
    const ParsedOptions parsed =
        ParseSimOptions({"--start-delay", "0", "--data", "/tmp/d", "--stop-delay", "2500",
                         "--start-fails", "--stop-hangs", "--running", "--bus", "unix:path=/x"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->dataDir, "/tmp/d");
    EXPECT_EQ(parsed.options->busAddress, "unix:path=/x");
    EXPECT_EQ(parsed.options->lifecycle.startDelayMs, 0u);
    EXPECT_EQ(parsed.options->lifecycle.stopDelayMs, 2500u);
    EXPECT_TRUE(parsed.options->lifecycle.startFails);
    EXPECT_TRUE(parsed.options->lifecycle.stopHangs);
    EXPECT_TRUE(parsed.options->running);

    const ParsedOptions plain = ParseSimOptions({"--data", "d"});
    ASSERT_TRUE(plain.options);
    EXPECT_FALSE(plain.options->running);
    EXPECT_FALSE(plain.options->lifecycle.startFails);
    EXPECT_TRUE(plain.options->busAddress.isEmpty());
}

TEST(SimOptions, RefusesWhatItCannotUse) {
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{}, "--data DIR is required"},
        {{"--data", ""}, "--data DIR is required"},
        {{"--data"}, "--data needs a value"},
        {{"--data", "d", "--start-delay", "-5"}, "--start-delay takes milliseconds, not \"-5\""},
        {{"--data", "d", "--stop-delay", "1s"}, "--stop-delay takes milliseconds, not \"1s\""},
        {{"--data", "d", "--fast"}, "unknown argument \"--fast\""},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseSimOptions(c.arguments);
        EXPECT_FALSE(parsed.options) << c.error;
        EXPECT_EQ(parsed.error, c.error);
    }
    const ParsedOptions help = ParseSimOptions({"--data", "d", "--help"});
    EXPECT_FALSE(help.options);
    EXPECT_TRUE(help.error.isEmpty());
}

}  // namespace
}  // namespace vantor::sim
