// The type chooser, the live broadcast dialog (with its metadata dialog) and the delegate dialog
// bound to their models, offscreen. The rules are tested on the models in editors_tests; this
// checks only that the widgets follow them both ways and that the sub-dialogs are reached.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/delegate_editor_dialog.h"
#include "editors/live_editor_dialog.h"
#include "editors/live_type_chooser_dialog.h"
#include "editors/metadata_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// What a broadcast editor needs besides its model.
struct Parts {
    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    test::RecordingPrompter prompter;
    BroadcastSubDialogs subDialogs;
};

QAbstractButton* Button(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget);
}
QLineEdit* Edit(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget);
}

}  // namespace

class BroadcastDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void chooserRadiosReachTheModel() {
        LiveTypeChooserModel model(false);
        LiveTypeChooserDialog dialog(model);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Live Broadcast"));
        QVERIFY(Button(dialog.Widget(LiveTypeControl::StaticRadio))->isChecked());
        QVERIFY(!dialog.Widget(LiveTypeControl::RebroadcastRadio)->isEnabled());
        QVERIFY(qobject_cast<QLabel*>(dialog.Widget(LiveTypeControl::DynamicText))
                    ->text()
                    .startsWith(
                        QStringLiteral("Choose this if computer that runs Live Server is NOT")));
        Button(dialog.Widget(LiveTypeControl::DelegateRadio))->click();
        QCOMPARE(model.OnOk(), LiveType::Delegate);
        Button(dialog.Widget(LiveTypeControl::DynamicRadio))->click();
        QCOMPARE(model.OnOk(), LiveType::Dynamic);
    }

    void staticBroadcastWidgetsFollowTheModelThroughToOk() {
        Parts p;
        p.subDialogs.metadata = MetadataSubDialog(nullptr);
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Static), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New live broadcast"));
        QCOMPARE(qobject_cast<QLabel*>(dialog.Widget(BroadcastControl::Header))->text(),
                 QString::fromStdU16String(std::u16string(LiveEditorModel::kStaticHeader)));
        QCOMPARE(dialog.IdList()->count(), 255);
        QVERIFY(!dialog.Widget(LiveControl::SetPasswordButton)->isEnabled());
        QCOMPARE(Edit(dialog.Widget(BroadcastControl::GroupEdit))->text(),
                 QStringLiteral("225.0.0.0:5000"));

        // Tab goes down the dialog, the source controls in their place after the name.
        QCOMPARE(QApplication::focusWidget(), dialog.Widget(BroadcastControl::NameEdit));
        QWidgetList visited;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, (QWidgetList{dialog.Widget(LiveControl::AddressEdit), dialog.IdList(),
                                       dialog.Widget(BroadcastControl::DescriptionEdit),
                                       dialog.Widget(BroadcastControl::Unicast)}));

        // A refused OK shows the model's message and keeps the dialog and its input.
        QTest::keyClicks(dialog.Widget(LiveControl::AddressEdit), QStringLiteral("192.168.0.10"));
        Button(dialog.Widget(BroadcastControl::OkButton))->click();
        QCOMPARE(p.prompter.shown.size(), std::size_t{1});
        QCOMPARE(p.prompter.shown[0].text, u"No name for new live broadcast is specified");
        QCOMPARE(p.prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());

        // A click in the shared part reaches the model, and its decision shows in the panel.
        Button(dialog.Widget(BroadcastControl::Unicast))->click();
        QVERIFY(!dialog.Widget(AccessControl::Metadata)->isEnabled());
        Button(dialog.Widget(BroadcastControl::Unicast))->click();
        QVERIFY(dialog.Widget(AccessControl::Metadata)->isEnabled());

        // "Metadata" opens its dialog; OK there keeps what was typed.
        QString metadataTitle;
        QTimer::singleShot(0, [&metadataTitle] {
            auto* metadata = qobject_cast<MetadataDialog*>(QApplication::activeModalWidget());
            QVERIFY(metadata != nullptr);
            metadataTitle = metadata->windowTitle();
            QTest::keyClicks(metadata->Widget(MetadataControl::TitleEdit),
                             QStringLiteral("Evening"));
            Button(metadata->Widget(MetadataControl::OkButton))->click();
        });
        Button(dialog.Widget(AccessControl::Metadata))->click();
        QCOMPARE(metadataTitle, QStringLiteral("MMS / Flash Metadata"));

        dialog.IdList()->setFocus();
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("News"));
        QTest::keyClick(dialog.Widget(BroadcastControl::NameEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"3@192.168.0.10");
        QCOMPARE(model.Form().metadata.title, u"Evening");
        QCOMPARE(p.prompter.shown.size(), std::size_t{1});
    }

    void dynamicBroadcastOffersThePasswordAndCancelFreesTheGroup() {
        Parts p;
        int passwordRuns = 0;
        p.subDialogs.setPassword = [&](std::u16string&) { return ++passwordRuns, false; };
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Dynamic), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(!dialog.Widget(LiveControl::AddressEdit)->isEnabled());
        QVERIFY(!dialog.IdList()->isEnabled());
        Button(dialog.Widget(LiveControl::SetPasswordButton))->click();
        QCOMPARE(passwordRuns, 1);
        QCOMPARE(p.table.Associations().size(), std::size_t{1});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(p.table.Associations().size(), std::size_t{0});
    }

    void delegateRemoteFieldsFollowTheModel() {
        Parts p;
        DelegateEditorModel model(DelegateEditorMode::Create, {}, p.table, p.catalogue,
                                  p.defaultAuthMethod, {});
        DelegateEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delegate live broadcast"));
        QCOMPARE(dialog.ProtocolList()->currentText(), QStringLiteral("TCP"));
        QCOMPARE(Edit(dialog.Widget(DelegateControl::PortEdit))->text(), QStringLiteral("5119"));
        dialog.ProtocolList()->setFocus();
        QTest::keyClick(dialog.ProtocolList(), Qt::Key_Down);
        QCOMPARE(Edit(dialog.Widget(DelegateControl::PortEdit))->text(), QStringLiteral("80"));
        QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("Relay"));
        QTest::keyClicks(dialog.Widget(DelegateControl::RemoteAliasEdit), QStringLiteral("news"));
        QTest::keyClicks(dialog.Widget(DelegateControl::AddressEdit), QStringLiteral("10.0.0.5"));
        QTest::keyClick(dialog.Widget(DelegateControl::AddressEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"vtr://http:10.0.0.5:80/news");
        QVERIFY(p.prompter.shown.empty());
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::BroadcastDialogsTest)
#include "broadcast_dialogs_qtest.moc"
