#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

TEST(SimOptions, RefusesWhatItCannotUseWithTheReason) {
    // What it accepts, the integration tests' runs of the sim show, all but this one.
    EXPECT_TRUE(ParseSimOptions({"--data", "d", "--start-fails"}).options->lifecycle.startFails);
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "--data DIR is required"},
        {{"--data", ""}, "--data DIR is required"},
        {{"--data"}, "--data needs a value"},
        {{"--data", "d", "--start-delay", "-5"}, "--start-delay takes milliseconds, not \"-5\""},
        {{"--data", "d", "--stop-delay", "1s"}, "--stop-delay takes milliseconds, not \"1s\""},
        {{"--data", "d", "--fast"}, "unknown argument \"--fast\""},
        {{"--data", "d", "--help"}, ""},  // help: no options, no error
    };
    for (const auto& [arguments, error] : cases) {
        const ParsedOptions refused = ParseSimOptions(arguments);
        EXPECT_FALSE(refused.options) << error;
        EXPECT_EQ(refused.error, error);
    }
}

}  // namespace
}  // namespace vantor::sim
