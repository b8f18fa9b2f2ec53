#include "sim/multicast_tracker.h"

#include <gtest/gtest.h>

namespace vantor::sim {
namespace {

void ExpectAnswer(const MulticastAnswer& answer, quint32 result, const QString& multicasting,
                  const QString& other) {
    EXPECT_EQ(answer.result, result);
    EXPECT_EQ(answer.multicastingText, multicasting);
    EXPECT_EQ(answer.otherText, other);
}

TEST(MulticastTracker, StatusFollowsStartAndStopPerFolderUnlessAnswerIsFixed) {
    MulticastTracker tracker;
    tracker.Start("Music", "225.0.0.1", 5000);
    tracker.Start("Talks", "239.1.2.3", 1234);
    // Starting again moves the session; folder names are exact.
    tracker.Start("Music", "225.0.0.9", 6000);
    ExpectAnswer(tracker.Status("Music"), 0, "225.0.0.9:6000", "");
    EXPECT_FALSE(tracker.IsMulticasting("music"));
    EXPECT_TRUE(tracker.Stop("Music"));
    EXPECT_FALSE(tracker.Stop("Music"));
    ExpectAnswer(tracker.Status("Music"), 1, "", NotMulticastingText);
    EXPECT_TRUE(tracker.IsMulticasting("Talks"));

    tracker.SetAnswer("Talks", MulticastAnswer{0x80004005u, "ignored", "Source folder missing"});
    ExpectAnswer(tracker.Status("Talks"), 0x80004005u, "ignored", "Source folder missing");
    ExpectAnswer(tracker.Status("Music"), 1, "", NotMulticastingText);
    tracker.ClearAnswer("Talks");
    ExpectAnswer(tracker.Status("Talks"), 0, "239.1.2.3:1234", "");
}

}  // namespace
}  // namespace vantor::sim
