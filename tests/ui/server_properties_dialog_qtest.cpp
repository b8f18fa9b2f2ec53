// The server properties dialog's widgets bound to its model, offscreen. The rules are tested on
// the models in server_tests; this checks that the widgets follow them both ways.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "platform/logging_component_probe.h"
#include "server/fake_users_server.h"
#include "server/server_properties_dialog.h"
#include "server/user_manager.h"
#include "ui/ui_fakes.h"

namespace vantor {

namespace {

struct NamedProbe : LoggingComponentProbe {
    bool CanCreate(const std::u16string& progId) override { return progId == u"Acme.Logger"; }
};

QString Cell(const QTableView& view, int row, int column) {
    return view.model()->index(row, column).data().toString();
}

}  // namespace

class ServerPropertiesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsFollowTheModelAndTheUsersList() {
        test::FakeUsersServer server;
        server.records = {u"zed Basic z", u"amy Medium a b"};
        test::RecordingPrompter prompter;
        int addDialogs = 0;
        UserManager users(server, prompter, {},
                          [&](NewUserEntry& entry) {
                              ++addDialogs;
                              entry = {u"bob", u"secret", u"", BasicGroup};
                              return true;
                          },
                          {});
        NamedProbe probe;
        ServerConfig config;
        config.networkInterface = u"10.1.1.1";
        ServerPropertiesModel model(config, AuthMethod::Anonymous, {"127.0.0.1", "10.1.1.1"}, users,
                                    probe, prompter, {});
        int helpShown = 0;
        ServerPropertiesDialog dialog(model, prompter, [&] { ++helpShown; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto click = [&](ServerControl control) {
            auto* button = qobject_cast<QAbstractButton*>(dialog.Widget(control));
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        };
        auto edit = [&](ServerControl control) {
            return qobject_cast<QLineEdit*>(dialog.Widget(control));
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Server properties"));
        QCOMPARE(dialog.InterfaceCombo()->count(), 3);
        QCOMPARE(dialog.InterfaceCombo()->currentText(), QStringLiteral("10.1.1.1"));

        // The users list (rows counted by the view's header, which follows the list only when
        // told of a change): the server's order, then sorted by a clicked header.
        QTableView& view = *dialog.UsersView();
        QCOMPARE(view.verticalHeader()->count(), 2);
        QCOMPARE(Cell(view, 1, 2), QStringLiteral("a b"));
        QTest::mouseClick(view.horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(view.horizontalHeader()->sectionViewportPosition(0) + 4, 4));
        QCOMPARE(Cell(view, 0, 0), QStringLiteral("amy"));
        view.selectRow(1);
        QCOMPARE(model.Users().Selected(), std::optional<std::size_t>(1));
        QVERIFY(dialog.Widget(ServerControl::RemoveUser)->isEnabled());
        view.clearSelection();
        QVERIFY(!dialog.Widget(ServerControl::RemoveUser)->isEnabled());
        click(ServerControl::AddUser);
        QCOMPARE(addDialogs, 1);
        QCOMPARE(view.verticalHeader()->count(), 3);
        QCOMPARE(Cell(view, 2, 0), QStringLiteral("bob"));

        // Limits and logging radios switch their edits.
        QVERIFY(!edit(ServerControl::TotalEdit)->isEnabled());
        click(ServerControl::TotalCheck);
        QVERIFY(edit(ServerControl::TotalEdit)->isEnabled());
        edit(ServerControl::TotalEdit)->selectAll();
        QTest::keyClicks(edit(ServerControl::TotalEdit), QStringLiteral("0x"));
        QCOMPARE(edit(ServerControl::TotalEdit)->text(), QStringLiteral("0"));
        click(ServerControl::CustomLogging);
        QVERIFY(edit(ServerControl::ProgIdEdit)->isEnabled());
        QTest::keyClicks(edit(ServerControl::ProgIdEdit), QStringLiteral("Acme.Logger"));
        click(ServerControl::Help);
        QCOMPARE(helpShown, 1);

        // A refused OK shows the message and keeps the dialog; a good one closes it.
        click(ServerControl::OkButton);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"Minimal number of connections is 1");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());
        QTest::keyClicks(edit(ServerControl::TotalEdit), QStringLiteral("5"));
        dialog.InterfaceCombo()->setCurrentIndex(1);
        emit dialog.InterfaceCombo()->activated(1);
        click(ServerControl::OkButton);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().settings.maxConnections, 5u);
        QCOMPARE(model.Form().settings.loggingMode, 3u);
        QCOMPARE(model.Form().settings.networkInterface, u"127.0.0.1");
        QCOMPARE(view.verticalHeader()->count(), 0);
    }

    void tabReadsTheLeftColumnThenTheRight() {
        test::FakeUsersServer server;
        test::RecordingPrompter prompter;
        UserManager users(server, prompter, {}, {}, {});
        NamedProbe probe;
        ServerConfig config;
        ServerPropertiesModel model(config, AuthMethod::Anonymous, {}, users, probe, prompter, {});
        ServerPropertiesDialog dialog(model, prompter, [] {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // Each pair: where the focus is, where Tab takes it (not where the widget was created).
        const std::pair<ServerControl, ServerControl> steps[] = {
            {ServerControl::LiveSourcePortEdit, ServerControl::TotalCheck},
            {ServerControl::ArchivalPortEdit, ServerControl::SetPassword},
            {ServerControl::SetPassword, ServerControl::AnonymousAccess}};
        for (const auto& [from, to] : steps) {
            dialog.Widget(from)->setFocus();
            QTest::keyClick(&dialog, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dialog.Widget(to));
        }
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::ServerPropertiesDialogTest)
#include "server_properties_dialog_qtest.moc"
