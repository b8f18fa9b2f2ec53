#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(SimOptions, ReadsEveryOptionAndRefusesWhatItCannotUse) {
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
    EXPECT_FALSE(plain.options->running || plain.options->lifecycle.startFails ||
                 plain.options->lifecycle.stopHangs || !plain.options->busAddress.isEmpty());

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
        {{"--data", "d", "--help"}, ""},  // help: no options, no error
    };
    for (const auto& c : cases) {
        const ParsedOptions refused = ParseSimOptions(c.arguments);
        EXPECT_FALSE(refused.options) << c.error;
        EXPECT_EQ(refused.error, c.error);
    }
}

}  // namespace
}  // namespace vantor::sim
