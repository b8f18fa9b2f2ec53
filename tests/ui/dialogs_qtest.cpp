// The dialogs' widgets bound to their models, offscreen: states reach the widgets, input reaches
// the model, OK and Cancel. The rules are tested on the models in editors_tests, server_tests and
// monitor_tests.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/live_editor_dialog.h"
#include "editors/metadata_dialog.h"
#include "monitor/add_address_dialog.h"
#include "monitor/delegate_restrictions_dialog.h"
#include "platform/logging_component_probe.h"
#include "server/fake_users_server.h"
#include "server/new_user_dialog.h"
#include "server/server_properties_dialog.h"
#include "server/set_password_dialog.h"
#include "server/update_user_dialog.h"
#include "server/user_manager.h"
#include "ui/qt_when_up.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

QAbstractButton* Button(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget);
}

QLineEdit* Edit(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget);
}

using test::WhenUp;

// What a broadcast editor needs besides its model.
struct BroadcastParts {
    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    test::RecordingPrompter prompter;
    BroadcastSubDialogs subDialogs;
};

struct NoProbe : LoggingComponentProbe {
    bool CanCreate(const std::u16string&) override { return false; }
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void staticBroadcastWidgetsFollowTheModelThroughToOk() {
        BroadcastParts p;
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Static), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New live broadcast"));
        QVERIFY(!dialog.Widget(LiveControl::SetPasswordButton)->isEnabled());
        QTest::keyClicks(dialog.Widget(LiveControl::AddressEdit), QStringLiteral("192.168.0.10"));

        dialog.IdList()->setFocus();
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("News"));
        QTest::keyClick(dialog.Widget(BroadcastControl::NameEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"3@192.168.0.10");
        QVERIFY(p.prompter.shown.empty());
    }

    void dynamicBroadcastOffersThePasswordAndCancelFreesTheGroup() {
        BroadcastParts p;
        int passwordRuns = 0;
        p.subDialogs.setPassword = [&](std::u16string&) { return ++passwordRuns, false; };
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Dynamic), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(!dialog.IdList()->isEnabled());
        Button(dialog.Widget(LiveControl::SetPasswordButton))->click();
        QCOMPARE(passwordRuns, 1);
        QCOMPARE(p.table.Associations().size(), std::size_t{1});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(p.table.Associations().size(), std::size_t{0});
    }

    void setPasswordSubDialogReturnsTheHashAndCancelKeepsTheValue() {
        test::RecordingPrompter prompter;
        const SubDialog<std::u16string> setPassword = SetPasswordSubDialog(prompter, nullptr);
        std::u16string hashText = u"old";
        WhenUp<SetPasswordDialog>([](SetPasswordDialog& dialog) { dialog.close(); });
        QVERIFY(!setPassword(hashText));
        QCOMPARE(hashText, u"old");

        WhenUp<SetPasswordDialog>([](SetPasswordDialog& dialog) {
            // However the checks end, the dialog does not stay open.
            const auto close = qScopeGuard([&dialog] { dialog.close(); });
            QTest::keyClicks(dialog.Widget(PasswordControl::PasswordEdit), QStringLiteral("abcde"));
            QTest::keyClicks(dialog.Widget(PasswordControl::ConfirmEdit), QStringLiteral("abcde"));
            QTest::keyClick(dialog.Widget(PasswordControl::ConfirmEdit), Qt::Key_Return);
        });
        QVERIFY(setPassword(hashText));
        QCOMPARE(hashText, u"03de6c570bfe24bfc328ccd7ca46b76eadaf4334");
        QVERIFY(prompter.shown.empty());
    }

    void editorSubDialogsBelongToTheEditorThatOpensThem() {
        // The main window made them; the editor open on top of it when they run owns them, so
        // they are centred on it rather than on the main window.
        test::RecordingPrompter prompter;
        QWidget mainWindow;
        mainWindow.show();
        QDialog editor(&mainWindow);
        editor.setModal(true);
        editor.show();
        QTRY_COMPARE(QApplication::activeModalWidget(), &editor);
        QWidget* passwordOwner = nullptr;
        QWidget* metadataOwner = nullptr;
        WhenUp<SetPasswordDialog>([&](SetPasswordDialog& dialog) {
            passwordOwner = dialog.parentWidget();
            dialog.close();
        });
        std::u16string hashText;
        SetPasswordSubDialog(prompter, &mainWindow)(hashText);
        WhenUp<MetadataDialog>([&](MetadataDialog& dialog) {
            metadataOwner = dialog.parentWidget();
            dialog.close();
        });
        BroadcastMetadata metadata;
        MetadataSubDialog (&mainWindow)(metadata);
        QCOMPARE(passwordOwner, &editor);
        QCOMPARE(metadataOwner, &editor);
    }

    void newUserReturnsTheEntry() {
        test::RecordingPrompter prompter;
        NewUserModel model;
        NewUserDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClicks(dialog.Widget(NewUserControl::NameEdit), QStringLiteral("ann"));
        QTest::keyClicks(dialog.Widget(NewUserControl::PasswordEdit), QStringLiteral("abcde"));
        QTest::keyClicks(dialog.Widget(NewUserControl::ConfirmEdit), QStringLiteral("abcde"));
        Button(dialog.Widget(NewUserControl::Advanced))->click();
        QTest::keyClick(dialog.Widget(NewUserControl::ConfirmEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Entry(), (NewUserEntry{u"ann", u"abcde", u"", AdvancedGroup}));
    }

    void updateUserSwitchesModesAndReturnsTheSettings() {
        test::RecordingPrompter prompter;
        UpdateUserModel model({u"ann", UserUpdateMode::ChangePassword, u"", u"desk", MediumGroup});
        UpdateUserDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QLineEdit* name = Edit(dialog.Widget(UpdateUserControl::NameEdit));
        QLineEdit* info = Edit(dialog.Widget(UpdateUserControl::InfoEdit));
        QCOMPARE(name->text(), QStringLiteral("ann"));
        QVERIFY(name->isReadOnly());
        QVERIFY(!info->isEnabled());
        QVERIFY(Button(dialog.Widget(UpdateUserControl::Medium))->isChecked());
        Button(dialog.Widget(UpdateUserControl::ChangeSettings))->click();
        QVERIFY(info->isEnabled());
        QVERIFY(!dialog.Widget(UpdateUserControl::NewEdit)->isEnabled());
        info->selectAll();
        QTest::keyClicks(info, QStringLiteral("stage"));
        QTest::keyClick(info, Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Entry(), (UserUpdateEntry{u"ann", UserUpdateMode::ChangeSettings, u"",
                                                 u"stage", MediumGroup}));
    }

    void restrictionsWidgetsFollowTheModelThroughToOk() {
        test::FakeFileStore files;
        test::RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, FixedRestrictionsFile("/r"), prompter,
                                        [](std::u16string& address) {
                                            address = u"typed.example";
                                            return true;
                                        });
        QVERIFY(model.OnOpen());  // no file yet: a new one, of the exception list
        DelegateRestrictionsDialog dialog(model);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto button = [&](RestrictionsControl control) { return Button(dialog.Widget(control)); };
        auto click = [&](RestrictionsControl control) { button(control)->click(); };
        QTreeWidget* denied = dialog.List(DelegateAccessMode::ExceptionList);
        QTreeWidget* allowed = dialog.List(DelegateAccessMode::AllowedList);
        QVERIFY(button(RestrictionsControl::ExceptionRadio)->isChecked());

        // A radio and "+" reach the model; its new row shows in that mode's list.
        click(RestrictionsControl::AllowedRadio);
        QCOMPARE(model.Mode(), DelegateAccessMode::AllowedList);
        click(RestrictionsControl::AddButton);
        QCOMPARE(allowed->topLevelItem(0)->text(1), QStringLiteral("typed.example"));
        click(RestrictionsControl::ExceptionRadio);
        click(RestrictionsControl::AddButton);
        QCOMPARE(denied->topLevelItemCount(), 1);
        QCOMPARE(denied->topLevelItem(0)->text(0), QStringLiteral("Denied"));
        click(RestrictionsControl::OkButton);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(files.writes.size(), std::size_t{1});
        QVERIFY(prompter.shown.empty());
    }

    void addAddressDialogTrimsAndConfirmsOnlyAnAddress() {
        std::u16string address = u"left over";
        WhenUp<AddAddressDialog>([](AddAddressDialog& dialog) {
            // However the checks end, the dialog does not stay open.
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
            QTest::keyClicks(dialog.Edit(), QStringLiteral(" relay.example  "));
            QVERIFY(dialog.AddButton()->isEnabled());
            QTest::keyClick(dialog.Edit(), Qt::Key_Return);
        });
        QVERIFY(RunAddAddressDialog(nullptr, address));
        QCOMPARE(address, u"relay.example");

        WhenUp<AddAddressDialog>(
            [](AddAddressDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QVERIFY(!RunAddAddressDialog(nullptr, address));
        QVERIFY(address.empty());
    }

    void serverPropertiesWidgetsFollowTheModelAndTheUsersList() {
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
        NoProbe probe;
        ServerConfig config;
        config.networkInterface = u"10.1.1.1";
        ServerPropertiesModel model(config, AuthMethod::Anonymous, {"127.0.0.1", "10.1.1.1"}, users,
                                    probe, prompter, {});
        ServerPropertiesDialog dialog(model, prompter, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto click = [&](ServerControl control) {
            QAbstractButton* button = Button(dialog.Widget(control));
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        };
        QLineEdit* total = Edit(dialog.Widget(ServerControl::TotalEdit));
        QCOMPARE(dialog.InterfaceCombo()->count(), 3);
        QCOMPARE(dialog.InterfaceCombo()->currentText(), QStringLiteral("10.1.1.1"));

        // The users list (rows counted by the view's header, which follows the list only when
        // told of a change).
        QTableView& view = *dialog.UsersView();
        QCOMPARE(view.verticalHeader()->count(), 2);
        QCOMPARE(view.model()->index(1, 2).data().toString(), QStringLiteral("a b"));
        click(ServerControl::AddUser);
        QCOMPARE(addDialogs, 1);
        QCOMPARE(view.verticalHeader()->count(), 3);
        QCOMPARE(view.model()->index(2, 0).data().toString(), QStringLiteral("bob"));

        // A check box switches its edit, which takes digits only.
        QVERIFY(!total->isEnabled());
        click(ServerControl::TotalCheck);
        QVERIFY(total->isEnabled());
        total->selectAll();
        QTest::keyClicks(total, QStringLiteral("0x"));
        QCOMPARE(total->text(), QStringLiteral("0"));

        // A refused OK shows the message and keeps the dialog; a good one closes it.
        click(ServerControl::OkButton);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"Minimal number of connections is 1");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());
        QTest::keyClicks(total, QStringLiteral("5"));
        dialog.InterfaceCombo()->setCurrentIndex(1);
        emit dialog.InterfaceCombo()->activated(1);
        click(ServerControl::OkButton);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().settings.maxConnections, 5u);
        QCOMPARE(model.Form().settings.networkInterface, u"127.0.0.1");
        QCOMPARE(view.verticalHeader()->count(), 0);
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::DialogsTest)
#include "dialogs_qtest.moc"
