// The main window built for real over faked platform services, offscreen: the frame's widgets
// bound to its model and to the resource commands. The rules themselves are tested in ui_tests.

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/folder_editor_dialog.h"
#include "platform/linux_clock.h"
#include "platform/linux_instance_channel.h"
#include "ui/about_dialog.h"
#include "ui/activity_monitor_pane.h"
#include "ui/contents_list_pane.h"
#include "ui/main_frame_window.h"
#include "ui/resource_tree_pane.h"
#include "ui/single_instance.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeApp;

// The server side of the multicast status line: every folder multicasts to group while it is
// set.
class MulticastServer : public test::FakeAutomation {
public:
    struct Trigger : FileMCastTriggerObject {
        explicit Trigger(MulticastServer& server) : server(server) {}
        HResult StartMulticast(const std::u16string&, const std::u16string&, const std::u16string&,
                               std::int32_t, bool) override {
            return SOk;
        }
        HResult StopMulticast(const std::u16string&) override { return SOk; }
        MulticastStatusResult GetMulticastStatus(const std::u16string&) override {
            ++server.statusQueries;
            return {server.group.empty() ? SFalse : SOk, server.group, u"Stopped by schedule"};
        }
        MulticastServer& server;
    };
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        return std::make_unique<Trigger>(*this);
    }

    std::u16string group;
    int statusQueries = 0;
};

// config.vtr where the fakes locate it: the multicast folders Films (on port 5000) and Music.
void WriteSampleConfig(FakeApp& app) {
    ResourceRecord films;
    films.kind = ResourceKind::VirtualFolder;
    films.name = u"Films";
    films.source = u"/srv/films";
    films.unicast = films.multicast = films.playlist = true;
    films.multicastGroup = u"225.1.1.1:5000";
    ResourceRecord music = films;
    music.name = u"Music";
    music.multicastGroup.clear();
    const ResourceRecord* records[] = {&films, &music};
    app.files.files[test::FakeInstallationEnvironment::DefaultConfigPath] =
        WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records);
}

// Once the folder editor is up, runs drive on it.
template <typename Drive>
void WhenEditorOpens(Drive drive) {
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<FolderEditorDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        drive(*dialog);
    });
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void StartUpBuildsTheFrameInOrder();
    void StatePaneFollowsStartAndStop();
    void MenuPromptsHelpAboutAndSettledWait();
    void DeleteKeyAndFolderEditorReachTheCommands();
    void StatusLineFollowsTheActivityTimer();
    void CloseWaitsForAStartUnderWay();
    void SecondCopyRestoresTheFirst();
    void LockIsHeldUntilTheFirstCopyEnds();
};

void MainFrameTest::StartUpBuildsTheFrameInOrder() {
    FakeApp app;
    WriteSampleConfig(app);
    MainFrameWindow window(app.services);
    QCOMPARE(window.windowTitle(), QStringLiteral("Configuration of Media Server"));
    QCOMPARE(window.size(), QSize(700, 525));
    QStringList menus;
    for (QAction* top : window.menuBar()->actions()) {
        menus << top->text();
        for (QAction* item : top->menu()->actions()) {
            menus << (item->isSeparator()
                          ? QStringLiteral("-")
                          : QString::number(item->data().toInt()) + u' ' + item->text());
        }
    }
    QCOMPARE(menus,
             (QStringList{"&File", "205 New &live broadcast...", "204 New &virtual folder...",
                          "215 &Properties...", "-", "32773 &Start Media Server", "&Help",
                          "32786 &Contents...", "57664 &About VantorConfig..."}));
    // The common data folder is made before the configuration is read from it.
    QCOMPARE(app.installation.created, (std::vector<std::string>{"/fake/appdata/Quorvane"}));
    QCOMPARE(window.Store().Resources().FileResources().Children().size(), std::size_t{2});
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("OK"));
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));
    QCOMPARE(window.PollTimer()->interval(), 1000);

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The root is selected with the focus, and the list shows its two branches in four
    // columns of a quarter of the list's width each.
    QCOMPARE(window.TreePane().SelectedItem(), &window.Store().Resources().Root());
    QCOMPARE(QApplication::focusWidget(), window.TreePane().View());
    QTreeView* list = window.ContentsPane().View();
    QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("Live broadcasts"));
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(list->header()->sectionSize(column), list->viewport()->width() / 4);
    }
    QCOMPARE(window.ClientSplitter()->sizes().at(0), 180);
    QCOMPARE(window.RightSplitter()->sizes().at(0), 300);
    QVERIFY(window.StatePane()->width() >= 180);
    QVERIFY(window.StatePane()->geometry().left() > window.MessagePane()->geometry().right());
}

void MainFrameTest::StatePaneFollowsStartAndStop() {
    FakeApp app;
    MainFrameWindow window(app.services);
    QAction* item = window.CommandAction(StartStopServerCommand);
    app.serviceManager.startGate.Reset();
    item->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
    QVERIFY(!item->isEnabled());
    QVERIFY(!window.PollTimer()->isActive());
    app.serviceManager.startGate.Set();
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              5000);
    QVERIFY(item->isEnabled());
    QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));
    QVERIFY(window.PollTimer()->isActive());
    QCOMPARE(window.PollTimer()->interval(), 250);

    // (The stop, the same way back, runs against the sim in program_against_sim_qtest.) Polls
    // show changes made elsewhere, and copy the tree's status line to the message pane.
    app.serviceManager.installed = false;
    window.MessagePane()->setText(QStringLiteral("stale"));
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server does not respond"), 3000);
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("OK"));
}

void MainFrameTest::MenuPromptsHelpAboutAndSettledWait() {
    FakeApp app;
    app.installation.existing.insert("/fake/help/VantorConfig.html");
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QMenu* file = window.menuBar()->actions().at(0)->menu();
    file->popup(window.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("Ready"));
    window.CommandAction(NewOrEditFolderCommand)->hover();
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("Create new virtual folder"));
    file->hide();
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("OK"));

    window.CommandAction(HelpContentsCommand)->trigger();
    QCOMPARE(app.desktop.helpPages, (std::vector<std::string>{"/fake/help/VantorConfig.html"}));
    QStringList seen;
    QTimer::singleShot(100, this, [&] {
        auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        if (about == nullptr) {
            return;
        }
        seen << about->windowTitle() << about->findChild<QLabel*>("aboutProduct")->text()
             << (about->parentWidget() == &window ? "owned" : "not owned");
        QTest::keyClick(about, Qt::Key_Escape);
    });
    window.CommandAction(AboutCommand)->trigger();
    QCOMPARE(seen, (QStringList{"About", "Media server configurator v 7.5", "owned"}));

    // The settled wait runs the event loop until the timer's next poll.
    QVERIFY(window.WaitForSettledState());
    window.close();
    QVERIFY(!window.WaitForSettledState());  // nothing would settle it any more
}

void MainFrameTest::DeleteKeyAndFolderEditorReachTheCommands() {
    FakeApp app;
    WriteSampleConfig(app);
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const CatalogueItem& files = window.Store().Resources().FileResources();
    window.TreePane().SelectItem(*files.Children()[1]);
    app.prompter.answers.push_back(true);
    QTest::keyClick(window.TreePane().View(), Qt::Key_Delete);
    QCOMPARE(app.prompter.shown.at(0).text, u"Are you sure to delete Music virtual folder?");
    QCOMPARE(files.Children().size(), std::size_t{1});
    QCOMPARE(app.files.writes.size(), std::size_t{1});

    // New from the menu: the dialog's input becomes a selected, saved folder.
    window.TreePane().SetFolderBrowser(
        [](QWidget*, const QString&, const QString&) { return QStringLiteral("/srv/alpha"); });
    QString title;
    WhenEditorOpens([&title](FolderEditorDialog& dialog) {
        title = dialog.windowTitle();
        static_cast<QPushButton*>(dialog.Widget(FolderControl::BrowseButton))->click();
        QTest::keyClicks(dialog.Widget(FolderControl::NameEdit), QStringLiteral("Alpha"));
        static_cast<QPushButton*>(dialog.Widget(FolderControl::OkButton))->click();
    });
    window.CommandAction(NewOrEditFolderCommand)->trigger();
    QCOMPARE(title, QStringLiteral("New virtual folder"));
    CatalogueItem& alpha = *files.Children()[0];
    QCOMPARE(alpha.Text(), u"Alpha");
    QCOMPARE(window.TreePane().SelectedItem(), &alpha);
    // Films holds port 5000, so the first free group comes with the next port.
    QCOMPARE(alpha.Record().multicastGroup, u"225.0.0.0:5001");
    QCOMPARE(app.files.writes.size(), std::size_t{2});
}

void MainFrameTest::StatusLineFollowsTheActivityTimer() {
    FakeApp app;
    WriteSampleConfig(app);
    app.serviceManager.state = ServiceRunning;
    MulticastServer automation;
    automation.group = u"225.1.1.1:5000";
    AppServices withServer{app.defaultAuthMethod,
                           app.multicastTable,
                           app.files,
                           app.installation,
                           app.serviceManager,
                           app.clock,
                           automation,
                           app.prompter,
                           app.desktop,
                           app.help};
    MainFrameWindow window(withServer);
    QCOMPARE(window.ActivityPane().RefreshTimer()->interval(), 10000);
    window.TreePane().SelectItem(*window.Store().Resources().FileResources().Children()[0]);
    QTRY_COMPARE_WITH_TIMEOUT(window.MessagePane()->text(),
                              QStringLiteral("Currently multicasting: 225.1.1.1:5000"), 3000);

    // The server stops multicasting on its own; the activity timer notices.
    automation.group.clear();
    const int queries = automation.statusQueries;
    emit window.ActivityPane().RefreshTimerFired();
    QCOMPARE(automation.statusQueries, queries + 1);
    QCOMPARE(window.TreePane().StatusText(), u"Stopped by schedule");
}

void MainFrameTest::CloseWaitsForAStartUnderWay() {
    FakeApp app;
    MainFrameWindow window(app.services);
    window.show();
    QSignalSpy closed(&window, &MainFrameWindow::Closed);
    app.serviceManager.startGate.Reset();
    window.OnCommand(StartStopServerCommand, 0);
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        app.serviceManager.startGate.Set();
    });
    window.close();
    opener.join();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window.Model().Controller().IsOperationRunning());
    QCOMPARE(app.serviceManager.starts.load(), 1);
    QVERIFY(!window.PollTimer()->isActive());
    QVERIFY(app.files.writes.empty());  // closing saves nothing
}

void MainFrameTest::SecondCopyRestoresTheFirst() {
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    FakeApp app;
    LinuxInstanceChannel firstChannel(path);
    LinuxClock clock;
    QCOMPARE(CheckSingleInstance(firstChannel, clock, FrameTitle), InstanceCheckPassed);
    MainFrameWindow window(app.services);
    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    QVERIFY(firstChannel.Listen(SingleInstanceName(FrameTitle),
                                [&] { window.RestoreFromAnotherCopy(); }));

    // The second copy asks from a thread of its own, as it would from its own process, while
    // this thread's event loop lets the first answer.
    std::atomic<bool> done = false;
    std::atomic<HResult> result = EFail;
    std::thread second([&] {
        LinuxInstanceChannel secondChannel(path);
        LinuxClock secondClock;
        result = CheckSingleInstance(secondChannel, secondClock, FrameTitle);
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
    second.join();
    QCOMPARE(result.load(), AnotherInstanceRestored);
    QVERIFY(!window.isMinimized());
}

void MainFrameTest::LockIsHeldUntilTheFirstCopyEnds() {
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    const std::u16string name = SingleInstanceName(FrameTitle);
    auto first = std::make_unique<LinuxInstanceChannel>(path);
    QCOMPARE(first->TryLock(name).state, InstanceLockState::Acquired);

    // Held without a listener: the second copy waits its 25 rounds, then goes on.
    LinuxInstanceChannel second(path);
    test::FakeClock clock;
    QCOMPARE(CheckSingleInstance(second, clock, FrameTitle), InstanceCheckPassed);
    QCOMPARE(clock.Sleeps().size(), std::size_t{25});
    LinuxInstanceChannel third(path);
    QCOMPARE(third.TryLock(name).state, InstanceLockState::HeldElsewhere);
    first.reset();
    QCOMPARE(third.TryLock(name).state, InstanceLockState::Acquired);

    // A lock that cannot be made fails the check with its code.
    LinuxInstanceChannel missingFolder(path + "/no/such/folder");
    QCOMPARE(CheckSingleInstance(missingFolder, clock, FrameTitle), EFail);
}

}  // namespace vantor

QTEST_MAIN(vantor::MainFrameTest)
#include "main_frame_qtest.moc"
