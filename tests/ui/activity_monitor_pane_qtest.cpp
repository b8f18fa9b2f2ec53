// The activity monitor pane over a faked server, offscreen: its tabs, the pages it fills in the
// background, sorting by a header click, and the context menu of Active Users.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "monitor/activity_fakes.h"
#include "ui/activity_monitor_pane.h"
#include "ui/qt_server_watcher.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

struct Pane {
    Pane() {
        server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"7", u"bob"),
                                                   test::UserRecord(u"clips\\a.mp4", u"8", u"Ann"),
                                                   test::UserRecord(u"news", u"9", u"cy")};
        server.usage = std::vector<std::u16string>{test::UsageRecord(u"Clips/", u"1", u"64")};
        pane.resize(600, 300);
        pane.show();
    }
    QTreeView* View(ActivityPage page) const { return pane.PageView(page); }
    QStringList Column(ActivityPage page) const {
        QStringList texts;
        const QAbstractItemModel* model = View(page)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, 0).data().toString();
        }
        return texts;
    }
    QPoint RowPosition(int row) const {
        QTreeView* view = View(ActivityPage::ActiveUsers);
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    bool Filled() {
        return QTest::qWaitFor([this] { return !pane.RefreshPending(); }, 5000);
    }
    bool RefreshAndWait() { return pane.Refresh(), Filled(); }

    ServerState state = ServerState::Running;
    test::FakeActivityServer server;
    test::FakeClock clock;
    test::RecordingPrompter prompter;
    ServerWatcher watcher;
    ActivityMonitorPane pane{state, server, prompter, clock, watcher};
};

}  // namespace

class ActivityMonitorPaneTest : public QObject {
    Q_OBJECT

private slots:
    void PagesFillInTheBackgroundAndSortOnAHeaderClick() {
        Pane p;
        QStringList tabs;
        for (int i = 0; i < p.pane.count(); ++i) {
            tabs << p.pane.tabText(i);
        }
        QCOMPARE(tabs, (QStringList{"Active Users", "Live Server Connections",
                                    "Media Usage Summary", "Current Throughput"}));
        QCOMPARE(p.pane.RefreshTimer()->interval(), 10000);
        QAbstractItemModelTester tester(p.View(ActivityPage::ActiveUsers)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(p.RefreshAndWait());
        QCOMPARE(p.Column(ActivityPage::ActiveUsers), (QStringList{"bob", "Ann", "cy"}));
        QVERIFY(!p.View(ActivityPage::ActiveUsers)
                     ->model()
                     ->index(1, 0)
                     .data(Qt::DecorationRole)
                     .value<QIcon>()
                     .isNull());
        QHeaderView* header = p.View(ActivityPage::ActiveUsers)->header();
        const QPoint firstSection(header->sectionPosition(0) + 5, 5);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstSection);
        QVERIFY(p.Filled());
        QCOMPARE(p.Column(ActivityPage::ActiveUsers), (QStringList{"Ann", "bob", "cy"}));
        // The sorted column again: no refresh, and the order stays ascending.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstSection);
        QVERIFY(!p.pane.RefreshPending());
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        p.pane.setCurrentIndex(2);
        QVERIFY(p.Filled());
        QCOMPARE(p.Column(ActivityPage::MediaUsage), QStringList{"Clips"});
        p.pane.setCurrentIndex(3);
        QVERIFY(p.Filled());
        QCOMPARE(p.Column(ActivityPage::Throughput).last(), QStringLiteral("TOTAL"));
    }

    void ContextMenuActsOnTheRowItWasOpenedOn() {
        Pane p;
        QVERIFY(p.RefreshAndWait());
        QVERIFY(p.pane.ContextMenuAt(QPoint(5, 290)) == nullptr);  // below the rows
        std::unique_ptr<QMenu> menu(p.pane.ContextMenuAt(p.RowPosition(2)));
        QVERIFY(menu != nullptr);
        QStringList items;
        for (QAction* action : menu->actions()) {
            items << QString::number(action->data().toInt()) + ' ' + action->text();
        }
        QCOMPARE(items, (QStringList{"32782 Disconnect this user",
                                     "32783 Disconnect all users of this resource "}));
        // The menu acts on the row it was opened on, and the page is refreshed.
        menu->actions()[0]->trigger();
        QCOMPARE(p.server.disconnected, std::vector<std::int32_t>{9});
        QVERIFY(p.pane.RefreshPending());

        QVERIFY(p.Filled());
        p.prompter.answers = {true};
        std::unique_ptr<QMenu>(p.pane.ContextMenuAt(p.RowPosition(0)))->actions()[1]->trigger();
        QCOMPARE(p.server.disconnected, (std::vector<std::int32_t>{9, 7, 9}));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::ActivityMonitorPaneTest)
#include "activity_monitor_pane_qtest.moc"
