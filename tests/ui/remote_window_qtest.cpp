// The window for another machine over a real sshd on 127.0.0.1: it edits the far side's file,
// picks among the far side's folders, says when the link is lost and makes it again, and never
// stops painting while it waits for the far side.

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "cli/ssh_server.h"
#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/folder_editor_dialog.h"
#include "integration/real_services.h"
#include "platform/linux_file_store.h"
#include "platform/linux_platform.h"
#include "platform/linux_ssh_command.h"
#include "platform/linux_window_thread_wait.h"
#include "ui/folder_picker_dialog.h"
#include "ui/help_pages.h"
#include "ui/linux_app_services.h"
#include "ui/main_frame_window.h"
#include "ui/qt_when_up.h"
#include "ui/resource_commands.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::WhenUp;

// A name a shell would split, expand or run, and bytes beyond ASCII.
const QString OddName = QString::fromUtf8("Jazz \u00e9t\u00e9 'x' \"y\" $(touch pwned); `id`");

// Typed as a keyboard sends it, beyond what QTest's ASCII keys can.
void Type(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

// What main() builds for a window of another machine, with a prompter the test answers.
struct RemoteWindow {
    RemoteWindow() {
        window.SetRemoteHost(QStringLiteral("test-host"));
        window.show();
    }
    QStringList Folders() {
        QStringList names;
        for (const auto& child : window.Store().Resources().FileResources().Children()) {
            names << QString::fromStdU16String(child->Record().name);
        }
        return names;
    }

    integration::RealServices real;
    test::RecordingPrompter& prompter = real.prompter;
    MainFrameWindow window{real.services};
};

}  // namespace

class RemoteWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(far_.isValid() && ssh_.isValid());
        QVERIFY(QDir(far_.path()).mkpath("Quorvane"));
        QVERIFY(QDir(far_.path()).mkpath("media/" + OddName));
        QVERIFY(QDir(far_.path()).mkpath("media/Ballads"));
        ResourceRecord clips;
        clips.name = u"Clips";
        clips.source = far_.filePath("media").toStdU16String();
        const ResourceRecord* records[] = {&clips};
        QVERIFY(LinuxFileStore().ReplaceFile(
            ConfigPath(), WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records)));
        server_ = std::make_unique<test::SshServer>(ssh_.path().toStdString());
        QCOMPARE(QString::fromStdString(
                     server_->Start("VANTOR_COMMON_APPDATA=" + far_.path().toStdString())),
                 QString());
        runtime_ = "/tmp/rw-XXXXXX";
        QVERIFY(mkdtemp(runtime_.data()) != nullptr);
        setenv("VANTOR_SSH_COMMAND", server_->SshCommand().c_str(), 1);
        setenv("VANTOR_REMOTE_VANTORCTL", VANTOR_CTL_PATH, 1);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        // This side's own data folder is not the one the window edits.
        setenv("VANTOR_COMMON_APPDATA", "/nonexistent/this/side", 1);
        setenv(HostVariable, "test-host", 1);
        UseChosenHostsBus(ChosenHost());
    }

    void cleanupTestCase() {
        StopMaster();
        server_.reset();
        std::filesystem::remove_all(runtime_);
    }

    void AWaitOnTheWindowsThreadKeepsItsTimersTurning() {
        int ticks = 0;
        bool waitingSeen = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            waitingSeen = waitingSeen || WindowThreadWaiting();
        });
        timer.start(10);
        std::thread::id worker;
        RunOffWindowThread([&worker] {
            worker = std::this_thread::get_id();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        });
        QVERIFY(worker != std::this_thread::get_id());
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(waitingSeen);
        QVERIFY(!WindowThreadWaiting());
        // Off the window's thread the work runs where it is asked for.
        std::thread([] {
            std::thread::id ran;
            RunOffWindowThread([&ran] { ran = std::this_thread::get_id(); });
            QVERIFY(ran == std::this_thread::get_id());
        }).join();
    }

    void TheWindowEditsTheFarSidesFileWithTheFarSidesFolders() {
        RemoteWindow w;
        QCOMPARE(w.Folders(), QStringList{"Clips"});
        QStringList offered;
        bool pickerStayedOpen = false;
        const QString media = far_.filePath("media");
        WhenUp<FolderEditorDialog>(
            [&offered, &pickerStayedOpen, media](FolderEditorDialog& editor) {
                // The picker lists the far side's folders: the media folder typed, then one below.
                WhenUp<FolderPickerDialog>([&offered, &pickerStayedOpen,
                                            media](FolderPickerDialog& picker) {
                    picker.PathEdit()->setText(media);
                    QTest::keyClick(picker.PathEdit(), Qt::Key_Return);
                    pickerStayedOpen = picker.isVisible();  // Return there opens, it does not pick
                    for (int row = 0; row < picker.Folders()->count(); ++row) {
                        offered << picker.Folders()->item(row)->text();
                    }
                    picker.Folders()->setCurrentRow(1);
                    QTest::keyClick(picker.Folders(), Qt::Key_Return);
                    QTest::keyClick(&picker, Qt::Key_Return);
                });
                static_cast<QPushButton*>(editor.Widget(FolderControl::BrowseButton))->click();
                Type(editor.Widget(FolderControl::NameEdit), OddName);
                static_cast<QPushButton*>(editor.Widget(FolderControl::OkButton))->click();
            });
        w.window.CommandAction(NewOrEditFolderCommand)->trigger();
        QCOMPARE(offered, (QStringList{"Ballads", OddName}));
        QVERIFY(pickerStayedOpen);
        QCOMPARE(w.Folders(), (QStringList{"Clips", OddName}));

        // On the far side's disk, byte for byte what was typed and picked.
        const ConfigFileContents saved = ReadConfigFile(*LinuxFileStore().ReadFile(ConfigPath()));
        QCOMPARE(saved.records.size(), std::size_t{2});
        QCOMPARE(QString::fromStdU16String(saved.records[1].name), OddName);
        QCOMPARE(QString::fromStdU16String(saved.records[1].source),
                 far_.filePath("media/" + OddName));
        QVERIFY(!QFile::exists("pwned") && !QFile::exists(far_.filePath("pwned")));
        QVERIFY(w.prompter.shown.empty());
    }

    void ALostLinkIsSaidAndMadeAgain() {
        RemoteWindow w;
        // The far side has no media server: its state as the first poll found it.
        QTRY_COMPARE_WITH_TIMEOUT(w.window.StateText()->text(),
                                  QStringLiteral("Media Server does not respond"), 5000);
        QVERIFY(!w.window.CommandAction(ReconnectCommand)->isEnabled());
        w.prompter.answers = {false};
        StopMaster();  // every session over it ends, the bridge's too
        QTRY_COMPARE_WITH_TIMEOUT(w.window.StateText()->text(),
                                  QStringLiteral("Connection to test-host lost"), 5000);
        QCOMPARE(w.prompter.shown.size(), std::size_t{1});
        QVERIFY(w.prompter.shown[0].question);
        QVERIFY(w.window.CommandAction(ReconnectCommand)->isEnabled());

        // A change made meanwhile cannot reach the file: refused, and the file stays as it is.
        const auto before = LinuxFileStore().ReadFile(ConfigPath());
        w.window.TreePane().SelectItem(*w.window.Store().Resources().FileResources().Children()[0]);
        w.window.TreePane().Commands().ToggleEnabled();
        QCOMPARE(w.prompter.shown.size(), std::size_t{2});
        QCOMPARE(w.prompter.shown[1].text, u"Unable to update configuration file");
        QVERIFY(LinuxFileStore().ReadFile(ConfigPath()) == before);
        // Meanwhile the file changes there; the window shows it once the link is back.
        OtherProgramAdds(u"Zulu");
        QTest::qWait(1500);
        QCOMPARE(w.window.StateText()->text(), QStringLiteral("Connection to test-host lost"));
        QVERIFY(!w.Folders().contains("Zulu"));
        w.window.CommandAction(ReconnectCommand)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(w.Folders().contains("Zulu"), 5000);
        // And the change that was refused is not shown as made.
        QVERIFY(w.window.Store().Resources().FileResources().Children()[0]->Record().enabled);
        QCOMPARE(w.window.StateText()->text(), QStringLiteral("Media Server does not respond"));
        QVERIFY(!w.window.CommandAction(ReconnectCommand)->isEnabled());
        QCOMPARE(w.prompter.shown.size(), std::size_t{2});
    }

private:
    std::string ConfigPath() const { return far_.filePath("Quorvane/config.vtr").toStdString(); }
    void StopMaster() const {
        std::system((server_->SshCommand() + " -o 'ControlPath=" + SshControlFolder() +
                     "/%C' -O exit test-host 2>/dev/null")
                        .c_str());
    }
    void OtherProgramAdds(std::u16string name) const {
        AuthMethod method = AuthMethod::Anonymous;
        MulticastTable multicast;
        ServerState state = ServerState::Stopped;
        LinuxFileStore files;
        test::FakeAutomation automation;
        test::RecordingPrompter prompter;
        ConfigStore store(method, multicast, state, files, automation, prompter, ConfigPath());
        store.LoadConfiguration();
        ResourceRecord record;
        record.name = std::move(name);
        record.source = u"/srv";
        CatalogueItem* added = store.Resources().InsertResourceItem(std::move(record));
        store.SaveConfiguration({.before = std::nullopt, .after = added->Record()});
    }

    QTemporaryDir far_, ssh_;
    std::unique_ptr<test::SshServer> server_;
    std::string runtime_;
};

}  // namespace vantor

QTEST_MAIN(vantor::RemoteWindowTest)
#include "remote_window_qtest.moc"
