#include "ui/connection_watch.h"

#include <gtest/gtest.h>

#include "ui/ui_fakes.h"

namespace vantor {
namespace {

TEST(ConnectionWatch, AsksOnceWhenTheLinkGoesAndMakesItAgainOnlyWhenTold) {
    test::FakeConnection connection;
    test::RecordingPrompter prompter;
    ConnectionWatch watch(connection, prompter, u"ann@rack-7");
    EXPECT_FALSE(watch.NoticeLoss());
    EXPECT_FALSE(watch.Reconnect());  // nothing to make again
    EXPECT_EQ(connection.reconnects, 0);

    connection.lost = true;
    ASSERT_TRUE(watch.NoticeLoss());
    EXPECT_FALSE(watch.NoticeLoss());  // found once, not at every check
    EXPECT_TRUE(watch.IsLost());
    EXPECT_EQ(watch.LostText(), u"Connection to ann@rack-7 lost");
    // No: the link stays down and nothing is tried.
    prompter.answers = {false};
    EXPECT_FALSE(watch.OfferReconnect());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              u"The connection to ann@rack-7 was lost. Changes can be made again once it is "
              u"back.\n\nConnect again now?");
    EXPECT_EQ(prompter.shown[0].caption, u"Configuration of Media Server");
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(connection.reconnects, 0);

    // The machine does not answer yet: said so, and still lost.
    connection.reconnectWorks = false;
    EXPECT_FALSE(watch.Reconnect());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, u"ann@rack-7 cannot be reached over ssh.");
    EXPECT_EQ(prompter.shown[1].icon, MessageIcon::Error);
    EXPECT_TRUE(watch.IsLost());

    // Yes, and it answers.
    connection.reconnectWorks = true;
    prompter.answers = {true};
    EXPECT_TRUE(watch.OfferReconnect());
    EXPECT_FALSE(watch.IsLost());
    EXPECT_EQ(connection.reconnects, 2);
    // Lost again later: asked again.
    connection.lost = true;
    EXPECT_TRUE(watch.NoticeLoss());
}

}  // namespace
}  // namespace vantor
