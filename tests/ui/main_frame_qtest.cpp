// The main window over faked platform services, offscreen: its widgets and item models bound to
// the logic tested in ui_tests, and the dialogs its commands open.

#include <functional>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/delegate_editor_dialog.h"
#include "editors/folder_editor_dialog.h"
#include "editors/live_type_chooser_dialog.h"
#include "ui/catalogue_item_model.h"
#include "ui/connect_model.h"
#include "ui/contents_list_pane.h"
#include "ui/main_frame_window.h"
#include "ui/qt_when_up.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using Commands = QList<QVariantList>;

// config.vtr where the fakes locate it: in tree order the folders archive, Films (multicast on
// port 5000), "Music (disabled)", zebra and the broadcasts Camera, Studio; internal access.
bool WriteSampleConfig(test::FakeApp& app) {
    std::vector<ResourceRecord> records(6);
    const char16_t* names[] = {u"zebra", u"Music", u"Films", u"archive", u"Camera", u"Studio"};
    std::vector<const ResourceRecord*> pointers;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].kind = i < 4 ? ResourceKind::VirtualFolder : ResourceKind::LiveBroadcast;
        records[i].name = names[i];
        records[i].source = u"/srv/";
        records[i].userGroups = AllUsers;
        pointers.push_back(&records[i]);
    }
    records[1].enabled = false;
    records[2].multicast = records[2].unicast = records[2].playlist = true;
    records[2].multicastGroup = u"225.1.1.1:5000";
    records[5].source = u"0@5e884898da";
    app.files.files[test::FakeInstallationEnvironment::DefaultConfigPath] =
        WriteConfigFile(ServerConfig{}, AuthMethod::Internal, std::span(pointers));
    return true;
}

QStringList Column(const QAbstractItemModel& model, int column = 0,
                   const QModelIndex& parent = {}) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        texts << model.index(row, column, parent).data().toString();
    }
    return texts;
}

// What a mouse delivers for a double click: QTest::mouseDClick alone sends only the second
// press, which an item view takes for a first one.
void DoubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

using test::WhenUp;

// The window over the sample, shown; every change runs under Qt's own consistency checks of
// both item models.
struct Frame {
    Frame() {
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The state comes with the first poll's answer, off the window's thread.
        QTRY_VERIFY(window.StateText()->text() != QStringLiteral("Media Server state is unknown"));
        const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
        treeTester = std::make_unique<QAbstractItemModelTester>(Tree()->model(), mode);
        listTester = std::make_unique<QAbstractItemModelTester>(List().model(), mode);
    }
    QTreeView* Tree() const { return window.TreePane().View(); }
    QTreeView& List() const { return *window.ContentsPane().View(); }
    QStringList ListColumn(int column = 0) const { return Column(*List().model(), column); }
    void DoubleClickRow(int row) {
        DoubleClick(List().viewport(), List().visualRect(List().model()->index(row, 0)).center());
    }
    QRect TreeRect(const CatalogueItem& item) const {
        return Tree()->visualRect(static_cast<CatalogueItemModel*>(Tree()->model())->IndexOf(item));
    }
    Catalogue& Resources() { return window.Store().Resources(); }
    CatalogueItem& Folder(std::size_t row) { return *Resources().FileResources().Children()[row]; }
    CatalogueItem& Broadcast(std::size_t row) {
        return *Resources().LiveBroadcasts().Children()[row];
    }
    CatalogueItem* Selected() const { return window.TreePane().SelectedItem(); }
    void SendContextMenu(QWidget* to, QContextMenuEvent::Reason reason, QPoint pos) {
        QContextMenuEvent event(reason, pos, Tree()->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(to, &event);
    }
    // Runs open; once a menu is up, chooses the item with text (or closes the menu). Returns the
    // menu's items as "id text" ("-" for a separator), none when no menu came.
    QStringList MenuFrom(const std::function<void()>& open, const QString& text = {}) {
        QStringList lines;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* chosen = nullptr;
            for (QAction* action : menu ? menu->actions() : QList<QAction*>{}) {
                chosen = !text.isEmpty() && action->text() == text ? action : chosen;
                lines << (action->isSeparator()
                              ? QStringLiteral("-")
                              : QString::number(action->data().toInt()) + u' ' + action->text());
            }
            if (chosen != nullptr) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else if (menu != nullptr) {
                menu->close();
            }
        });
        open();
        QCoreApplication::processEvents();
        return lines;
    }

    test::FakeApp app;
    bool written = WriteSampleConfig(app);
    MainFrameWindow window{app.services};
    QSignalSpy commands{&window, &MainFrameWindow::CommandIssued};
    std::unique_ptr<QAbstractItemModelTester> treeTester, listTester;
};

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void StartUpBuildsTheFrameInOrder() {
        Frame f;
        QCOMPARE(f.window.StateText()->text(), QStringLiteral("Media Server is stopped"));
        // The tree, expanded, with the root selected and the focus; the list shows the root's
        // two branches.
        QAbstractItemModel& tree = *f.Tree()->model();
        const QModelIndex root = tree.index(0, 0);
        QCOMPARE(Column(tree, 0, tree.index(0, 0, root)),
                 QStringList({"archive", "Films", "Music (disabled)", "zebra"}));
        QVERIFY(f.Tree()->isExpanded(tree.index(1, 0, root)));
        QCOMPARE(f.Selected(), &f.Resources().Root());
        QCOMPARE(QApplication::focusWidget(), f.Tree());
        QCOMPARE(f.ListColumn(), QStringList({"File resources", "Live broadcasts"}));
    }

    void StatePaneFollowsAStartAndHelpOpens() {
        Frame f;
        QAction* item = f.window.CommandAction(StartStopServerCommand);
        f.app.serviceManager.startGate.Reset();
        item->trigger();
        QCOMPARE(f.window.StateText()->text(), QStringLiteral("Media Server is starting"));
        QVERIFY(!item->isEnabled());
        // The worker's report changes nothing until its event reaches the window.
        f.app.serviceManager.startGate.Set();
        QVERIFY(f.window.Model().Controller().WaitForWorker());
        QVERIFY(!f.window.PollTimer()->isActive());
        QCoreApplication::sendPostedEvents(&f.window, ServerStateEvent::EventType);
        QCOMPARE(f.window.StateText()->text(), QStringLiteral("Media Server is running"));
        QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));
        QCOMPARE(f.window.PollTimer()->interval(), 250);
        // Polls show changes made elsewhere, and copy the tree's status line to the message pane.
        f.app.serviceManager.installed = false;
        f.window.MessagePane()->setText(QStringLiteral("stale"));
        QTRY_COMPARE_WITH_TIMEOUT(f.window.StateText()->text(),
                                  QStringLiteral("Media Server does not respond"), 3000);
        QCOMPARE(f.window.MessagePane()->text(), QStringLiteral("OK"));

        f.app.installation.existing.insert("/fake/help/VantorConfig.html");
        f.window.CommandAction(HelpContentsCommand)->trigger();
        QCOMPARE(f.app.desktop.helpPages, std::vector<std::string>{"/fake/help/VantorConfig.html"});
    }

    void ListFollowsTheSelectionAndDoubleClicks() {
        Frame f;
        const QRect files = f.TreeRect(f.Resources().FileResources());
        QTest::mouseClick(f.Tree()->viewport(), Qt::LeftButton, {}, files.center());
        QCOMPARE(f.ListColumn(), QStringList({"archive", "Films", "Music", "zebra"}));
        // Changes of the selected branch show at once, in the tree too.
        Catalogue& catalogue = f.Resources();
        ResourceRecord clips;
        clips.name = u"Clips";
        catalogue.InsertResourceItem(clips);
        catalogue.RemoveItem(f.Folder(0));
        QCOMPARE(f.ListColumn(), QStringList({"Clips", "Films", "Music", "zebra"}));
        const QModelIndex branch = f.Tree()->model()->index(0, 0, f.Tree()->model()->index(0, 0));
        QCOMPARE(Column(*f.Tree()->model(), 0, branch).first(), QStringLiteral("Clips"));

        // Double clicks select a branch, then a broadcast, whose own row opens its editor
        // (cancelled here).
        f.window.TreePane().SelectRoot();
        f.DoubleClickRow(1);
        QCOMPARE(f.ListColumn(), QStringList({"Camera", "Studio"}));
        f.DoubleClickRow(1);
        CatalogueItem* studio = catalogue.LiveBroadcasts().Children()[1].get();
        QCOMPARE(f.Selected(), studio);
        QString editor;
        WhenUp<QDialog>([&editor](QDialog& dialog) {
            editor = dialog.windowTitle();
            dialog.reject();
        });
        f.DoubleClickRow(0);
        QCOMPARE(editor, QStringLiteral("Update live broadcast"));
        QCOMPARE(f.commands, (Commands{{205, -1}}));

        // Removing the selected resource moves the selection and lists the new one; a reload
        // replaces every item, and the selection moves to the new item of the same name.
        catalogue.RemoveItem(*studio);
        QCOMPARE(f.ListColumn().first(), QStringLiteral("Camera"));
        f.window.TreePane().LoadConfiguration();
        QCOMPARE(f.Selected(), catalogue.LiveBroadcasts().Children()[0].get());
        QCOMPARE(f.ListColumn(), QStringList{"Camera"});
    }

    void RightClickDeleteKeyAndNewFolderReachTheCommands() {
        Frame f;
        QWidget* viewport = f.Tree()->viewport();
        auto rightClick = [&](QPoint pos, const QString& choose = {}) {
            return f.MenuFrom([&] { f.SendContextMenu(viewport, QContextMenuEvent::Mouse, pos); },
                              choose);
        };
        // The Delete key and the menu's "Delete" become the frame's delete command, which asks.
        f.window.TreePane().SelectItem(f.Folder(2));
        QTest::keyClick(f.Tree(), Qt::Key_Delete);
        QCOMPARE(f.app.prompter.shown.at(0).text, u"Are you sure to delete Music virtual folder?");
        f.window.TreePane().SelectRoot();
        // A right click on a label selects the item and shows its menu, empty space shows none.
        // The pane's own command runs there: disabled in place, and saved.
        const QRect archive = f.TreeRect(f.Folder(0));
        QVERIFY(rightClick(QPoint(10, viewport->height() - 5)).isEmpty());
        const QPoint label(archive.left() + 4, archive.center().y());
        QCOMPARE(rightClick(label, QStringLiteral("&Disable virtual folder")).size(), 7);
        QCOMPARE(f.Selected(), &f.Folder(0));
        QCOMPARE(f.Folder(0).Text(), u"archive (disabled)");
        rightClick(label, QStringLiteral("Delete &virtual folder"));
        QCOMPARE(f.commands, (Commands{{57635, 0}, {57635, 0}}));
        QCOMPARE(f.app.prompter.shown.size(), std::size_t{2});

        // New from the menu: cancelled, the editor frees the group it reserved; accepted, its input
        // becomes a selected, saved folder.
        const std::size_t groups = f.app.multicastTable.Associations().size();
        std::size_t groupsWhileOpen = 0;
        WhenUp<FolderEditorDialog>([&](FolderEditorDialog& dialog) {
            groupsWhileOpen = f.app.multicastTable.Associations().size();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        f.window.CommandAction(NewOrEditFolderCommand)->trigger();
        QCOMPARE(groupsWhileOpen, groups + 1);
        QCOMPARE(f.app.multicastTable.Associations().size(), groups);
        f.window.TreePane().SetFolderBrowser(
            [](QWidget*, const QString&, const QString&) { return QStringLiteral("/srv/média"); });
        WhenUp<FolderEditorDialog>([](FolderEditorDialog& dialog) {
            static_cast<QPushButton*>(dialog.Widget(FolderControl::BrowseButton))->click();
            QTest::keyClicks(dialog.Widget(FolderControl::NameEdit), QStringLiteral("Alpha"));
            static_cast<QPushButton*>(dialog.Widget(FolderControl::OkButton))->click();
        });
        f.window.CommandAction(NewOrEditFolderCommand)->trigger();
        QCOMPARE(f.Selected(), &f.Folder(0));
        QCOMPARE(f.Folder(0).Record().source, u"/srv/média");
        QCOMPARE(f.app.files.writes.size(), std::size_t{4});  // the refused deletes saved too
    }

    void AWindowForAnotherMachineSaysWhichAndOpensNoFileOfThere() {
        Frame f;
        QVERIFY(f.window.HostPane()->isHidden());
        f.window.SetRemoteHost(QStringLiteral("ann@media1"));
        QCOMPARE(f.window.windowTitle(),
                 QStringLiteral("Configuration of Media Server - ann@media1"));
        QVERIFY(!f.window.HostPane()->isHidden());
        QCOMPARE(f.window.HostPane()->text(), QStringLiteral("Server: ann@media1"));
        emit f.window.ContentsPane().FileOpenRequested(std::string("/srv/clips/a.mp3"));
        QCOMPARE(f.app.prompter.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdU16String(f.app.prompter.shown[0].text),
                 QStringLiteral("/srv/clips/a.mp3 is on ann@media1: a file on another machine "
                                "cannot be opened here."));
        QCOMPARE(QString::fromStdU16String(f.app.prompter.shown[0].caption),
                 QStringLiteral("Configuration of Media Server"));
    }

    void ConnectToServerOpensAWindowForTheHostAndRemembersIt() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        Frame f;
        QAction* item = f.window.CommandAction(ConnectToServerCommand);
        QVERIFY(item != nullptr);
        QCOMPARE(item->text(), QStringLiteral("&Connect to server..."));
        std::vector<std::string> offered;
        const auto answer = [&](std::string typed) {
            f.window.SetConnectDialog([&offered, typed](ConnectModel& model) {
                offered = model.Recent();
                model.SetHostText(typed);
                return !model.OnOk().has_value();
            });
            item->trigger();
        };
        answer("ann@rack-7:2222");
        answer("rack-9");
        answer("not a host");  // refused: no window
        QCOMPARE(f.app.desktop.serverWindows,
                 (std::vector<std::string>{"ann@rack-7:2222", "rack-9"}));
        // The next dialog offers the hosts used, the last one first, also to a new window.
        answer("rack-9");
        QCOMPARE(offered, (std::vector<std::string>{"rack-9", "ann@rack-7:2222"}));
        qunsetenv("XDG_CONFIG_HOME");
    }

    void KeyboardMenuAtTheItemAndNewBroadcastThroughTheChooser() {
        Frame f;
        // The Menu key opens the selected item's menu.
        f.window.TreePane().SelectItem(f.Broadcast(0));
        const QPoint row = f.TreeRect(f.Broadcast(0)).center();
        QCOMPARE(f.MenuFrom([&] { f.SendContextMenu(f.Tree(), QContextMenuEvent::Keyboard, row); }),
                 (QStringList{"32790 &Disable live broadcast", "212 Delete &live broadcast",
                              "213 Live broadcast &settings..."}));

        // File > New live broadcast: the chooser's answer picks the editor, whose input becomes a
        // selected, saved broadcast.
        WhenUp<LiveTypeChooserDialog>([](LiveTypeChooserDialog& chooser) {
            qobject_cast<QAbstractButton*>(chooser.Widget(LiveTypeControl::DelegateRadio))->click();
            chooser.accept();
        });
        WhenUp<DelegateEditorDialog>([](DelegateEditorDialog& dialog) {
            dialog.ProtocolList()->setFocus();
            QTest::keyClick(dialog.ProtocolList(), Qt::Key_Down);  // HTTP, and its port
            QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("Bz"));
            QTest::keyClicks(dialog.Widget(DelegateControl::RemoteAliasEdit), QStringLiteral("x"));
            QTest::keyClicks(dialog.Widget(DelegateControl::AddressEdit), QStringLiteral("h"));
            dialog.accept();
        });
        f.window.CommandAction(NewOrEditLiveBroadcastCommand)->trigger();
        QCOMPARE(f.Selected(), &f.Broadcast(0));
        QCOMPARE(f.Broadcast(0).Record().source, u"vtr://http:h:80/x");
        QCOMPARE(f.app.files.writes.size(), std::size_t{1});
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::MainFrameTest)
#include "main_frame_qtest.moc"
