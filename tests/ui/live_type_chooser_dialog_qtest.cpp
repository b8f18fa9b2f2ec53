// The type chooser bound to its model, offscreen.

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "editors/live_type_chooser_dialog.h"

namespace vantor {

class LiveTypeChooserDialogTest : public QObject {
    Q_OBJECT
private slots:
    void radiosFollowTheModel() {
        LiveTypeChooserModel model(false);
        LiveTypeChooserDialog dialog(model);
        auto radio = [&](LiveTypeControl control) {
            return qobject_cast<QAbstractButton*>(dialog.Widget(control));
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Live Broadcast"));
        QVERIFY(radio(LiveTypeControl::StaticRadio)->isChecked());
        QVERIFY(!radio(LiveTypeControl::RebroadcastRadio)->isEnabled());
        QVERIFY(qobject_cast<QLabel*>(dialog.Widget(LiveTypeControl::DynamicText))
                    ->text()
                    .startsWith(
                        QStringLiteral("Choose this if computer that runs Live Server is NOT")));
        radio(LiveTypeControl::DelegateRadio)->click();
        QVERIFY(!radio(LiveTypeControl::StaticRadio)->isChecked());
        QCOMPARE(model.OnOk(), LiveType::Delegate);
        radio(LiveTypeControl::DynamicRadio)->click();
        QCOMPARE(model.OnOk(), LiveType::Dynamic);
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::LiveTypeChooserDialogTest)
#include "live_type_chooser_dialog_qtest.moc"
