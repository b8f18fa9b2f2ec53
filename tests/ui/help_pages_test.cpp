#include "ui/help_pages.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeDesktopServices;
using test::FakeInstallationEnvironment;

TEST(HelpPages, OpensPresentPagesRemembersMissingHelpAndPrefersTheInstalledFolder) {
    FakeDesktopServices desktop;
    FakeInstallationEnvironment env;
    env.existing = {"/data/help/VantorConfig.html", "/data/help/Auth.htm"};
    HelpPages help(desktop, env, "/data/help/");
    EXPECT_TRUE(help.ShowTopic(HelpIndexPage));
    EXPECT_TRUE(help.ShowTopic(AuthHelpPage));
    // A page that is not there is not handed on; the rest of help still works.
    EXPECT_FALSE(help.ShowTopic("Missing.htm"));
    EXPECT_TRUE(help.ShowTopic(HelpIndexPage));
    EXPECT_EQ(desktop.helpPages,
              (std::vector<std::string>{"/data/help/VantorConfig.html", "/data/help/Auth.htm",
                                        "/data/help/VantorConfig.html"}));
    // The browser refusing the page is reported.
    desktop.succeed = false;
    EXPECT_FALSE(help.ShowTopic(AuthHelpPage));

    // Help missing at the first request stays missing, though its pages appear later; so is
    // help without a folder.
    FakeDesktopServices none;
    FakeInstallationEnvironment empty;
    HelpPages missing(none, empty, "/data/help");
    HelpPages noFolder(none, env, "");
    EXPECT_FALSE(missing.ShowTopic(HelpIndexPage));
    empty.existing = env.existing;
    EXPECT_FALSE(missing.ShowTopic(HelpIndexPage));
    EXPECT_FALSE(missing.ShowTopic(AuthHelpPage));
    EXPECT_FALSE(noFolder.ShowTopic(HelpIndexPage));
    EXPECT_TRUE(none.helpPages.empty());

    // The installed folder beside the executable comes first.
    env.existing.clear();
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"), "/src/data/help");
    env.existing.insert("/opt/vantor/bin/../share/vantorconfig/help/VantorConfig.html");
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"),
              "/opt/vantor/bin/../share/vantorconfig/help");
    env.executable.clear();
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"), "/src/data/help");
}

}  // namespace
}  // namespace vantor
