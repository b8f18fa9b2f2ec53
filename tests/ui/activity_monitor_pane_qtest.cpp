// The activity monitor pane over a faked server, offscreen: its tabs and columns, the pages it
// fills in the background, sorting by a header click, and the context menu of Active Users.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
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
    QStringList Column(ActivityPage page, int column) const {
        QStringList texts;
        const QAbstractItemModel* model = View(page)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, column).data().toString();
        }
        return texts;
    }
    QPoint RowPosition(int row) const {
        QTreeView* view = View(ActivityPage::ActiveUsers);
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    bool RefreshAndWait() {
        pane.Refresh();
        return QTest::qWaitFor([this] { return !pane.RefreshPending(); }, 5000);
    }

    ServerState state = ServerState::Running;
    test::FakeActivityServer server;
    test::FakeClock clock;
    test::RecordingPrompter prompter;
    ServerWatcher watcher;
    ActivityMonitorPane pane{state, server, prompter, clock, watcher};
};

QStringList Headers(const QTreeView* view) {
    QStringList titles;
    for (int i = 0; i < view->model()->columnCount(); ++i) {
        titles << view->model()->headerData(i, Qt::Horizontal).toString() + ' ' +
                      QString::number(view->header()->sectionSize(i));
    }
    return titles;
}

}  // namespace

class ActivityMonitorPaneTest : public QObject {
    Q_OBJECT

private slots:
    void TabsAndColumns() {
        Pane p;
        p.pane.InsertColumns();
        QStringList tabs;
        for (int i = 0; i < p.pane.count(); ++i) {
            tabs << p.pane.tabText(i);
        }
        QCOMPARE(tabs, (QStringList{"Active Users", "Live Server Connections",
                                    "Media Usage Summary", "Current Throughput"}));
        QCOMPARE(
            Headers(p.View(ActivityPage::ActiveUsers)),
            (QStringList{"User ID 100", "Resource 160", "User IP 120", "Protocol 120", "Time 80"}));
        QCOMPARE(p.pane.RefreshTimer()->interval(), 10000);
    }

    void PagesFillInTheBackgroundAndSortOnAHeaderClick() {
        Pane p;
        QAbstractItemModelTester tester(p.View(ActivityPage::ActiveUsers)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(p.RefreshAndWait());
        QCOMPARE(p.Column(ActivityPage::ActiveUsers, 0), (QStringList{"bob", "Ann", "cy"}));
        QVERIFY(!p.View(ActivityPage::ActiveUsers)
                     ->model()
                     ->index(1, 0)
                     .data(Qt::DecorationRole)
                     .value<QIcon>()
                     .isNull());
        QHeaderView* header = p.View(ActivityPage::ActiveUsers)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, 5));
        QVERIFY(QTest::qWaitFor([&p] { return !p.pane.RefreshPending(); }, 5000));
        QCOMPARE(p.Column(ActivityPage::ActiveUsers, 0), (QStringList{"Ann", "bob", "cy"}));
        // The sorted column again: no refresh, and the order stays ascending.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, 5));
        QVERIFY(!p.pane.RefreshPending());
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        p.pane.setCurrentIndex(2);
        QVERIFY(QTest::qWaitFor([&p] { return !p.pane.RefreshPending(); }, 5000));
        QCOMPARE(p.Column(ActivityPage::MediaUsage, 0), QStringList{"Clips"});
        p.pane.setCurrentIndex(3);
        QVERIFY(QTest::qWaitFor([&p] { return !p.pane.RefreshPending(); }, 5000));
        QCOMPARE(p.Column(ActivityPage::Throughput, 0).last(), QStringLiteral("TOTAL"));
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

        QVERIFY(QTest::qWaitFor([&p] { return !p.pane.RefreshPending(); }, 5000));
        p.prompter.answers = {true};
        std::unique_ptr<QMenu>(p.pane.ContextMenuAt(p.RowPosition(0)))->actions()[1]->trigger();
        QCOMPARE(p.server.disconnected, (std::vector<std::int32_t>{9, 7, 9}));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::ActivityMonitorPaneTest)
#include "activity_monitor_pane_qtest.moc"
