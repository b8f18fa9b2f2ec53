// The activity monitor pane over a faked server and the access and limits panels, bound to their
// models, offscreen (the rules are tested on the models in monitor_tests and editors_tests).

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "editors/access_panel_view.h"
#include "editors/limits_panel_view.h"
#include "editors/qt_control_state.h"
#include "monitor/activity_fakes.h"
#include "ui/activity_monitor_pane.h"
#include "ui/qt_server_watcher.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

struct ActivityPane {
    ActivityPane() {
        server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"7", u"bob"),
                                                   test::UserRecord(u"clips\\a.mp4", u"8", u"Ann"),
                                                   test::UserRecord(u"news", u"9", u"cy")};
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

class PanesTest : public QObject {
    Q_OBJECT

private slots:
    void activityPagesFillInTheBackgroundAndSortOnAHeaderClick() {
        ActivityPane p;
        QAbstractItemModelTester tester(p.View(ActivityPage::ActiveUsers)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(p.RefreshAndWait());
        QCOMPARE(p.Column(ActivityPage::ActiveUsers), (QStringList{"bob", "Ann", "cy"}));
        QHeaderView* header = p.View(ActivityPage::ActiveUsers)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, 5));
        QVERIFY(p.Filled());
        QCOMPARE(p.Column(ActivityPage::ActiveUsers), (QStringList{"Ann", "bob", "cy"}));
    }

    void activityMenuActsOnTheRowItWasOpenedOn() {
        ActivityPane p;
        QVERIFY(p.RefreshAndWait());
        QVERIFY(p.pane.ContextMenuAt(QPoint(5, 290)) == nullptr);  // below the rows
        // The menu acts on the row it was opened on, off this thread, and the page is refreshed
        // once it is done.
        QSignalSpy finished(&p.pane, &ActivityMonitorPane::DisconnectFinished);
        std::unique_ptr<QMenu>(p.pane.ContextMenuAt(p.RowPosition(2)))->actions()[0]->trigger();
        QVERIFY(finished.wait(5000));
        QCOMPARE(p.server.disconnected, std::vector<std::int32_t>{9});
        QVERIFY(p.pane.RefreshPending());
        QVERIFY(p.Filled());
        p.prompter.answers = {true};
        std::unique_ptr<QMenu>(p.pane.ContextMenuAt(p.RowPosition(0)))->actions()[1]->trigger();
        QVERIFY(finished.wait(5000));
        QCOMPARE(p.server.disconnected, (std::vector<std::int32_t>{9, 7, 9}));
        QVERIFY(p.Filled());
        QVERIFY(p.prompter.shown.size() == 1);  // the question; nothing failed

        // The menu opens on bob; a refresh brings carol with his handle before the click.
        std::unique_ptr<QMenu> menu(p.pane.ContextMenuAt(p.RowPosition(0)));
        p.server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"7", u"carol")};
        QVERIFY(p.RefreshAndWait());
        p.server.disconnected.clear();
        menu->actions()[0]->trigger();
        QVERIFY(finished.wait(5000));
        QCOMPARE(p.server.disconnected, std::vector<std::int32_t>{});
        QCOMPARE(p.pane.DisconnectsRunning(), 0);
    }

    void accessViewFollowsItsPanel() {
        AuthMethod defaultAuthMethod = AuthMethod::Internal;
        ControlState unicast;
        unicast.checked = true;
        AccessPanel panel(true, defaultAuthMethod, unicast);
        panel.Load(AuthMethod::Anonymous, 0, true, true);
        AccessPanelView view(panel);
        QSignalSpy edited(&view, &AccessPanelView::edited);
        QSignalSpy metadata(&view, &AccessPanelView::metadataClicked);
        QSignalSpy restrictions(&view, &AccessPanelView::accessRestrictionsClicked);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto button = [&](AccessControl control) {
            return qobject_cast<QAbstractButton*>(view.Widget(control));
        };
        auto click = [&](AccessControl control) { button(control)->click(); };

        QVERIFY(button(AccessControl::AnonymousRadio)->isChecked());
        QVERIFY(button(AccessControl::PlayerOption)->isChecked());
        QVERIFY(!button(AccessControl::BasicUsers)->isEnabled());
        QVERIFY(view.Widget(AccessControl::InheritedMethodLabel)->isHidden());

        // A radio click reaches the panel, and the panel's decision shows: text, visibility,
        // checked and enabled states alike.
        click(AccessControl::InheritRadio);
        QCOMPARE(panel.ReadMethod(), AuthMethod::InheritDefault);
        QCOMPARE(edited.size(), 1);
        QCOMPARE(DisplayedText(*view.Widget(AccessControl::InheritedMethodLabel)),
                 QStringLiteral("(Internal authentication)"));
        QVERIFY(!view.Widget(AccessControl::InheritedMethodLabel)->isHidden());
        QVERIFY(button(AccessControl::AdvancedUsers)->isEnabled());

        // A check box reports its state; the two buttons are signals of their own.
        click(AccessControl::AdvancedUsers);
        QCOMPARE(panel.ReadGroups(), AdvancedUsers);
        click(AccessControl::AnonymousRadio);
        click(AccessControl::Metadata);
        click(AccessControl::AccessRestrictions);
        QCOMPARE(metadata.size(), 1);
        QCOMPARE(restrictions.size(), 1);
        QCOMPARE(edited.size(), 3);
    }

    void limitsViewFollowsItsPanel() {
        LimitsPanel panel(true);
        panel.Load(0, 3, 0, -1);
        LimitsPanelView view(panel);
        QSignalSpy edited(&view, &LimitsPanelView::edited);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto edit = [&](LimitsControl control) {
            return qobject_cast<QLineEdit*>(view.Widget(control));
        };
        auto click = [&](LimitsControl control) {
            qobject_cast<QAbstractButton*>(view.Widget(control))->click();
        };

        QVERIFY(!edit(LimitsControl::TotalConnectionsEdit)->isEnabled());
        QCOMPARE(edit(LimitsControl::ConnectionsPerUserEdit)->text(), QStringLiteral("3"));
        QVERIFY(view.PlayTimeRow()->isVisibleTo(&view));

        // Clicks and keys reach the panel: digits only where the panel says so.
        click(LimitsControl::TotalConnectionsCheck);
        QVERIFY(edit(LimitsControl::TotalConnectionsEdit)->isEnabled());
        edit(LimitsControl::TotalConnectionsEdit)->selectAll();
        QTest::keyClicks(edit(LimitsControl::TotalConnectionsEdit), QStringLiteral("7a"));
        edit(LimitsControl::ConnectionsPerUserEdit)->selectAll();
        QTest::keyClicks(edit(LimitsControl::ConnectionsPerUserEdit), QStringLiteral("12abc"));
        click(LimitsControl::PlayTimeCheck);
        QCOMPARE(edit(LimitsControl::ConnectionsPerUserEdit)->text(), QStringLiteral("12abc"));
        const LimitsReading limits = panel.ReadLimits();
        QCOMPARE(limits.message, std::u16string());
        QCOMPARE(limits.maxConnections.value, 7);
        QCOMPARE(limits.maxConnectionsPerUser.value, 12);
        QCOMPARE(panel.ReadPlayTime().message, std::u16string(LimitsPanel::kPlayTimeMinimum));
        QCOMPARE(edited.size(), 1 + 1 + 5 + 1);
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::PanesTest)
#include "panes_qtest.moc"
