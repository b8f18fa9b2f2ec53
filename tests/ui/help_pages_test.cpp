#include "ui/help_pages.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeDesktopServices;
using test::FakeInstallationEnvironment;

TEST(HelpPages, OpensPresentPagesInTheBrowser) {
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
}

TEST(HelpPages, MissingHelpIsRememberedAndShowsNothing) {
    FakeDesktopServices desktop;
    FakeInstallationEnvironment env;
    HelpPages help(desktop, env, "/data/help");
    EXPECT_FALSE(help.ShowTopic(HelpIndexPage));
    // Pages that appear later are not looked for again.
    env.existing = {"/data/help/VantorConfig.html", "/data/help/Auth.htm"};
    EXPECT_FALSE(help.ShowTopic(HelpIndexPage));
    EXPECT_FALSE(help.ShowTopic(AuthHelpPage));
    EXPECT_TRUE(desktop.helpPages.empty());

    HelpPages noFolder(desktop, env, "");
    EXPECT_FALSE(noFolder.ShowTopic(HelpIndexPage));
    EXPECT_TRUE(desktop.helpPages.empty());
}

TEST(HelpPages, PrefersTheInstalledFolderBesideTheExecutable) {
    FakeInstallationEnvironment env;
    env.executable = "/opt/vantor/bin/vantorconfig";
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"), "/src/data/help");
    env.existing.insert("/opt/vantor/bin/../share/vantorconfig/help/VantorConfig.html");
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"),
              "/opt/vantor/bin/../share/vantorconfig/help");
    env.executable.clear();
    EXPECT_EQ(ChooseHelpFolder(env, "/src/data/help"), "/src/data/help");
}

}  // namespace
}  // namespace vantor
