// The tree's context menu and the resource commands wired into the panes and the frame,
// offscreen.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/folder_editor_dialog.h"
#include "ui/activity_monitor_pane.h"
#include "ui/catalogue_item_model.h"
#include "ui/contents_list.h"
#include "ui/contents_list_pane.h"
#include "ui/main_frame_window.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeApp;
using test::FakeInstallationEnvironment;

// The server side: which folders multicast, which users play what, and what it was asked.
class ServerAutomation : public test::FakeAutomation {
public:
    struct Trigger : FileMCastTriggerObject {
        explicit Trigger(ServerAutomation& server) : server(server) {}
        HResult StartMulticast(const std::u16string&, const std::u16string&, const std::u16string&,
                               std::int32_t, bool) override {
            return SOk;
        }
        HResult StopMulticast(const std::u16string&) override { return SOk; }
        MulticastStatusResult GetMulticastStatus(const std::u16string& name) override {
            ++server.statusQueries;
            const auto found = server.multicasting.find(name);
            return found != server.multicasting.end()
                       ? MulticastStatusResult{SOk, found->second, {}}
                       : MulticastStatusResult{SFalse, {}, server.idleText};
        }
        ServerAutomation& server;
    };
    struct InUse : ResourcesInUseObject {
        explicit InUse(ServerAutomation& server) : server(server) {}
        TextListResult GetActiveUsers() override { return {SOk, server.activeUsers}; }
        HResult DisconnectUser(std::int32_t pointer) override {
            server.disconnected.push_back(pointer);
            return SOk;
        }
        TextListResult GetLiveConnections() override { return {}; }
        ThroughputResult GetThroughput() override { return {}; }
        TextListResult GetMediaUsage() override { return {}; }
        ServerAutomation& server;
    };

    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        return std::make_unique<Trigger>(*this);
    }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        return std::make_unique<InUse>(*this);
    }

    std::map<std::u16string, std::u16string> multicasting;
    std::u16string idleText;
    std::vector<std::u16string> activeUsers;
    std::vector<std::int32_t> disconnected;
    int statusQueries = 0;
};

ResourceRecord Folder(std::u16string name, bool enabled = true) {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = std::move(name);
    record.source = u"/srv/" + record.name;
    record.enabled = enabled;
    record.unicast = true;
    record.multicast = true;
    record.playlist = true;
    record.userGroups = AllUsers;
    return record;
}

std::vector<std::uint8_t> SampleFile() {
    ResourceRecord films = Folder(u"Films");
    films.multicastGroup = u"225.1.1.1:5000";
    const ResourceRecord music = Folder(u"Music", false);
    ResourceRecord news;
    news.kind = ResourceKind::LiveBroadcast;
    news.name = u"News";
    news.source = u"udp://239.1.1.1:5000";
    const ResourceRecord* records[] = {&films, &music, &news};
    return WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records);
}

// "id text" per action, "-" per separator.
QStringList MenuLines(const QMenu& menu) {
    QStringList lines;
    for (QAction* action : menu.actions()) {
        lines << (action->isSeparator()
                      ? QStringLiteral("-")
                      : QString::number(action->data().toInt()) + u' ' + action->text());
    }
    return lines;
}

// Sends what a right click delivers; QTest's mouse clicks do not make context menu events.
void RightClick(QTreeView* view, QPoint pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
}

// The tree and contents panes over a store, with a server state the test sets.
struct Panes {
    Panes() {
        files.files[Path] = SampleFile();
        store = std::make_unique<ConfigStore>(defaultAuthMethod, multicastTable, serverState, files,
                                              automation, prompter, Path);
        splitter = std::make_unique<QSplitter>();
        contents = new ContentsListPane;
        tree = new ResourceTreePane(*store, defaultAuthMethod, multicastTable, serverState,
                                    automation, prompter, *contents);
        splitter->addWidget(tree);
        splitter->addWidget(contents);
        splitter->resize(700, 400);
        tree->LoadConfiguration();
    }
    ~Panes() { splitter.reset(); }

    CatalogueItem& Item(const CatalogueItem& branch, std::size_t row) {
        return *branch.Children()[row];
    }
    CatalogueItem& Films() { return Item(store->Resources().FileResources(), 0); }
    QRect RectOf(const CatalogueItem& item) {
        auto* model = static_cast<CatalogueItemModel*>(tree->View()->model());
        return tree->View()->visualRect(model->IndexOf(item));
    }

    static constexpr char Path[] = "/data/Quorvane/config.vtr";
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    test::FakeFileStore files;
    ServerAutomation automation;
    test::RecordingPrompter prompter;
    std::unique_ptr<ConfigStore> store;
    std::unique_ptr<QSplitter> splitter;
    ContentsListPane* contents = nullptr;
    ResourceTreePane* tree = nullptr;
};

// Once the context menu is up: remembers its lines and chooses the item with text (or closes
// it when text is empty).
void ChooseFromPopup(QStringList& shown, const QString& text) {
    QTimer::singleShot(0, [&shown, text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        shown = MenuLines(*menu);
        for (QAction* action : menu->actions()) {
            if (!text.isEmpty() && action->text() == text) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
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

class ResourceCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void contextMenuFollowsTheItem();
    void rightClickSelectsAndRoutesTheChoice();
    void deleteKeyAsksAndDeletes();
    void newFolderFromTheMenuRunsTheEditor();
    void editOfAFolderOpensItAndCancelChangesNothing();
    void statusLineFollowsSelectionAndActivityTimer();
};

void ResourceCommandsTest::contextMenuFollowsTheItem() {
    Panes panes;
    Catalogue& catalogue = panes.store->Resources();
    QCOMPARE(MenuLines(*panes.tree->ContextMenuFor(catalogue.Root())),
             (QStringList{"210 New &live broadcast...", "211 New &virtual folder...",
                          "214 &Properties..."}));
    QCOMPARE(
        MenuLines(*panes.tree->ContextMenuFor(panes.Films())),
        (QStringList{"32790 &Disable virtual folder", "0 Delete &virtual folder",
                     "32775 Virtual folder &settings...", "-", "32785 &Export info to web page...",
                     "-", "32788 &Generate WMP playlist..."}));
    QCOMPARE(panes.automation.statusQueries, 0);  // a stopped server is not asked

    panes.serverState = ServerState::Running;
    QStringList lines = MenuLines(*panes.tree->ContextMenuFor(panes.Films()));
    QCOMPARE(lines.mid(3, 4), (QStringList{"-", "32777 &Start muticasting", "-",
                                           "32785 &Export info to web page..."}));
    QVERIFY(panes.tree->Commands().StartRequested());
    panes.automation.multicasting[u"Films"] = u"225.1.1.1:5000";
    lines = MenuLines(*panes.tree->ContextMenuFor(panes.Films()));
    QCOMPARE(lines.at(4), QStringLiteral("32777 &Stop multicasting"));
    QVERIFY(!panes.tree->Commands().StartRequested());
    QCOMPARE(panes.tree->StatusText(), u"Currently multicasting: 225.1.1.1:5000");
}

void ResourceCommandsTest::rightClickSelectsAndRoutesTheChoice() {
    Panes panes;
    panes.splitter->show();
    QVERIFY(QTest::qWaitForWindowExposed(panes.splitter.get()));
    Catalogue& catalogue = panes.store->Resources();
    panes.tree->SelectRoot();
    QTreeView* view = panes.tree->View();
    QSignalSpy commands(panes.tree, &ResourceTreePane::CommandRequested);

    // Below the items, and beside a label: no menu, and the selection stays.
    QStringList shown;
    ChooseFromPopup(shown, {});
    RightClick(view, QPoint(10, view->viewport()->height() - 5));
    const QRect films = panes.RectOf(panes.Films());
    QVERIFY(films.isValid());
    RightClick(view, QPoint(view->viewport()->width() - 3, films.center().y()));
    QCoreApplication::processEvents();
    QVERIFY(shown.isEmpty());
    QCOMPARE(panes.tree->SelectedItem(), &catalogue.Root());

    // On the label: the item is selected and its menu shown; a frame command goes out.
    ChooseFromPopup(shown, QStringLiteral("Virtual folder &settings..."));
    RightClick(view, QPoint(films.left() + 4, films.center().y()));
    QCOMPARE(panes.tree->SelectedItem(), &panes.Films());
    QCOMPARE(shown.size(), 7);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 204);
    QCOMPARE(commands.at(0).at(1).toInt(), -1);

    // The pane's own command runs here: disabled in place, and saved.
    ChooseFromPopup(shown, QStringLiteral("&Disable virtual folder"));
    RightClick(view, QPoint(films.left() + 4, films.center().y()));
    QCOMPARE(commands.count(), 1);
    QCOMPARE(panes.Films().Text(), u"Films (disabled)");
    QCOMPARE(panes.files.writes.size(), std::size_t{1});
    const ConfigFileContents saved = ReadConfigFile(panes.files.files[Panes::Path]);
    QCOMPARE(saved.records.size(), std::size_t{3});
    QVERIFY(!saved.records[0].enabled);

    // "Delete" becomes the frame's delete command.
    ChooseFromPopup(shown, QStringLiteral("Delete &virtual folder"));
    RightClick(view, QPoint(films.left() + 4, films.center().y()));
    QCOMPARE(commands.count(), 2);
    QCOMPARE(commands.at(1).at(0).toInt(), 57635);
}

void ResourceCommandsTest::deleteKeyAsksAndDeletes() {
    FakeApp app;
    app.files.files[FakeInstallationEnvironment::DefaultConfigPath] = SampleFile();
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Catalogue& catalogue = window.Store().Resources();
    window.TreePane().SelectItem(*catalogue.FileResources().Children()[0]);

    QTest::keyClick(window.TreePane().View(), Qt::Key_Delete);
    QCOMPARE(app.prompter.shown.size(), std::size_t{1});
    QCOMPARE(app.prompter.shown[0].text, u"Are you sure to delete Films virtual folder?");
    QCOMPARE(app.prompter.shown[0].caption, u"Confirmation");
    QVERIFY(app.prompter.shown[0].question);
    // No: nothing deleted, but saved all the same.
    QCOMPARE(catalogue.FileResources().Children().size(), std::size_t{2});
    QCOMPARE(app.files.writes.size(), std::size_t{1});

    app.prompter.answers.push_back(true);
    QTest::keyClick(window.TreePane().View(), Qt::Key_Delete);
    QCOMPARE(app.prompter.shown.size(), std::size_t{2});
    QCOMPARE(catalogue.FileResources().Children().size(), std::size_t{1});
    const ConfigFileContents saved =
        ReadConfigFile(app.files.files[FakeInstallationEnvironment::DefaultConfigPath]);
    QCOMPARE(saved.records.size(), std::size_t{2});
    QCOMPARE(saved.records[0].name, u"Music");
    // The server is stopped: nobody to disconnect.
    QCOMPARE(app.automation.creations, 0);
}

void ResourceCommandsTest::newFolderFromTheMenuRunsTheEditor() {
    FakeApp app;
    app.files.files[FakeInstallationEnvironment::DefaultConfigPath] = SampleFile();
    MainFrameWindow window(app.services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
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
    QVERIFY(app.prompter.shown.empty());
    const CatalogueItem& files = window.Store().Resources().FileResources();
    QCOMPARE(files.Children().size(), std::size_t{3});
    const CatalogueItem& alpha = *files.Children()[0];
    QCOMPARE(alpha.Text(), u"Alpha");
    QCOMPARE(window.TreePane().SelectedItem(), &alpha);
    QCOMPARE(alpha.Record().source, u"/srv/alpha");
    // Films holds port 5000, so the first free group comes with the next port.
    QCOMPARE(alpha.Record().multicastGroup, u"225.0.0.0:5001");
    QCOMPARE(app.files.writes.size(), std::size_t{1});
    const ConfigFileContents saved =
        ReadConfigFile(app.files.files[FakeInstallationEnvironment::DefaultConfigPath]);
    QCOMPARE(saved.records.size(), std::size_t{4});
    QCOMPARE(saved.records[0].name, u"Alpha");
    // The contents pane lists the new folder's own (empty) listing, not the branch.
    QCOMPARE(window.ContentsPane().Contents().Rows().size(), std::size_t{0});
}

void ResourceCommandsTest::editOfAFolderOpensItAndCancelChangesNothing() {
    FakeApp app;
    app.files.files[FakeInstallationEnvironment::DefaultConfigPath] = SampleFile();
    MainFrameWindow window(app.services);
    CatalogueItem& films = *window.Store().Resources().FileResources().Children()[0];
    window.TreePane().SelectItem(films);

    QString title;
    QString name;
    WhenEditorOpens([&](FolderEditorDialog& dialog) {
        title = dialog.windowTitle();
        name = static_cast<QLineEdit*>(dialog.Widget(FolderControl::NameEdit))->text();
        QTest::keyClicks(dialog.Widget(FolderControl::NameEdit), QStringLiteral("X"));
        dialog.reject();
    });
    emit window.TreePane().CommandRequested(NewOrEditFolderCommand, EditSelectedParameter);
    QCOMPARE(title, QStringLiteral("Update virtual folder"));
    QCOMPARE(name, QStringLiteral("Films"));
    QCOMPARE(films.Record().name, u"Films");
    QVERIFY(app.files.writes.empty());

    // Accepted, a new description is written.
    WhenEditorOpens([](FolderEditorDialog& dialog) {
        QTest::keyClicks(dialog.Widget(FolderControl::DescriptionEdit), QStringLiteral("Old"));
        dialog.accept();
    });
    emit window.TreePane().CommandRequested(NewOrEditFolderCommand, EditSelectedParameter);
    QCOMPARE(films.Record().description, u"Old");
    QCOMPARE(app.files.writes.size(), std::size_t{1});
}

void ResourceCommandsTest::statusLineFollowsSelectionAndActivityTimer() {
    FakeApp app;
    app.files.files[FakeInstallationEnvironment::DefaultConfigPath] = SampleFile();
    app.serviceManager.SetState(ServiceRunning);
    ServerAutomation automation;
    automation.multicasting[u"Films"] = u"225.1.1.1:5000";
    AppServices services{app.defaultAuthMethod,
                         app.multicastTable,
                         app.files,
                         app.installation,
                         app.serviceManager,
                         app.clock,
                         automation,
                         app.prompter,
                         app.desktop,
                         app.help};
    MainFrameWindow window(services);
    QCOMPARE(window.Model().State(), ServerState::Running);
    QTimer* refresh = window.ActivityPane().RefreshTimer();
    QVERIFY(refresh->isActive());
    QCOMPARE(refresh->interval(), 10000);

    CatalogueItem& films = *window.Store().Resources().FileResources().Children()[0];
    window.TreePane().SelectItem(films);
    QCOMPARE(window.TreePane().StatusText(), u"Currently multicasting: 225.1.1.1:5000");
    QTRY_COMPARE_WITH_TIMEOUT(window.MessagePane()->text(),
                              QStringLiteral("Currently multicasting: 225.1.1.1:5000"), 3000);

    // The server stops multicasting on its own; the activity timer notices.
    automation.multicasting.clear();
    automation.idleText = u"Stopped by schedule";
    const int queries = automation.statusQueries;
    emit window.ActivityPane().RefreshTimerFired();
    QCOMPARE(automation.statusQueries, queries + 1);
    QCOMPARE(window.TreePane().StatusText(), u"Stopped by schedule");

    window.TreePane().SelectRoot();
    QCOMPARE(window.TreePane().StatusText(), u"OK");

    // Deleting a folder while the server runs drops the users playing its files.
    automation.activeUsers = {
        u"<\x01Resource\x01>films\\a.wmv<\x01User\x01>anna<\x01Pointer\x01>11",
        u"<\x01Resource\x01>music\\b.wmv<\x01User\x01>bob<\x01Pointer\x01>12",
    };
    window.TreePane().SelectItem(films);
    app.prompter.answers.push_back(true);
    window.OnCommand(DeleteResourceCommand, 0);
    QCOMPARE(window.Store().Resources().FileResources().Children().size(), std::size_t{1});
    QCOMPARE(automation.disconnected, std::vector<std::int32_t>{11});
}

}  // namespace vantor

QTEST_MAIN(vantor::ResourceCommandsTest)
#include "resource_commands_qtest.moc"
