// The main window built for real over faked platform services, offscreen.

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
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "platform/linux_clock.h"
#include "platform/linux_instance_channel.h"
#include "ui/about_dialog.h"
#include "ui/contents_list_pane.h"
#include "ui/main_frame_window.h"
#include "ui/resource_tree_pane.h"
#include "ui/single_instance.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeApp;
using test::FakeClock;
using test::FakeInstallationEnvironment;

// config.vtr with one virtual folder and one live broadcast, where the fakes locate it.
void WriteSmallConfig(FakeApp& app) {
    ResourceRecord folder;
    folder.kind = ResourceKind::VirtualFolder;
    folder.name = u"Films";
    folder.source = u"/srv/films";
    ResourceRecord broadcast;
    broadcast.kind = ResourceKind::LiveBroadcast;
    broadcast.name = u"News";
    broadcast.source = u"udp://239.1.1.1:5000";
    const ResourceRecord* records[] = {&folder, &broadcast};
    app.files.files[FakeInstallationEnvironment::DefaultConfigPath] =
        WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records);
}

// Each top-level menu's title, then its items as "id text" ("-" for a separator).
QStringList MenuLines(MainFrameWindow& window) {
    QStringList lines;
    for (QAction* top : window.menuBar()->actions()) {
        lines << top->text();
        for (QAction* item : top->menu()->actions()) {
            lines << (item->isSeparator() ? QStringLiteral("-")
                                          : QString::number(item->data().toInt()) +
                                                QLatin1Char(' ') + item->text());
        }
    }
    return lines;
}

QStringList ColumnTexts(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, column).data().toString();
    }
    return texts;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void StartUpBuildsTheFrameInOrder();
    void StatePaneFollowsThePolls();
    void StartStopRunsOnTheWorkerAndReportsThroughTheEvent();
    void StartStopDoesNothingWhileTheServerDoesNotRespond();
    void WaitForSettledStateKeepsTheWindowResponsive();
    void MenuPromptsShowWhileAMenuIsOpen();
    void DeleteKeyAndTreeCommandsReachTheDispatch();
    void HelpOpensTheIndexAndMissingHelpDoesNothing();
    void AboutShowsTheProductAndCloses();
    void CloseWaitsForAStartUnderWay();
    void SecondCopyRestoresTheFirstAndEndsWithOne();
    void SecondCopyStartsAfterItsRoundsWhenTheFirstHasNoWindow();
};

void MainFrameTest::StartUpBuildsTheFrameInOrder() {
    FakeApp app;
    WriteSmallConfig(app);
    MainFrameWindow window(app.services);

    QCOMPARE(window.windowTitle(), QStringLiteral("Configuration of Media Server"));
    QCOMPARE(window.size(), QSize(700, 525));
    QCOMPARE(MenuLines(window),
             (QStringList{"&File", "205 New &live broadcast...", "204 New &virtual folder...",
                          "215 &Properties...", "-", "32773 &Start Media Server", "&Help",
                          "32786 &Contents...", "57664 &About VantorConfig..."}));
    // The common data folder is made before the configuration is read from it.
    QCOMPARE(app.installation.created, (std::vector<std::string>{"/fake/appdata/Quorvane"}));
    QCOMPARE(window.Store().ConfigPath(),
             std::string(FakeInstallationEnvironment::DefaultConfigPath));
    QCOMPARE(window.Store().Resources().FileResources().Children().size(), std::size_t{1});

    QCOMPARE(window.MessagePane()->text(), QStringLiteral("OK"));
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));
    QVERIFY(window.PollTimer()->isActive());
    QCOMPARE(window.PollTimer()->interval(), 1000);
    QVERIFY(window.Model().SettledEvent().IsSet());

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // The root is selected, the tree has the focus and the list shows the root's two branches.
    QTreeView* tree = window.TreePane().View();
    QCOMPARE(window.TreePane().SelectedItem(), &window.Store().Resources().Root());
    QCOMPARE(QApplication::focusWidget(), tree);
    QVERIFY(tree->isExpanded(tree->model()->index(0, 0)));
    const QAbstractItemModel& contents = *window.ContentsPane().View()->model();
    QCOMPARE(ColumnTexts(contents, 0), (QStringList{"File resources", "Live broadcasts"}));
    QStringList titles;
    for (int column = 0; column < contents.columnCount(); ++column) {
        titles << contents.headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(titles, (QStringList{"Name", "Path", "Accessibility", "Description"}));
    // Each column a quarter of the list's width.
    QTreeView* list = window.ContentsPane().View();
    const int quarter = list->viewport()->width() / 4;
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(list->header()->sectionSize(column), quarter);
    }

    // Splitters: the tree 180 pixels wide, the contents list 300 high; the state pane 180 wide
    // at the right of the status bar, the message pane taking the rest.
    QCOMPARE(window.ClientSplitter()->sizes().at(0), 180);
    QCOMPARE(window.RightSplitter()->sizes().at(0), 300);
    QVERIFY(window.StatePane()->width() >= 180);
    for (const char16_t* text : {ServerNotRespondingText, ServerChangingStateText}) {
        QVERIFY(window.StateText()->fontMetrics().horizontalAdvance(QString::fromUtf16(text)) <=
                window.StateText()->width());
    }
    QVERIFY(window.StatePane()->geometry().left() > window.MessagePane()->geometry().right());
    QVERIFY(window.MessagePane()->width() > 300);
    // A bigger window gives the extra room to the right-hand and lower panes.
    window.resize(900, 700);
    QTRY_COMPARE(window.ClientSplitter()->sizes().at(0), 180);
    QCOMPARE(window.RightSplitter()->sizes().at(0), 300);
}

void MainFrameTest::StatePaneFollowsThePolls() {
    FakeApp app;
    MainFrameWindow window(app.services);
    QAction* item = window.CommandAction(StartStopServerCommand);
    QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));

    app.serviceManager.SetState(ServiceRunning);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              3000);
    QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));

    app.serviceManager.SetState(ServicePaused);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server is changing state"), 3000);
    QVERIFY(!window.Model().SettledEvent().IsSet());
    QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));

    app.serviceManager.SetInstalled(false);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server does not respond"), 3000);
    QVERIFY(window.Model().SettledEvent().IsSet());
    // The tick also copies the tree pane's status line into the message pane.
    window.MessagePane()->setText(QStringLiteral("stale"));
    QTRY_COMPARE_WITH_TIMEOUT(window.MessagePane()->text(),
                              QString::fromStdU16String(window.TreePane().StatusText()), 3000);
}

void MainFrameTest::StartStopRunsOnTheWorkerAndReportsThroughTheEvent() {
    FakeApp app;
    MainFrameWindow window(app.services);
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));
    app.serviceManager.CloseStartGate();
    QAction* item = window.CommandAction(StartStopServerCommand);

    item->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
    QVERIFY(!item->isEnabled());
    QVERIFY(!window.PollTimer()->isActive());
    QVERIFY(!window.Model().SettledEvent().IsSet());
    // No polling while the start is under way, for longer than a poll period.
    const int queries = app.serviceManager.Queries();
    QTest::qWait(1300);
    QCOMPARE(app.serviceManager.Queries(), queries);
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));

    app.serviceManager.OpenStartGate();
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              5000);
    QVERIFY(item->isEnabled());
    QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));
    QVERIFY(window.Model().SettledEvent().IsSet());
    QVERIFY(window.PollTimer()->isActive());
    QCOMPARE(window.PollTimer()->interval(), 250);
    QCOMPARE(app.serviceManager.Starts(), 1);

    // And back: the stop reports through the same event.
    item->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopping"));
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is stopped"),
                              5000);
    QCOMPARE(app.serviceManager.Stops(), 1);
    QCOMPARE(window.PollTimer()->interval(), 250);
}

void MainFrameTest::StartStopDoesNothingWhileTheServerDoesNotRespond() {
    FakeApp app;
    app.serviceManager.SetInstalled(false);
    MainFrameWindow window(app.services);
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server does not respond"));
    QAction* item = window.CommandAction(StartStopServerCommand);
    QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));
    item->trigger();
    QTest::qWait(100);
    QCOMPARE(app.serviceManager.Starts(), 0);
    QVERIFY(item->isEnabled());
    QVERIFY(window.PollTimer()->isActive());
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server does not respond"));
}

void MainFrameTest::WaitForSettledStateKeepsTheWindowResponsive() {
    FakeApp app;
    MainFrameWindow window(app.services);
    // The wait resets the event and ends with the next poll, which the timer brings.
    bool sawReset = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this,
            [&] { sawReset = sawReset || !window.Model().SettledEvent().IsSet(); });
    probe.start(10);
    QVERIFY(window.WaitForSettledState());
    QVERIFY(sawReset);
    QVERIFY(window.Model().SettledEvent().IsSet());

    // During a start it ends when the start's result arrives.
    app.serviceManager.CloseStartGate();
    window.OnCommand(StartStopServerCommand, 0);
    QTimer::singleShot(200, this, [&] { app.serviceManager.OpenStartGate(); });
    QVERIFY(window.WaitForSettledState());
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is running"));

    // After closing nothing would settle it: it returns at once.
    window.close();
    QVERIFY(!window.WaitForSettledState());
}

void MainFrameTest::MenuPromptsShowWhileAMenuIsOpen() {
    FakeApp app;
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QMenu* file = window.menuBar()->actions().at(0)->menu();
    QVERIFY(file != nullptr);

    file->popup(window.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("Ready"));
    const std::pair<int, QString> prompts[] = {
        {NewOrEditLiveBroadcastCommand, "Create new live broadcast configuration"},
        {NewOrEditFolderCommand, "Create new virtual folder"},
        {ServerPropertiesCommand, "Display Media Server properties"},
        {StartStopServerCommand, "Send request command to Media Server"},
        {AboutCommand, "Display program information, version number and copyright"},
        {HelpContentsCommand, "Ready"},
    };
    for (const auto& [command, prompt] : prompts) {
        window.CommandAction(command)->hover();
        QCOMPARE(window.MessagePane()->text(), prompt);
    }
    file->hide();
    QCOMPARE(window.MessagePane()->text(), QStringLiteral("OK"));
}

void MainFrameTest::DeleteKeyAndTreeCommandsReachTheDispatch() {
    FakeApp app;
    WriteSmallConfig(app);
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy commands(&window, &MainFrameWindow::CommandIssued);

    QTest::keyClick(window.TreePane().View(), Qt::Key_Delete);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), DeleteResourceCommand);
    QCOMPARE(window.CommandAction(DeleteResourceCommand)->data().toInt(), 57635);

    emit window.TreePane().CommandRequested(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
    QCOMPARE(commands.count(), 2);
    QCOMPARE(commands.at(1).at(0).toInt(), 205);
    QCOMPARE(commands.at(1).at(1).toInt(), -1);
    // With the root selected Delete asks nothing, but saves as every delete does; live
    // broadcasts have no handler yet.
    QCOMPARE(app.files.writes.size(), std::size_t{1});
    QVERIFY(app.prompter.shown.empty());
}

void MainFrameTest::HelpOpensTheIndexAndMissingHelpDoesNothing() {
    {
        FakeApp app;
        MainFrameWindow window(app.services);
        window.CommandAction(HelpContentsCommand)->trigger();
        // Pages that appear later are not looked for again.
        app.installation.existing.insert("/fake/help/VantorConfig.html");
        window.CommandAction(HelpContentsCommand)->trigger();
        QVERIFY(app.desktop.helpPages.empty());
        QVERIFY(app.prompter.shown.empty());
    }
    FakeApp app;
    app.installation.existing.insert("/fake/help/VantorConfig.html");
    MainFrameWindow window(app.services);
    window.CommandAction(HelpContentsCommand)->trigger();
    QCOMPARE(app.desktop.helpPages, (std::vector<std::string>{"/fake/help/VantorConfig.html"}));
}

void MainFrameTest::AboutShowsTheProductAndCloses() {
    FakeApp app;
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList seen;
    QTimer::singleShot(100, this, [&] {
        auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        if (about == nullptr) {
            return;
        }
        seen << about->windowTitle();
        for (const char* name : {"aboutProduct", "aboutCopyright", "aboutWeb"}) {
            seen << about->findChild<QLabel*>(name)->text();
        }
        seen << (about->parentWidget() == &window ? "owned" : "not owned");
        QTest::keyClick(about, Qt::Key_Escape);
    });
    window.CommandAction(AboutCommand)->trigger();
    QCOMPARE(seen, (QStringList{"About", "Media server configurator v 7.5",
                                QString::fromUtf16(AboutCopyrightLine),
                                QString::fromUtf16(AboutWebAddress), "owned"}));
}

void MainFrameTest::CloseWaitsForAStartUnderWay() {
    FakeApp app;
    MainFrameWindow window(app.services);
    window.show();
    QSignalSpy closed(&window, &MainFrameWindow::Closed);
    app.serviceManager.CloseStartGate();
    window.OnCommand(StartStopServerCommand, 0);
    QVERIFY(window.Model().Controller().IsOperationRunning());

    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        app.serviceManager.OpenStartGate();
    });
    window.close();
    opener.join();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window.Model().Controller().IsOperationRunning());
    QCOMPARE(app.serviceManager.Starts(), 1);
    QVERIFY(!window.PollTimer()->isActive());
    // Closing saves nothing.
    QVERIFY(app.files.writes.empty());
}

void MainFrameTest::SecondCopyRestoresTheFirstAndEndsWithOne() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::string path = folder.path().toStdString();
    const std::u16string name = SingleInstanceName(FrameTitle);

    FakeApp app;
    LinuxInstanceChannel firstChannel(path);
    LinuxClock clock;
    QCOMPARE(CheckSingleInstance(firstChannel, clock, FrameTitle), InstanceCheckPassed);
    MainFrameWindow window(app.services);
    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    QVERIFY(firstChannel.Listen(name, [&] { window.RestoreFromAnotherCopy(); }));

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
    QCOMPARE(InstanceCheckExitCode(result.load()), 1);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
}

void MainFrameTest::SecondCopyStartsAfterItsRoundsWhenTheFirstHasNoWindow() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::string path = folder.path().toStdString();
    auto first = std::make_unique<LinuxInstanceChannel>(path);
    QCOMPARE(first->TryLock(SingleInstanceName(FrameTitle)).state, InstanceLockState::Acquired);

    // Holding the lock without listening: the second copy waits its 25 rounds, then goes on.
    LinuxInstanceChannel second(path);
    FakeClock clock;
    QCOMPARE(CheckSingleInstance(second, clock, FrameTitle), InstanceCheckPassed);
    QCOMPARE(clock.Sleeps(), std::vector<std::uint32_t>(25, 100));

    // Once the first copy is gone its lock is free again.
    LinuxInstanceChannel third(path);
    QCOMPARE(third.TryLock(SingleInstanceName(FrameTitle)).state, InstanceLockState::HeldElsewhere);
    first.reset();
    QCOMPARE(third.TryLock(SingleInstanceName(FrameTitle)).state, InstanceLockState::Acquired);

    // A name that cannot name a file fails the check with its code.
    LinuxInstanceChannel missingFolder(path + "/no/such/folder");
    QCOMPARE(CheckSingleInstance(missingFolder, clock, FrameTitle), EFail);
}

}  // namespace vantor

QTEST_MAIN(vantor::MainFrameTest)
#include "main_frame_qtest.moc"
