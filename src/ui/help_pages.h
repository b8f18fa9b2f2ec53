#pragma once

#include <string>
#include <string_view>

#include "platform/desktop_services.h"
#include "platform/installation_environment.h"

namespace vantor {

// The help pages: the index the Help menu opens, and the page on authentication methods.
inline constexpr std::string_view HelpIndexPage = "VantorConfig.html";
inline constexpr std::string_view AuthHelpPage = "Auth.htm";
// Where an installed program keeps them, relative to its executable's folder.
inline constexpr std::string_view InstalledHelpFolder = "../share/vantorconfig/help";

// The folder of the help pages: the installed one beside the executable when it holds the
// index, else builtInFolder (the build's own pages).
std::string ChooseHelpFolder(InstallationEnvironment& env, std::string_view builtInFolder);

// Shows help pages in the user's browser. Help that is missing shows nothing: when the index is
// not there the first time help is asked for, that is remembered and every later request does
// nothing, without looking again.
class HelpPages {
public:
    HelpPages(DesktopServices& desktop, InstallationEnvironment& env, std::string folder);

    // Opens the page (a file name in the help folder). False when nothing was opened.
    bool ShowTopic(std::string_view page);
    const std::string& Folder() const { return folder_; }

private:
    enum class Availability { Unknown, Available, Missing };

    DesktopServices& desktop_;
    InstallationEnvironment& env_;
    std::string folder_;
    Availability availability_ = Availability::Unknown;
};

}  // namespace vantor
