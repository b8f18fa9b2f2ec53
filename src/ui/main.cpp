// vantorconfig: the media server's configuration window.

#include <QApplication>
#include <QObject>

#include "config/multicast_table.h"
#include "config/name_collator.h"
#include "config/resource_record.h"
#include "platform/linux_collation_locale.h"
#include "platform/linux_instance_channel.h"
#include "ui/help_pages.h"
#include "ui/linux_app_services.h"
#include "ui/main_frame_window.h"
#include "ui/prompter_dialog.h"
#include "ui/qt_desktop_services.h"
#include "ui/single_instance.h"

#ifndef VANTOR_HELP_DIR
#define VANTOR_HELP_DIR ""
#endif

namespace {

// The program's exit code once its window has been closed.
constexpr int FrameClosedExitCode = 1;

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor;
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
    LinuxInstanceChannel instances;
    const HResult check = CheckSingleInstance(instances, platform.clock, FrameTitle);
    if (check != InstanceCheckPassed) {
        return InstanceCheckExitCode(check);
    }

    // Process-wide objects, and the desktop's side of the services.
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    PrompterDialog prompter;
    QtDesktopServices desktop;
    HelpPages help(desktop, platform.installation,
                   ChooseHelpFolder(platform.installation, VANTOR_HELP_DIR));
    AppServices services =
        LinuxAppServices(platform, defaultAuthMethod, multicastTable, prompter, desktop, help);

    MainFrameWindow frame(services);
    prompter.SetFallbackOwner(&frame);
    QObject::connect(&frame, &MainFrameWindow::Closed, &app,
                     [] { QCoreApplication::exit(FrameClosedExitCode); });
    // Later copies find this one from now on.
    instances.Listen(SingleInstanceName(FrameTitle), [&frame] { frame.RestoreFromAnotherCopy(); });
    frame.show();
    return app.exec();
}
