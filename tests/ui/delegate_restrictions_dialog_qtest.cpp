// The restrictions dialogs' widgets bound to their models, offscreen (the rules are tested on the
// models in monitor_tests).

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "monitor/add_address_dialog.h"
#include "monitor/delegate_restrictions_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class DelegateRestrictionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsFollowTheModelThroughToOk() {
        const std::string path = "/data/VantorIPRestrictions.config";
        const std::string file =
            "<IPRestrictionsConfig xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\">"
            "<AccessMode Active=\"AllowedList\"/><ExceptionMediaServerList/>"
            "<AllowedMediaServerList><Address>10.0.0.9</Address></AllowedMediaServerList>"
            "</IPRestrictionsConfig>";
        test::FakeFileStore files;
        files.files[path].assign(file.begin(), file.end());
        test::RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, FixedRestrictionsFile(path), prompter,
                                        [](std::u16string& address) {
                                            address = u"typed.example";
                                            return true;
                                        });
        QVERIFY(model.OnOpen());
        DelegateRestrictionsDialog dialog(model);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto button = [&](RestrictionsControl control) {
            return qobject_cast<QAbstractButton*>(dialog.Widget(control));
        };
        auto click = [&](RestrictionsControl control) { button(control)->click(); };
        QTreeWidget* denied = dialog.List(DelegateAccessMode::ExceptionList);
        QTreeWidget* allowed = dialog.List(DelegateAccessMode::AllowedList);

        QVERIFY(button(RestrictionsControl::AllowedRadio)->isChecked());
        QCOMPARE(allowed->topLevelItemCount(), 1);
        QCOMPARE(allowed->topLevelItem(0)->text(1), QStringLiteral("10.0.0.9"));

        // A radio and "+" reach the model; its new row shows in the left list.
        click(RestrictionsControl::ExceptionRadio);
        QCOMPARE(model.Mode(), DelegateAccessMode::ExceptionList);
        click(RestrictionsControl::AddButton);
        QCOMPARE(denied->topLevelItemCount(), 1);
        QCOMPARE(denied->topLevelItem(0)->text(0), QStringLiteral("Denied"));
        QCOMPARE(denied->topLevelItem(0)->text(1), QStringLiteral("typed.example"));

        // Clicking a row of the right list selects its mode; "-" removes the row, and with the
        // allowed list empty OK is disabled.
        QVERIFY(!button(RestrictionsControl::RemoveButton)->isEnabled());
        const QRect row = allowed->visualItemRect(allowed->topLevelItem(0));
        QTest::mouseClick(allowed->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(model.Mode(), DelegateAccessMode::AllowedList);
        QVERIFY(button(RestrictionsControl::AllowedRadio)->isChecked());
        QVERIFY(button(RestrictionsControl::RemoveButton)->isEnabled());
        click(RestrictionsControl::RemoveButton);
        QCOMPARE(allowed->topLevelItemCount(), 0);
        QVERIFY(!button(RestrictionsControl::OkButton)->isEnabled());

        click(RestrictionsControl::ExceptionRadio);
        click(RestrictionsControl::OkButton);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(files.writes.size(), std::size_t{1});
        QVERIFY(prompter.shown.empty());
    }

    void addAddressDialogTrimsAndConfirmsOnlyAnAddress() {
        std::u16string address = u"left over";
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<AddAddressDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            // However the checks end, the dialog does not stay open.
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            QTest::keyClicks(dialog->Edit(), QStringLiteral("   "));
            QVERIFY(!dialog->AddButton()->isEnabled());
            QTest::keyClicks(dialog->Edit(), QStringLiteral(" relay.example  "));
            QVERIFY(dialog->AddButton()->isEnabled());
            QTest::keyClick(dialog->Edit(), Qt::Key_Return);
        });
        QVERIFY(RunAddAddressDialog(nullptr, address));
        QCOMPARE(address, u"relay.example");

        QTimer::singleShot(
            0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        QVERIFY(!RunAddAddressDialog(nullptr, address));
        QVERIFY(address.empty());
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::DelegateRestrictionsDialogTest)
#include "delegate_restrictions_dialog_qtest.moc"
