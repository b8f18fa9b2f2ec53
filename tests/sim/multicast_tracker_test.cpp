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

TEST(MulticastTracker, StatusFollowsStartAndStopPerFolder) {
    MulticastTracker tracker;
    ExpectAnswer(tracker.Status("Music"), 1, "", NotMulticastingText);

    tracker.Start("Music", "225.0.0.1", 5000);
    tracker.Start("Talks", "239.1.2.3", 1234);
    ExpectAnswer(tracker.Status("Music"), 0, "225.0.0.1:5000", "");
    EXPECT_TRUE(tracker.IsMulticasting("Talks"));
    // Folder names are exact.
    EXPECT_FALSE(tracker.IsMulticasting("music"));

    // Starting again moves the session.
    tracker.Start("Music", "225.0.0.9", 6000);
    ExpectAnswer(tracker.Status("Music"), 0, "225.0.0.9:6000", "");

    EXPECT_TRUE(tracker.Stop("Music"));
    EXPECT_FALSE(tracker.Stop("Music"));
    ExpectAnswer(tracker.Status("Music"), 1, "", NotMulticastingText);
    EXPECT_TRUE(tracker.IsMulticasting("Talks"));
}

TEST(MulticastTracker, AFixedAnswerWinsUntilCleared) {
    MulticastTracker tracker;
    tracker.SetAnswer("Music", MulticastAnswer{0x80004005u, "ignored", "Source folder missing"});
    ExpectAnswer(tracker.Status("Music"), 0x80004005u, "ignored", "Source folder missing");
    tracker.Start("Music", "225.0.0.1", 5000);
    ExpectAnswer(tracker.Status("Music"), 0x80004005u, "ignored", "Source folder missing");
    ExpectAnswer(tracker.Status("Other"), 1, "", NotMulticastingText);

    tracker.ClearAnswer("Music");
    ExpectAnswer(tracker.Status("Music"), 0, "225.0.0.1:5000", "");
}

}  // namespace
}  // namespace vantor::sim
