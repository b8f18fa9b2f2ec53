// The main window's live broadcast flows, offscreen over faked platform services: the keyboard
// context menu of the tree, the type chooser and the editor each stored broadcast opens in.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/delegate_editor_dialog.h"
#include "editors/live_editor_dialog.h"
#include "editors/live_type_chooser_dialog.h"
#include "ui/catalogue_item_model.h"
#include "ui/main_frame_window.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// Broadcasts of every kind in tree order: A (static), Bb (dynamic), C (MMS), D (delegate).
bool WriteBroadcasts(test::FakeApp& app) {
    const char16_t* sources[] = {u"12@10.0.0.1", u"0@5e884898da", u"mms://encoder/a",
                                 u"vtr://http:10.0.0.5:80/news"};
    const char16_t* names[] = {u"A", u"Bb", u"C", u"D"};
    std::vector<ResourceRecord> records(4);
    std::vector<const ResourceRecord*> pointers;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].kind = ResourceKind::LiveBroadcast;
        records[i].name = names[i];
        records[i].source = sources[i];
        records[i].unicast = true;
        records[i].userGroups = AllUsers;
        pointers.push_back(&records[i]);
    }
    app.files.files[test::FakeInstallationEnvironment::DefaultConfigPath] =
        WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, std::span(pointers));
    return true;
}

struct Frame {
    Frame() {
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QTreeView* Tree() const { return window.TreePane().View(); }
    CatalogueItem& Broadcast(std::size_t row) {
        return *window.Store().Resources().LiveBroadcasts().Children()[row];
    }
    QRect TreeRect(const CatalogueItem& item) const {
        return Tree()->visualRect(static_cast<CatalogueItemModel*>(Tree()->model())->IndexOf(item));
    }

    test::FakeApp app;
    bool written = WriteBroadcasts(app);
    MainFrameWindow window{app.services};
};

// Runs act on the next modal dialog of that type once it is up.
template <typename Dialog, typename Act>
void WhenUp(Act act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(10);
}

// Hands the next modal dialog of that type to inspect, then cancels it.
template <typename Dialog, typename Inspect>
void OnNextDialog(Inspect inspect) {
    WhenUp<Dialog>([inspect](Dialog& dialog) {
        inspect(dialog);
        dialog.reject();
    });
}

}  // namespace

class LiveBroadcastWindowTest : public QObject {
    Q_OBJECT
private slots:
    void keyboardOpensTheSelectedItemsMenuAtTheItem() {
        Frame f;
        // A name far shorter than the row: the Menu key and Shift+F10 still reach it.
        f.window.TreePane().SelectItem(f.Broadcast(0));
        QStringList shown;
        QPoint where;
        auto expectMenu = [&] {
            QTimer::singleShot(0, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                for (QAction* action : menu->actions()) {
                    shown << action->text();
                }
                where = f.Tree()->viewport()->mapFromGlobal(menu->pos());
                menu->close();
            });
        };
        expectMenu();
        const QRect row = f.TreeRect(f.Broadcast(0));
        QContextMenuEvent key(QContextMenuEvent::Keyboard, row.center(),
                              f.Tree()->viewport()->mapToGlobal(row.center()));
        QApplication::sendEvent(f.Tree(), &key);
        QCOMPARE(shown, (QStringList{"&Disable live broadcast", "Delete &live broadcast",
                                     "Live broadcast &settings..."}));
        QVERIFY(row.adjusted(0, 0, 0, 2).contains(where));
        QVERIFY(where.x() < row.left() + f.TreeRect(f.Broadcast(0)).height());

        shown.clear();
        expectMenu();
        f.Tree()->setFocus();
        QTest::keyClick(f.Tree(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(shown.size(), 3);
    }

    void settingsOpenTheEditorTheStoredSourceCallsFor() {
        Frame f;
        QStringList headers;
        auto header = [](QWidget* label) { return qobject_cast<QLabel*>(label)->text(); };
        for (std::size_t row = 0; row < 3; ++row) {
            OnNextDialog<LiveEditorDialog>([&](LiveEditorDialog& dialog) {
                headers << dialog.windowTitle() + " | " +
                               header(dialog.Widget(BroadcastControl::Header)).left(12);
            });
            f.window.TreePane().SelectItem(f.Broadcast(row));
            f.window.OnCommand(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
        }
        OnNextDialog<DelegateEditorDialog>([&](DelegateEditorDialog& dialog) {
            headers
                << dialog.windowTitle() + " | " +
                       qobject_cast<QLineEdit*>(dialog.Widget(DelegateControl::PortEdit))->text();
        });
        f.window.TreePane().SelectItem(f.Broadcast(3));
        f.window.OnCommand(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
        QCOMPARE(headers,
                 (QStringList{
                     "Update live broadcast | Static live ", "Update live broadcast | Dynamic live",
                     "Update live broadcast | Rebroadcast ", "Update live broadcast | 80"}));
        QVERIFY(f.app.files.writes.empty());
    }

    void newBroadcastFromTheFileMenuGoesThroughTheChooser() {
        Frame f;
        WhenUp<LiveTypeChooserDialog>([](LiveTypeChooserDialog& chooser) {
            QVERIFY(!chooser.Widget(LiveTypeControl::RebroadcastRadio)->isEnabled());
            qobject_cast<QAbstractButton*>(chooser.Widget(LiveTypeControl::DelegateRadio))->click();
            chooser.accept();
        });
        WhenUp<DelegateEditorDialog>([](DelegateEditorDialog& dialog) {
            QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("Bz"));
            QTest::keyClicks(dialog.Widget(DelegateControl::RemoteAliasEdit), QStringLiteral("x"));
            QTest::keyClicks(dialog.Widget(DelegateControl::AddressEdit), QStringLiteral("h"));
            dialog.accept();
        });
        f.window.CommandAction(NewOrEditLiveBroadcastCommand)->trigger();
        QCOMPARE(f.Broadcast(2).Text(), u"Bz");
        QCOMPARE(f.window.TreePane().SelectedItem(), &f.Broadcast(2));
        QCOMPARE(f.Broadcast(2).Record().source, u"vtr://tcp:h:5119/x");
        QCOMPARE(f.app.files.writes.size(), std::size_t{1});
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::LiveBroadcastWindowTest)
#include "live_broadcast_window_qtest.moc"
