#include "ui/help_pages.h"

#include <utility>

namespace vantor {

namespace {

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
    std::string path(folder);
    if (!path.empty() && path.back() != separator) {
        path += separator;
    }
    path += name;
    return path;
}

}  // namespace

std::string ChooseHelpFolder(InstallationEnvironment& env, std::string_view builtInFolder) {
    const char separator = env.PathSeparator();
    const std::string executable = env.OwnExecutablePath();
    const std::size_t lastSeparator = executable.rfind(separator);
    if (lastSeparator != std::string::npos) {
        const std::string installed =
            JoinPath(executable.substr(0, lastSeparator), InstalledHelpFolder, separator);
        if (env.PathExists(JoinPath(installed, HelpIndexPage, separator))) {
            return installed;
        }
    }
    return std::string(builtInFolder);
}

HelpPages::HelpPages(DesktopServices& desktop, InstallationEnvironment& env, std::string folder)
    : desktop_(desktop), env_(env), folder_(std::move(folder)) {}

bool HelpPages::ShowTopic(std::string_view page) {
    const char separator = env_.PathSeparator();
    if (availability_ == Availability::Unknown) {
        const bool present =
            !folder_.empty() && env_.PathExists(JoinPath(folder_, HelpIndexPage, separator));
        availability_ = present ? Availability::Available : Availability::Missing;
    }
    if (availability_ == Availability::Missing) {
        return false;
    }
    const std::string path = JoinPath(folder_, page, separator);
    if (!env_.PathExists(path)) {
        return false;
    }
    return desktop_.OpenHelpPage(path);
}

}  // namespace vantor
