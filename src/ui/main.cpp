// vantorconfig: the media server's configuration window.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QObject>
#include <QTextStream>

#include "config/multicast_table.h"
#include "config/name_collator.h"
#include "config/resource_record.h"
#include "platform/linux_collation_locale.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_instance_channel.h"
#include "platform/linux_platform.h"
#include "ui/help_pages.h"
#include "ui/linux_app_services.h"
#include "ui/main_frame_window.h"
#include "ui/prompter_dialog.h"
#include "ui/qt_desktop_services.h"
#include "ui/single_instance.h"
#include "ui/ssh_askpass_dialog.h"

#ifndef VANTOR_HELP_DIR
#define VANTOR_HELP_DIR ""
#endif

namespace {

// The program's exit code once its window has been closed.
constexpr int FrameClosedExitCode = 1;

// "--host HOST" or "--host=HOST" among the arguments: the machine whose server to administer
// (VANTOR_HOST otherwise). Taken out before Qt reads the rest.
void TakeHostArgument(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--host" && i + 1 < argc) {
            setenv(vantor::HostVariable, argv[++i], 1);
        } else if (argument.rfind("--host=", 0) == 0) {
            setenv(vantor::HostVariable, argument.substr(7).c_str(), 1);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor;
    // Started by ssh as its askpass: ask, answer on standard output, and end.
    if (std::getenv(AskpassVariable) != nullptr && argc == 2) {
        QApplication askpass(argc, argv);
        QTextStream out(stdout);
        return RunSshAskpass(QString::fromLocal8Bit(argv[1]), out);
    }
    TakeHostArgument(argc, argv);
    const HostChoice choice = ChosenHost();
    if (!choice.error.empty()) {
        std::fprintf(stderr, "vantorconfig: %s\n", choice.error.c_str());
        return 2;
    }
    UseChosenHostsBus(choice);
    if (choice.host && std::getenv("SSH_ASKPASS") == nullptr) {
        // ssh has no terminal here: its questions come to the desktop through this program.
        std::string self(4096, '\0');
        const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
        if (length > 0) {
            self.resize(static_cast<std::size_t>(length));
            setenv("SSH_ASKPASS", self.c_str(), 1);
            setenv("SSH_ASKPASS_REQUIRE", "force", 1);
            setenv(AskpassVariable, "1", 1);
        }
    }
    QApplication app(argc, argv);
    // Desktops match the window to its menu entry (name, icon) by this: the application's id,
    // which names the installed desktop entry, metainfo and icon alike.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vantor.VantorConfig"));
    // The run ends when the frame says so, with its own exit code.
    app.setQuitOnLastWindowClosed(false);
    // Names sort in the user's collation order wherever they are sorted.
    UseCollationLocale(LinuxCollationLocaleName());

    // Another copy brought forward ends this one with 1; a lock that cannot be made ends it with
    // the failure code, before any window exists.
    LinuxPlatform platform;
    // Reaching another machine takes a moment (more when ssh asks for a passphrase): said, so
    // that nothing seems to hang.
    std::unique_ptr<QLabel> connecting;
    if (choice.host) {
        connecting = std::make_unique<QLabel>(QStringLiteral("Connecting to ") +
                                              QString::fromStdString(platform.HostLabelText()) +
                                              QStringLiteral(" over ssh..."));
        connecting->setWindowTitle(QString::fromUtf16(FrameTitle));
        connecting->setMargin(24);
        connecting->show();
    }
    const bool reachable = platform.Reachable();
    connecting.reset();
    if (!reachable) {
        PrompterDialog failed;
        failed.ShowMessage((QString::fromStdString(platform.HostLabelText()) +
                            QStringLiteral(" cannot be reached over ssh."))
                               .toStdU16String(),
                           std::u16string(FrameTitle), MessageIcon::Error);
        return 1;
    }
    LinuxInstanceChannel instances;
    // One window for this machine's server; a window for another machine is a process of its
    // own, and any number of them may run.
    if (!choice.host) {
        const HResult check = CheckSingleInstance(instances, platform.clock, FrameTitle);
        if (check != InstanceCheckPassed) {
            return InstanceCheckExitCode(check);
        }
    }

    // Process-wide objects, and the desktop's side of the services.
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    PrompterDialog prompter;
    QtDesktopServices desktop;
    // The help pages are this machine's, whichever server the window administers.
    LinuxInstallationEnvironment here;
    HelpPages help(desktop, here, ChooseHelpFolder(here, VANTOR_HELP_DIR));
    AppServices services =
        LinuxAppServices(platform, defaultAuthMethod, multicastTable, prompter, desktop, help);

    MainFrameWindow frame(services);
    if (choice.host) {
        frame.SetRemoteHost(QString::fromStdString(HostLabel(*choice.host)));
    }
    prompter.SetFallbackOwner(&frame);
    QObject::connect(&frame, &MainFrameWindow::Closed, &app,
                     [] { QCoreApplication::exit(FrameClosedExitCode); });
    // Later copies find this one from now on.
    if (!choice.host) {
        instances.Listen(SingleInstanceName(FrameTitle),
                         [&frame] { frame.RestoreFromAnotherCopy(); });
    }
    frame.show();
    return app.exec();
}
