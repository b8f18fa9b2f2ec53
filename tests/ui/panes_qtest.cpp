// The tree and contents panes and their item models over a configuration store, offscreen:
// selection, double click and the tree's context menu bound to the logic tested in ui_tests.

#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "ui/catalogue_item_model.h"
#include "ui/contents_list.h"
#include "ui/contents_list_item_model.h"
#include "ui/contents_list_pane.h"
#include "ui/qt_icons.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

constexpr char ConfigPath[] = "/data/Quorvane/config.vtr";

ResourceRecord Resource(ResourceKind kind, std::u16string name, std::u16string source) {
    ResourceRecord record;
    record.kind = kind;
    record.name = std::move(name);
    record.source = std::move(source);
    record.authMethod = AuthMethod::InheritDefault;
    record.userGroups = AllUsers;
    return record;
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

// Sends what a right click delivers; QTest's mouse clicks do not make context menu events.
void RightClick(QTreeView* view, QPoint pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
}

// Once a context menu is up: remembers its lines ("id text", "-" per separator) and chooses
// the item with text (or closes it when text is empty).
void ChooseFromPopup(QStringList& shown, const QString& text) {
    QTimer::singleShot(0, [&shown, text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            shown << (action->isSeparator()
                          ? QStringLiteral("-")
                          : QString::number(action->data().toInt()) + u' ' + action->text());
            chosen = action->text() == text && !text.isEmpty() ? action : chosen;
        }
        if (chosen == nullptr) {
            menu->close();
            return;
        }
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

// The two panes side by side over a store that has loaded a config.vtr with, in tree order,
// the folders archive, Lectures, "Music (disabled)", zebra and the broadcasts Camera, Studio.
struct Panes {
    Panes() {
        std::vector<ResourceRecord> records;
        for (const char16_t* name : {u"zebra", u"Music", u"Lectures", u"archive"}) {
            records.push_back(
                Resource(ResourceKind::VirtualFolder, name, u"/srv/" + std::u16string(name)));
        }
        records[1].enabled = false;
        records.push_back(Resource(ResourceKind::LiveBroadcast, u"Camera", u"12@10.0.0.5"));
        records.push_back(Resource(ResourceKind::LiveBroadcast, u"Studio", u"0@5e884898da"));
        std::vector<const ResourceRecord*> pointers;
        for (const ResourceRecord& record : records) {
            pointers.push_back(&record);
        }
        files.files[ConfigPath] =
            WriteConfigFile(ServerConfig{}, AuthMethod::Internal, std::span(pointers));
        store = std::make_unique<ConfigStore>(defaultAuthMethod, multicastTable, serverState, files,
                                              automation, prompter, ConfigPath);
        splitter = std::make_unique<QSplitter>();
        contents = new ContentsListPane;
        tree = new ResourceTreePane(*store, defaultAuthMethod, multicastTable, serverState,
                                    automation, prompter, *contents);
        splitter->addWidget(tree);
        splitter->addWidget(contents);
        splitter->resize(700, 400);
        // Every change below runs under Qt's own consistency checks of both item models.
        const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
        treeTester = std::make_unique<QAbstractItemModelTester>(tree->View()->model(), mode);
        listTester = std::make_unique<QAbstractItemModelTester>(contents->View()->model(), mode);
        tree->LoadConfiguration();
        splitter->show();
        QVERIFY(QTest::qWaitForWindowExposed(splitter.get()));
    }
    ~Panes() {
        treeTester.reset();
        listTester.reset();
        splitter.reset();  // the panes go before the store they show
    }

    QAbstractItemModel& List() { return *contents->View()->model(); }
    QRect TreeRect(const CatalogueItem& item) {
        auto* model = static_cast<CatalogueItemModel*>(tree->View()->model());
        return tree->View()->visualRect(model->IndexOf(item));
    }
    void DoubleClickRow(int row) {
        QTreeView* view = contents->View();
        DoubleClick(view->viewport(), view->visualRect(view->model()->index(row, 0)).center());
    }
    Catalogue& Resources() { return store->Resources(); }
    CatalogueItem& Folder(std::size_t row) { return *Resources().FileResources().Children()[row]; }

    AuthMethod defaultAuthMethod = AuthMethod::Internal;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    test::FakeFileStore files;
    test::FakeAutomation automation;
    test::RecordingPrompter prompter;
    std::unique_ptr<ConfigStore> store;
    std::unique_ptr<QSplitter> splitter;
    ContentsListPane* contents = nullptr;
    ResourceTreePane* tree = nullptr;
    std::unique_ptr<QAbstractItemModelTester> treeTester;
    std::unique_ptr<QAbstractItemModelTester> listTester;
};

}  // namespace

class PanesTest : public QObject {
    Q_OBJECT
private slots:
    void selectionFillsTheListAndFollowsChanges();
    void doubleClickSelectsOrAsksToEdit();
    void rightClickSelectsAndRoutesTheChoice();
    void picturesLoadAtEverySize();
};

void PanesTest::selectionFillsTheListAndFollowsChanges() {
    Panes panes;
    QAbstractItemModel& treeModel = *panes.tree->View()->model();
    const QModelIndex root = treeModel.index(0, 0);
    QVERIFY(!treeModel.data(root, Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(Column(treeModel, 0, treeModel.index(0, 0, root)),
             QStringList({"archive", "Lectures", "Music (disabled)", "zebra"}));
    QVERIFY(panes.tree->View()->isExpanded(treeModel.index(1, 0, root)));
    panes.tree->SelectRoot();
    QCOMPARE(Column(panes.List()), QStringList({"File resources", "Live broadcasts"}));
    QStringList headers;
    for (int column = 0; column < panes.List().columnCount(); ++column) {
        headers << panes.List().headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headers, QStringList({"Name", "Path", "Accessibility", "Description"}));

    // A click in the tree, as the user makes it.
    const QRect files = panes.TreeRect(panes.Resources().FileResources());
    QTest::mouseClick(panes.tree->View()->viewport(), Qt::LeftButton, {}, files.center());
    QCOMPARE(Column(panes.List()), QStringList({"archive", "Lectures", "Music", "zebra"}));
    QCOMPARE(panes.List().index(2, 2).data().toString(),
             QStringLiteral("Internal authentication. All users"));
    QVERIFY(!panes.List().index(2, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!panes.List().index(2, 1).data(Qt::DecorationRole).isValid());
    // A worker's text lands in its cell and is announced.
    QSignalSpy changed(&panes.List(), &QAbstractItemModel::dataChanged);
    ContentsList& contents = panes.contents->Contents();
    QVERIFY(contents.SetText(contents.Listing(), 1, ContentsColumn::Description, u"Size: 1 MB; "));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(panes.List().index(1, 3).data().toString(), QStringLiteral("Size: 1 MB; "));

    // Changes of the selected branch show at once.
    Catalogue& catalogue = panes.Resources();
    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"Films", u"/srv/films"));
    catalogue.RemoveItem(panes.Folder(0));
    panes.Folder(2).Record().description = u"Albums";
    catalogue.SetItemText(panes.Folder(2), u"Music");
    QCOMPARE(treeModel.index(2, 0, treeModel.index(0, 0, root)).data().toString(),
             QStringLiteral("Music"));
    QCOMPARE(Column(panes.List()), QStringList({"Films", "Lectures", "Music", "zebra"}));
    QCOMPARE(panes.List().index(2, 3).data().toString(), QStringLiteral("Albums"));
    // Removing the selected resource moves the selection and lists the new one; a reload
    // replaces every item, so nothing may point at the old ones.
    CatalogueItem& camera = *catalogue.LiveBroadcasts().Children()[0];
    panes.tree->SelectItem(camera);
    catalogue.RemoveItem(camera);
    QVERIFY(panes.tree->SelectedItem() != nullptr);
    QCOMPARE(panes.List().index(0, 0).data().toString(),
             QString::fromStdU16String(panes.tree->SelectedItem()->Record().name));
    panes.tree->LoadConfiguration();
    QCOMPARE(panes.List().rowCount(), 0);
    QCOMPARE(panes.tree->SelectedItem(), nullptr);
}

void PanesTest::doubleClickSelectsOrAsksToEdit() {
    Panes panes;
    panes.tree->SelectRoot();
    panes.DoubleClickRow(1);
    QCOMPARE(panes.tree->SelectedItem(), &panes.Resources().LiveBroadcasts());
    QCOMPARE(Column(panes.List()), QStringList({"Camera", "Studio"}));
    panes.DoubleClickRow(1);
    CatalogueItem* studio = panes.Resources().LiveBroadcasts().Children()[1].get();
    QCOMPARE(panes.tree->SelectedItem(), studio);
    QCOMPARE(Column(panes.List(), 1), QStringList({"Dynamic"}));  // its own row, to edit it

    QSignalSpy commands(panes.tree, &ResourceTreePane::CommandRequested);
    panes.DoubleClickRow(0);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 205);
    QCOMPARE(commands.at(0).at(1).toInt(), -1);
    QCOMPARE(panes.tree->SelectedItem(), studio);
    // A double click beside the rows does nothing.
    QWidget* viewport = panes.contents->View()->viewport();
    DoubleClick(viewport, QPoint(5, viewport->height() - 5));
    QCOMPARE(commands.count(), 1);
}

void PanesTest::rightClickSelectsAndRoutesTheChoice() {
    Panes panes;
    panes.tree->SelectRoot();
    QTreeView* view = panes.tree->View();
    QSignalSpy commands(panes.tree, &ResourceTreePane::CommandRequested);

    // Below the items, and beside a label: no menu, and the selection stays.
    QStringList shown;
    ChooseFromPopup(shown, {});
    RightClick(view, QPoint(10, view->viewport()->height() - 5));
    const QRect archive = panes.TreeRect(panes.Folder(0));
    RightClick(view, QPoint(view->viewport()->width() - 3, archive.center().y()));
    QCoreApplication::processEvents();
    QVERIFY(shown.isEmpty());
    QCOMPARE(panes.tree->SelectedItem(), &panes.Resources().Root());

    // On the label: the item is selected and its menu shown; a frame command goes out.
    const QPoint label(archive.left() + 4, archive.center().y());
    ChooseFromPopup(shown, QStringLiteral("Virtual folder &settings..."));
    RightClick(view, label);
    QCOMPARE(panes.tree->SelectedItem(), &panes.Folder(0));
    QCOMPARE(shown, (QStringList{"32790 &Disable virtual folder", "0 Delete &virtual folder",
                                 "32775 Virtual folder &settings...", "-",
                                 "32785 &Export info to web page...", "-",
                                 "32788 &Generate WMP playlist..."}));
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 204);
    QCOMPARE(commands.at(0).at(1).toInt(), -1);

    // The pane's own command runs here: disabled in place, and saved.
    ChooseFromPopup(shown, QStringLiteral("&Disable virtual folder"));
    RightClick(view, label);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(panes.Folder(0).Text(), u"archive (disabled)");
    QCOMPARE(panes.files.writes.size(), std::size_t{1});
    QVERIFY(!ReadConfigFile(panes.files.files[ConfigPath]).records[0].enabled);

    // "Delete" becomes the frame's delete command.
    ChooseFromPopup(shown, QStringLiteral("Delete &virtual folder"));
    RightClick(view, label);
    QCOMPARE(commands.count(), 2);
    QCOMPARE(commands.at(1).at(0).toInt(), 57635);
}

void PanesTest::picturesLoadAtEverySize() {
    // Every strip index and state icon drawn (not blank), and distinct within its set.
    std::vector<QIcon> strip;
    std::vector<QIcon> states;
    for (std::size_t i = 0; i < StripImageCount; ++i) {
        strip.push_back(StripIcon(static_cast<ImageIndex>(i)));
    }
    for (int state = 0; state < 4; ++state) {
        states.push_back(ServerStateIcon(static_cast<ServerState>(state)));
    }
    for (const std::vector<QIcon>* icons : {&strip, &states}) {
        for (std::size_t i = 0; i < icons->size(); ++i) {
            const QImage image = (*icons)[i].pixmap(64, 64).toImage();
            QCOMPARE(image.size(), QSize(64, 64));
            int opaque = 0;
            for (int y = 0; y < 64; ++y) {
                for (int x = 0; x < 64; ++x) {
                    opaque += qAlpha(image.pixel(x, y)) > 200;
                }
            }
            QVERIFY2(opaque > 64 * 64 / 16, qPrintable(QString::number(i)));
            for (std::size_t j = 0; j < i; ++j) {
                QVERIFY((*icons)[i].pixmap(16, 16).toImage() !=
                        (*icons)[j].pixmap(16, 16).toImage());
            }
        }
    }
    QVERIFY(StripIcon(static_cast<ImageIndex>(StripImageCount)).isNull());
    QVERIFY(!ProgramIcon().isNull());
    QCOMPARE(ServerStateIcon(static_cast<ServerState>(7)).pixmap(16, 16).toImage(),
             states[0].pixmap(16, 16).toImage());
}

}  // namespace vantor

QTEST_MAIN(vantor::PanesTest)
#include "panes_qtest.moc"
