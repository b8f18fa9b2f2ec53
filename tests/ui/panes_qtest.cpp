#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
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

QString Text(const QAbstractItemModel& model, int row, int column = 0,
             const QModelIndex& parent = {}) {
    return model.data(model.index(row, column, parent)).toString();
}

QStringList Column(const QAbstractItemModel& model, int column = 0,
                   const QModelIndex& parent = {}) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        texts << Text(model, row, column, parent);
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

// The two panes side by side over a store that reads a config.vtr written with the given
// records, in file order.
struct Panes {
    explicit Panes(const std::vector<ResourceRecord>& records) {
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
        splitter->setSizes({180, 520});
    }
    ~Panes() {
        splitter.reset();  // the panes go before the store they show
    }

    void Show() {
        splitter->show();
        QVERIFY(QTest::qWaitForWindowExposed(splitter.get()));
    }
    QAbstractItemModel& TreeModel() { return *tree->View()->model(); }
    QAbstractItemModel& ListModel() { return *contents->View()->model(); }
    QModelIndex TreeIndex(const CatalogueItem& item) {
        return static_cast<CatalogueItemModel&>(TreeModel()).IndexOf(item);
    }
    Catalogue& Resources() { return store->Resources(); }
    void DoubleClickRow(int row) {
        QTreeView* view = contents->View();
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QVERIFY(rect.isValid());
        DoubleClick(view->viewport(), rect.center());
    }

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
};

std::vector<ResourceRecord> SampleRecords() {
    ResourceRecord music = Resource(ResourceKind::VirtualFolder, u"Music", u"/srv/music");
    music.enabled = false;
    ResourceRecord studio = Resource(ResourceKind::LiveBroadcast, u"Studio", u"0@5e884898da");
    studio.description = u"Morning show";
    studio.authMethod = AuthMethod::SessionBased;
    return {
        Resource(ResourceKind::VirtualFolder, u"zebra", u"/srv/zebra"),
        music,
        Resource(ResourceKind::LiveBroadcast, u"Camera", u"12@10.0.0.5"),
        Resource(ResourceKind::VirtualFolder, u"Lectures", u"/srv/lectures"),
        studio,
        Resource(ResourceKind::VirtualFolder, u"archive", u"/srv/archive"),
    };
}

}  // namespace

class PanesTest : public QObject {
    Q_OBJECT
private slots:
    void catalogueModelFollowsTheCatalogue();
    void contentsModelFollowsTheList();
    void treeShowsFixedItemsAndSortedResources();
    void rootSelectionListsTheTwoBranches();
    void selectingFileResourcesListsItsFolders();
    void doubleClickOnABranchRowSelectsTheBranch();
    void doubleClickOnTheBroadcastRowAsksToEditIt();
    void listFollowsChangesOfTheSelectedBranch();
    void columnsTakeAQuarterEach();
    void picturesLoadAtEverySize();
};

void PanesTest::catalogueModelFollowsTheCatalogue() {
    Catalogue catalogue;
    CatalogueItemModel model(catalogue);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    QCOMPARE(model.data(root).toString(), QStringLiteral("Media Server"));
    QCOMPARE(Column(model, 0, root), QStringList({"File resources", "Live broadcasts"}));
    QVERIFY(!model.index(1, 0).isValid());
    QVERIFY(!model.index(2, 0, root).isValid());
    QVERIFY(!model.data(root, Qt::DecorationRole).value<QIcon>().isNull());

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"b", u"/b"));
    ResourceRecord disabled = Resource(ResourceKind::VirtualFolder, u"a", u"/a");
    disabled.enabled = false;
    CatalogueItem* a = catalogue.InsertResourceItem(disabled);
    CatalogueItem* live =
        catalogue.InsertResourceItem(Resource(ResourceKind::LiveBroadcast, u"l", u"1@h"));
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(1).at(0).value<QModelIndex>(), model.IndexOf(catalogue.FileResources()));
    QCOMPARE(inserted.at(1).at(1).toInt(), 0);  // "a (disabled)" sorts before "b"

    const QModelIndex files = model.IndexOf(catalogue.FileResources());
    QCOMPARE(Column(model, 0, files), QStringList({"a (disabled)", "b"}));
    QCOMPARE(CatalogueItemModel::ItemOf(model.index(0, 0, files)), a);
    QCOMPARE(model.IndexOf(*a), model.index(0, 0, files));
    QCOMPARE(model.parent(model.IndexOf(*live)), model.IndexOf(catalogue.LiveBroadcasts()));
    QVERIFY(model.flags(model.IndexOf(*a)).testFlag(Qt::ItemNeverHasChildren));
    QVERIFY(!model.flags(files).testFlag(Qt::ItemNeverHasChildren));

    catalogue.SetItemText(*a, u"a");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.IndexOf(*a));
    QCOMPARE(Text(model, 0, 0, files), QStringLiteral("a"));

    catalogue.RemoveItem(*live);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.rowCount(model.IndexOf(catalogue.LiveBroadcasts())), 0);

    catalogue.InsertLoaded({Resource(ResourceKind::LiveBroadcast, u"x", u"2@h"),
                            Resource(ResourceKind::LiveBroadcast, u"y", u"3@h")});
    catalogue.Clear();
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.rowCount(files), 0);
}

void PanesTest::contentsModelFollowsTheList() {
    ContentsList list;
    ContentsListItemModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.columnCount(), 4);
    QStringList headers;
    for (int column = 0; column < 4; ++column) {
        headers << model.headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headers, QStringList({"Name", "Path", "Accessibility", "Description"}));

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    ContentsRow file;
    file.kind = ContentsRowKind::File;
    file.imageIndex = FileImage;
    file.texts = {u"clip.avi", u"/srv/music", u"", u""};
    ContentsRow up;
    up.kind = ContentsRowKind::Up;
    up.imageIndex = FolderUpImage;
    list.Replace({up, file});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(Text(model, 1, 0), QStringLiteral("clip.avi"));
    QCOMPARE(Text(model, 1, 1), QStringLiteral("/srv/music"));
    QVERIFY(!model.data(model.index(1, 0), Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!model.data(model.index(1, 1), Qt::DecorationRole).isValid());

    list.Append(file);
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(list.SetText(list.Listing(), 2, ContentsColumn::Description, u"Size: 0.98 MB; "));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(2, 3));
    QCOMPARE(Text(model, 2, 3), QStringLiteral("Size: 0.98 MB; "));
    list.Clear();
    QCOMPARE(model.rowCount(), 0);
}

void PanesTest::treeShowsFixedItemsAndSortedResources() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    QAbstractItemModel& model = panes.TreeModel();

    QCOMPARE(Column(model), QStringList({"Media Server"}));
    const QModelIndex root = model.index(0, 0);
    QCOMPARE(Column(model, 0, root), QStringList({"File resources", "Live broadcasts"}));
    const QModelIndex files = model.index(0, 0, root);
    const QModelIndex live = model.index(1, 0, root);
    QCOMPARE(Column(model, 0, files),
             QStringList({"archive", "Lectures", "Music (disabled)", "zebra"}));
    QCOMPARE(Column(model, 0, live), QStringList({"Camera", "Studio"}));

    QTreeView* view = panes.tree->View();
    QVERIFY(view->isExpanded(root));
    QVERIFY(view->isExpanded(files));
    QVERIFY(view->isExpanded(live));
    QVERIFY(view->isHeaderHidden());
    QVERIFY(view->uniformRowHeights());
    QCOMPARE(view->dragDropMode(), QAbstractItemView::NoDragDrop);
    QCOMPARE(panes.tree->SelectedItem(), nullptr);
}

void PanesTest::rootSelectionListsTheTwoBranches() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    panes.contents->Contents().Append(ContentsRow{});  // stale content the selection replaces
    panes.tree->SelectRoot();

    QCOMPARE(panes.tree->SelectedItem(), &panes.Resources().Root());
    QCOMPARE(panes.tree->View()->selectionModel()->selectedIndexes(),
             QModelIndexList({panes.TreeIndex(panes.Resources().Root())}));
    QCOMPARE(panes.tree->StatusText(), std::u16string(u"OK"));
    QAbstractItemModel& list = panes.ListModel();
    QCOMPARE(Column(list, 0), QStringList({"File resources", "Live broadcasts"}));
    for (int column = 1; column < 4; ++column) {
        QCOMPARE(Column(list, column), QStringList({"", ""}));
    }
}

void PanesTest::selectingFileResourcesListsItsFolders() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    panes.Show();
    panes.tree->SelectRoot();

    // A click in the tree, as the user makes it.
    QTreeView* tree = panes.tree->View();
    const QRect rect = tree->visualRect(panes.TreeIndex(panes.Resources().FileResources()));
    QVERIFY(rect.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());

    QCOMPARE(panes.tree->SelectedItem(), &panes.Resources().FileResources());
    QAbstractItemModel& list = panes.ListModel();
    QCOMPARE(Column(list, 0), QStringList({"archive", "Lectures", "Music", "zebra"}));
    QCOMPARE(Column(list, 1),
             QStringList({"/srv/archive", "/srv/lectures", "/srv/music", "/srv/zebra"}));
    QCOMPARE(Text(list, 2, 2), QStringLiteral("Internal authentication. All users"));

    panes.tree->SelectItem(panes.Resources().LiveBroadcasts());
    QCOMPARE(Column(list, 0), QStringList({"Camera", "Studio"}));
    QCOMPARE(Text(list, 1, 1), QStringLiteral("Dynamic"));
    QCOMPARE(Text(list, 1, 2), QStringLiteral("Session-based authentication"));
    QCOMPARE(Text(list, 1, 3), QStringLiteral("Morning show"));
}

void PanesTest::doubleClickOnABranchRowSelectsTheBranch() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    panes.Show();
    panes.tree->SelectRoot();

    panes.DoubleClickRow(1);
    QCOMPARE(panes.tree->SelectedItem(), &panes.Resources().LiveBroadcasts());
    QCOMPARE(Column(panes.ListModel(), 0), QStringList({"Camera", "Studio"}));

    // And on into a resource of the branch.
    panes.DoubleClickRow(0);
    const CatalogueItem* camera = panes.Resources().LiveBroadcasts().Children()[0].get();
    QCOMPARE(panes.tree->SelectedItem(), camera);
    QCOMPARE(Column(panes.ListModel(), 0), QStringList({"Camera"}));
}

void PanesTest::doubleClickOnTheBroadcastRowAsksToEditIt() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    panes.Show();
    CatalogueItem& studio = *panes.Resources().LiveBroadcasts().Children()[1];
    panes.tree->SelectItem(studio);
    QCOMPARE(Column(panes.ListModel(), 1), QStringList({"Dynamic"}));

    QSignalSpy commands(panes.tree, &ResourceTreePane::CommandRequested);
    panes.DoubleClickRow(0);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 205);
    QCOMPARE(commands.at(0).at(1).toInt(), -1);
    QCOMPARE(panes.tree->SelectedItem(), &studio);

    // A double click beside the rows does nothing.
    QTreeView* view = panes.contents->View();
    DoubleClick(view->viewport(), QPoint(5, view->viewport()->height() - 5));
    QCOMPARE(commands.count(), 1);
}

void PanesTest::listFollowsChangesOfTheSelectedBranch() {
    Panes panes(SampleRecords());
    panes.tree->LoadConfiguration();
    Catalogue& catalogue = panes.Resources();
    panes.tree->SelectItem(catalogue.FileResources());
    QAbstractItemModel& list = panes.ListModel();

    catalogue.InsertResourceItem(Resource(ResourceKind::VirtualFolder, u"Films", u"/srv/films"));
    QCOMPARE(Column(list, 0), QStringList({"archive", "Films", "Lectures", "Music", "zebra"}));
    // A broadcast added elsewhere leaves the list alone.
    const std::uint64_t listing = panes.contents->Contents().Listing();
    catalogue.InsertResourceItem(Resource(ResourceKind::LiveBroadcast, u"Radio", u"3@h"));
    QCOMPARE(panes.contents->Contents().Listing(), listing);

    CatalogueItem& music = *catalogue.FileResources().Children()[3];
    music.Record().description = u"Albums";
    catalogue.SetItemText(music, u"Music");
    QCOMPARE(Text(list, 3, 3), QStringLiteral("Albums"));

    catalogue.RemoveItem(*catalogue.FileResources().Children()[0]);
    QCOMPARE(Column(list, 0), QStringList({"Films", "Lectures", "Music", "zebra"}));

    // Removing the selected resource moves the selection and lists the new one.
    CatalogueItem& camera = *catalogue.LiveBroadcasts().Children()[0];
    panes.tree->SelectItem(camera);
    catalogue.RemoveItem(camera);
    QVERIFY(panes.tree->SelectedItem() != nullptr);
    QVERIFY(panes.tree->SelectedItem() != &camera);
    QCOMPARE(Text(list, 0, 0),
             QString::fromStdU16String(panes.tree->SelectedItem()->Record().name));

    // A reload replaces every item: nothing may point at the old ones.
    panes.tree->LoadConfiguration();
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(panes.tree->SelectedItem(), nullptr);
}

void PanesTest::columnsTakeAQuarterEach() {
    // As the frame does it: columns first, then the window is shown and laid out.
    Panes panes(SampleRecords());
    panes.contents->InsertColumns();
    panes.Show();
    QTreeView* view = panes.contents->View();
    const int quarter = view->viewport()->width() / 4;
    QVERIFY(quarter > 100);
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(view->header()->sectionSize(column), quarter);
    }
    // Later calls take the width the pane has then.
    panes.splitter->setSizes({180, 320});
    panes.contents->InsertColumns();
    QCOMPARE(view->header()->sectionSize(3), view->viewport()->width() / 4);
    QVERIFY(view->viewport()->width() / 4 < quarter);
    QVERIFY(!view->rootIsDecorated());
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
}

void PanesTest::picturesLoadAtEverySize() {
    std::vector<QImage> strip;
    for (std::size_t i = 0; i < StripImageCount; ++i) {
        const QIcon icon = StripIcon(static_cast<ImageIndex>(i));
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(i)));
        for (int size : {16, 64}) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Drawn, not blank.
            int opaque = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    opaque += qAlpha(image.pixel(x, y)) > 200;
                }
            }
            QVERIFY2(opaque > size * size / 16, qPrintable(QString::number(i)));
        }
        strip.push_back(icon.pixmap(16, 16).toImage());
    }
    // Each index has its own picture.
    for (std::size_t i = 0; i < strip.size(); ++i) {
        for (std::size_t j = i + 1; j < strip.size(); ++j) {
            QVERIFY2(strip[i] != strip[j], qPrintable(QString("%1 %2").arg(i).arg(j)));
        }
    }
    QVERIFY(StripIcon(static_cast<ImageIndex>(StripImageCount)).isNull());
    QVERIFY(!StripIcon(ServerRootImage).pixmap(16, 16, QIcon::Disabled).isNull());

    QVERIFY(!ProgramIcon().isNull());
    QCOMPARE(ProgramIcon().pixmap(64, 64).size(), QSize(64, 64));
    std::vector<QImage> states;
    for (ServerState state : {ServerState::NotResponding, ServerState::Running,
                              ServerState::Stopped, ServerState::ChangingState}) {
        const QIcon icon = ServerStateIcon(state);
        QVERIFY(!icon.isNull());
        states.push_back(icon.pixmap(16, 16).toImage());
        QVERIFY(!states.back().isNull());
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        for (std::size_t j = i + 1; j < states.size(); ++j) {
            QVERIFY(states[i] != states[j]);
        }
    }
    QCOMPARE(ServerStateIcon(static_cast<ServerState>(7)).pixmap(16, 16).toImage(), states[0]);
}

}  // namespace vantor

QTEST_MAIN(vantor::PanesTest)
#include "panes_qtest.moc"
