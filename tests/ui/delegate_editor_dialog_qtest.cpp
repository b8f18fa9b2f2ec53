// The delegate dialog bound to its model, offscreen: the remote fields follow the model both
// ways. The rules are tested on the model in editors_tests.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/delegate_editor_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class DelegateEditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void remoteFieldsFollowTheModel() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        DelegateEditorModel model(DelegateEditorMode::Create, {}, table, catalogue,
                                  defaultAuthMethod, {});
        DelegateEditorDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto edit = [&](auto control) { return qobject_cast<QLineEdit*>(dialog.Widget(control)); };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delegate live broadcast"));
        QCOMPARE(dialog.ProtocolList()->currentText(), QStringLiteral("TCP"));
        QCOMPARE(edit(DelegateControl::PortEdit)->text(), QStringLiteral("5119"));

        dialog.ProtocolList()->setFocus();
        QTest::keyClick(dialog.ProtocolList(), Qt::Key_Down);
        QCOMPARE(edit(DelegateControl::PortEdit)->text(), QStringLiteral("80"));
        QTest::keyClicks(edit(BroadcastControl::NameEdit), QStringLiteral("Relay"));
        QTest::keyClicks(edit(DelegateControl::RemoteAliasEdit), QStringLiteral("news"));
        qobject_cast<QAbstractButton*>(dialog.Widget(BroadcastControl::OkButton))->click();
        QCOMPARE(prompter.shown.at(0).text, u"No Remote Media Server IP address specified");
        QTest::keyClicks(edit(DelegateControl::AddressEdit), QStringLiteral("10.0.0.5"));
        QTest::keyClick(edit(DelegateControl::AddressEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"vtr://http:10.0.0.5:80/news");
    }

    void storedLinkOpensInTheFields() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        DelegateForm form;
        form.name = form.openingName = u"Relay";
        form.source = u"vtr://https:10.0.0.5:8443/a/b";
        form.multicast = false;
        DelegateEditorModel model(DelegateEditorMode::Update, form, table, catalogue,
                                  defaultAuthMethod, {});
        DelegateEditorDialog dialog(model, prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Update live broadcast"));
        QCOMPARE(dialog.ProtocolList()->currentText(), QStringLiteral("HTTPS"));
        QCOMPARE(qobject_cast<QLineEdit*>(dialog.Widget(DelegateControl::PortEdit))->text(),
                 QStringLiteral("8443"));
        QCOMPARE(qobject_cast<QLineEdit*>(dialog.Widget(DelegateControl::RemoteAliasEdit))->text(),
                 QStringLiteral("a/b"));
        QVERIFY(!dialog.Widget(BroadcastControl::GroupEdit)->isEnabled());
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::DelegateEditorDialogTest)
#include "delegate_editor_dialog_qtest.moc"
