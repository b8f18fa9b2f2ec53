// The access and limits panel views bound to their models, offscreen (the panels' rules are
// tested on the models in editors_tests).

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "editors/access_panel_view.h"
#include "editors/limits_panel_view.h"
#include "editors/qt_control_state.h"

namespace vantor {

class PanelViewsTest : public QObject {
    Q_OBJECT
private slots:
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

        // The loaded states, with each caption's keyboard letter.
        QVERIFY(button(AccessControl::AnonymousRadio)->isChecked());
        QCOMPARE(button(AccessControl::AnonymousRadio)->text(),
                 QStringLiteral("An&onymous access"));
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

        // Plain check boxes report their state; the two buttons are signals of their own.
        click(AccessControl::AdvancedUsers);
        click(AccessControl::AllowDelegates);
        QCOMPARE(panel.ReadGroups(), AdvancedUsers);
        QVERIFY(!panel.ReadAllowDelegates());
        click(AccessControl::AnonymousRadio);
        click(AccessControl::PlayerOption);
        QVERIFY(panel.ReadPlayerOption());
        click(AccessControl::Metadata);
        click(AccessControl::AccessRestrictions);
        QCOMPARE(metadata.size(), 1);
        QCOMPARE(restrictions.size(), 1);
        QCOMPARE(edited.size(), 5);

        // A dialog that needs the letter takes it; the folder variant hides the broadcast controls.
        view.SetMnemonic(AccessControl::AnonymousRadio, u'y');
        QCOMPARE(button(AccessControl::AnonymousRadio)->text(),
                 QStringLiteral("Anon&ymous access"));
        AccessPanel folderPanel(false, defaultAuthMethod, unicast);
        AccessPanelView folderView(folderPanel);
        folderView.show();
        QVERIFY(folderView.Widget(AccessControl::Metadata)->isHidden());
        QCOMPARE(DisplayedText(*folderView.Widget(AccessControl::PlayerOption)),
                 QStringLiteral("Allow MMS players"));
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

        // Each edit is read out under its check box's caption, not the group box's title.
        QCOMPARE(edit(LimitsControl::PlayTimeEdit)->accessibleName(),
                 QStringLiteral("Limit per-user playback time"));

        // The folder variant has no playback time.
        LimitsPanel folderPanel(false);
        LimitsPanelView folderView(folderPanel);
        folderView.show();
        QVERIFY(folderView.PlayTimeRow()->isHidden());
        QCOMPARE(DisplayedText(*folderView.Widget(LimitsControl::GroupBox)),
                 QStringLiteral(" Limit player connections to this virtual folder"));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::PanelViewsTest)
#include "panel_views_qtest.moc"
