// The main window over a real data folder that another program writes: the tree follows the
// file, keeps its place, waits for an open dialog, and a save never writes over the other
// program's change.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "config/catalogue.h"
#include "config/config_store.h"
#include "config/other_program.h"
#include "config/text_codec.h"
#include "platform/linux_file_store.h"
#include "platform/linux_window_thread_wait.h"
#include "ui/catalogue_item_model.h"
#include "ui/main_frame_window.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// The common data folder in a temporary folder of the test's own.
class TempInstallation : public test::FakeInstallationEnvironment {
public:
    explicit TempInstallation(std::string folder) : folder_(std::move(folder)) {}
    FolderQueryResult CommonAppDataFolder() override { return {SOk, folder_}; }
    bool PathExists(const std::string& path) override { return QFileInfo::exists(path.c_str()); }

private:
    std::string folder_;
};

// Another program (a vantorctl run) changing the same file, through a file store of its own.
struct OwnFiles {
    LinuxFileStore files;
};
struct OtherProgram : OwnFiles, test::OtherProgram {
    explicit OtherProgram(std::string path) : test::OtherProgram(files, std::move(path)) {}
};

struct Window {
    Window() {
        QDir(temp.path()).mkpath("Quorvane");
        OtherProgram first(Path());
        for (const char16_t* name : {u"Clips", u"Music", u"Talks"}) {
            first.Add(name);
        }
        window = std::make_unique<MainFrameWindow>(services);
        window->show();
    }
    std::string Path() const { return temp.path().toStdString() + "/Quorvane/config.vtr"; }
    QStringList Folders() const {
        QStringList names;
        for (const auto& child : window->Store().Resources().FileResources().Children()) {
            names << QString::fromStdU16String(child->Record().name);
        }
        return names;
    }
    QString Selected() const {
        const CatalogueItem* item = window->TreePane().SelectedItem();
        return item != nullptr ? QString::fromStdU16String(item->Text()) : QString();
    }
    void Select(int row) {
        window->TreePane().SelectItem(*window->Store().Resources().FileResources().Children()[row]);
    }
    QModelIndex LiveBranch() const {
        auto* model = static_cast<CatalogueItemModel*>(window->TreePane().View()->model());
        return model->IndexOf(window->Store().Resources().LiveBroadcasts());
    }

    QTemporaryDir temp;
    test::FakeApp app;
    LinuxFileStore files;
    TempInstallation installation{temp.path().toStdString()};
    AppServices services{app.defaultAuthMethod,
                         app.multicastTable,
                         files,
                         files,
                         installation,
                         app.serviceManager,
                         app.clock,
                         app.automation,
                         app.prompter,
                         app.desktop,
                         app.machine,
                         app.machine,
                         app.machine,
                         app.machine,
                         app.machine,
                         app.connection,
                         app.help};
    std::unique_ptr<MainFrameWindow> window;
};

}  // namespace

class FollowFileTest : public QObject {
    Q_OBJECT

private slots:
    void TheTreeFollowsAnotherProgramsSavesAndKeepsItsPlace() {
        Window w;
        QCOMPARE(w.Folders(), (QStringList{"Clips", "Music", "Talks"}));
        w.Select(1);
        w.window->TreePane().View()->collapse(w.LiveBranch());
        OtherProgram other(w.Path());
        other.Add(u"Ballads");
        // Within a second, with the selection and the closed branch as they were.
        QTRY_COMPARE_WITH_TIMEOUT(w.Folders(), (QStringList{"Ballads", "Clips", "Music", "Talks"}),
                                  1000);
        QCOMPARE(w.Selected(), QStringLiteral("Music"));
        QVERIFY(!w.window->TreePane().View()->isExpanded(w.LiveBranch()));

        // While a dialog is open the tree stays as it is; it catches up once the dialog closes.
        QDialog dialog(w.window.get());
        dialog.setModal(true);
        dialog.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        other.Delete(u"Music");
        QTest::qWait(600);
        QCOMPARE(w.Folders(), (QStringList{"Ballads", "Clips", "Music", "Talks"}));
        dialog.close();
        // The selected folder is gone: its branch is selected instead.
        QTRY_COMPARE_WITH_TIMEOUT(w.Folders(), (QStringList{"Ballads", "Clips", "Talks"}), 1000);
        QCOMPARE(w.Selected(), QStringLiteral("File resources"));
    }

    void AReloadWaitsForACallTheWindowIsWaitingFor() {
        Window w;
        // A slow call to another machine: the window's loop turns meanwhile, but what the call
        // works on must not be reloaded under it.
        QStringList during;
        RunOffWindowThread([&w, &during] {
            OtherProgram(w.Path()).Add(u"Ballads");
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
            QMetaObject::invokeMethod(
                w.window.get(), [&w, &during] { during = w.Folders(); },
                Qt::BlockingQueuedConnection);
        });
        QCOMPARE(during, (QStringList{"Clips", "Music", "Talks"}));
        QTRY_COMPARE_WITH_TIMEOUT(w.Folders(), (QStringList{"Ballads", "Clips", "Music", "Talks"}),
                                  1000);
    }

    void AWindowForAnotherMachineAsksForTheFilesStampInstead() {
        Window w;
        // No folder watch reaches another machine: the stamp is asked for once a second.
        w.window->SetRemoteHost(QStringLiteral("rack-7"));
        OtherProgram other(w.Path());
        other.Add(u"Ballads");
        QTest::qWait(300);
        QCOMPARE(w.Folders(), (QStringList{"Clips", "Music", "Talks"}));
        QTRY_COMPARE_WITH_TIMEOUT(w.Folders(), (QStringList{"Ballads", "Clips", "Music", "Talks"}),
                                  2500);
    }

    void ASaveOfTheWindowKeepsWhatAnotherProgramWrote() {
        Window w;
        w.Select(2);
        OtherProgram other(w.Path());
        other.Add(u"Zoo");
        // The window disables Talks before it noticed the new folder: both changes survive.
        w.window->TreePane().Commands().ToggleEnabled();
        OtherProgram reader(w.Path());
        QStringList texts;
        for (const auto& child : reader.store.Resources().FileResources().Children()) {
            texts << QString::fromStdU16String(child->Record().name) +
                         (child->Record().enabled ? "" : " off");
        }
        QCOMPARE(texts, (QStringList{"Clips", "Music", "Talks off", "Zoo"}));
        QCOMPARE(w.Folders(), (QStringList{"Clips", "Music", "Talks", "Zoo"}));
        QCOMPARE(w.Selected(), QStringLiteral("Talks (disabled)"));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::FollowFileTest)
#include "follow_file_qtest.moc"
