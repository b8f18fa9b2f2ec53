// What a screen reader and a keyboard user meet in each window and dialog, offscreen: every visible
// control has an accessible name of its own, and every visible, enabled control takes the focus
// from the Tab key.

#include <algorithm>
#include <iterator>
#include <memory>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QTreeView>

#include "config/catalogue.h"
#include "editors/folder_editor_dialog.h"
#include "monitor/activity_fakes.h"
#include "monitor/add_address_dialog.h"
#include "monitor/delegate_restrictions_dialog.h"
#include "platform/logging_component_probe.h"
#include "server/fake_users_server.h"
#include "server/new_user_dialog.h"
#include "server/server_properties_dialog.h"
#include "server/set_password_dialog.h"
#include "server/update_user_dialog.h"
#include "server/user_manager.h"
#include "ui/about_dialog.h"
#include "ui/activity_monitor_pane.h"
#include "ui/main_frame_window.h"
#include "ui/qt_server_watcher.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// Everything the windows are built over, kept alive beside each window (and destroyed after it).
struct Parts : LoggingComponentProbe {
    bool CanCreate(const std::u16string&) override { return true; }
    test::FakeApp app;
    Catalogue catalogue;
    FolderEditorModel folder{
        FolderEditorMode::Create, {}, app.multicastTable, catalogue, app.defaultAuthMethod};
    SetPasswordModel setPassword;
    NewUserModel newUser;
    UpdateUserModel updateUser{{u"ann", UserUpdateMode::ChangePassword, u"", u"desk", MediumGroup}};
    AddAddressModel address;
    DelegateRestrictionsModel restrictions{
        app.files, FixedRestrictionsFile("/r"), app.prompter, {}};
    test::FakeUsersServer usersServer;
    UserManager users{usersServer, app.prompter, {}, {}, {}};
    ServerConfig config;
    ServerPropertiesModel properties{
        config, AuthMethod::Anonymous, {"127.0.0.1"}, users, *this, app.prompter, {}};
    ServerState state = ServerState::Running;
    test::FakeActivityServer activity;
    ServerWatcher watcher;
};

// The activity monitor with one page in front: the pages behind it are hidden from a reader.
template <ActivityPage page>
QWidget* Activity(Parts& p) {
    auto* pane =
        new ActivityMonitorPane(p.state, p.activity, p.app.prompter, p.app.clock, p.watcher);
    pane->setCurrentWidget(pane->PageView(page));
    return pane;
}

// A new window or dialog is one line here.
const std::pair<const char*, QWidget* (*)(Parts&)> Windows[] = {
    {"main window", [](Parts& p) -> QWidget* { return new MainFrameWindow(p.app.services); }},
    {"folder editor",
     [](Parts& p) -> QWidget* { return new FolderEditorDialog(p.folder, p.app.prompter, {}); }},
    {"about box", [](Parts&) -> QWidget* { return new AboutDialog; }},
    {"set password",
     [](Parts& p) -> QWidget* { return new SetPasswordDialog(p.setPassword, p.app.prompter); }},
    {"delegate restrictions",
     [](Parts& p) -> QWidget* { return new DelegateRestrictionsDialog(p.restrictions); }},
    {"add address", [](Parts& p) -> QWidget* { return new AddAddressDialog(p.address); }},
    {"server properties",
     [](Parts& p) -> QWidget* {
         return new ServerPropertiesDialog(p.properties, p.app.prompter, {});
     }},
    {"new user", [](Parts& p) -> QWidget* { return new NewUserDialog(p.newUser, p.app.prompter); }},
    {"update user",
     [](Parts& p) -> QWidget* { return new UpdateUserDialog(p.updateUser, p.app.prompter); }},
    {"activity: active users", Activity<ActivityPage::ActiveUsers>},
    {"activity: live connections", Activity<ActivityPage::LiveConnections>},
    {"activity: media usage", Activity<ActivityPage::MediaUsage>},
    {"activity: throughput", Activity<ActivityPage::Throughput>},
};

// Roles a user operates, as opposed to text, frames and layout.
bool IsControl(QAccessible::Role role) {
    using enum QAccessible::Role;
    static const QAccessible::Role controls[] = {
        PushButton, CheckBox, RadioButton, EditableText, ComboBox,   SpinBox,        Slider,
        List,       Tree,     Table,       PageTab,      ButtonMenu, ButtonDropDown, MenuItem};
    return std::find(std::begin(controls), std::end(controls), role) != std::end(controls);
}

// A control in a problem: its role, and the class and name of its widget when it has one.
QString Describe(QAccessibleInterface& node) {
    const QObject* object = node.object();
    return QStringLiteral("role 0x") + QString::number(node.role(), 16) +
           (object != nullptr ? u' ' + QString::fromLatin1(object->metaObject()->className()) +
                                    u' ' + object->objectName()
                              : QString());
}

// Controls without a name, and controls of one kind that share a name (a reader could not tell them
// apart: say, three edits read as their group box's title).
void CollectBadNames(QAccessibleInterface* node, QStringList& problems, QStringList& seen,
                     int depth = 0) {
    if (node == nullptr || depth > 40 || node->state().invisible) {
        return;
    }
    if (IsControl(node->role())) {
        const QString name = node->text(QAccessible::Name).trimmed();
        const QString key = QString::number(node->role()) + u'/' + name;
        if (name.isEmpty()) {
            problems << QStringLiteral("no name: ") + Describe(*node);
        } else if (seen.contains(key)) {
            problems << QStringLiteral("name \"%1\" also used: ").arg(name) + Describe(*node);
        }
        seen << key;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        CollectBadNames(node->child(i), problems, seen, depth + 1);
    }
}

bool TakesKeyboardInput(const QWidget& widget) {
    // A header is worked through its view, as in every Qt list.
    if (qobject_cast<const QHeaderView*>(&widget) != nullptr) {
        return false;
    }
    return qobject_cast<const QAbstractButton*>(&widget) != nullptr ||
           qobject_cast<const QLineEdit*>(&widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(&widget) != nullptr ||
           qobject_cast<const QComboBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameAndTheKeyboardReachesIt_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < std::size(Windows); ++i) {
            QTest::newRow(Windows[i].first) << static_cast<int>(i);
        }
    }

    void everyControlHasANameAndTheKeyboardReachesIt() {
        QFETCH(int, index);
        Parts parts;
        const std::unique_ptr<QWidget> owned(Windows[index].second(parts));
        QWidget& window = *owned;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QStringList problems;
        QStringList seen;
        CollectBadNames(QAccessible::queryAccessibleInterface(&window), problems, seen);
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->isEnabled() && TakesKeyboardInput(*widget) &&
                (widget->focusPolicy() & Qt::TabFocus) == 0) {
                problems << QStringLiteral("no Tab focus: %1 \"%2\"")
                                .arg(QString::fromLatin1(widget->metaObject()->className()),
                                     widget->objectName());
            }
        }
        // Each menu opens from the keyboard with Alt and its letter.
        if (auto* mainWindow = qobject_cast<QMainWindow*>(&window)) {
            for (QAction* menu : mainWindow->menuBar()->actions()) {
                if (!menu->text().contains(u'&')) {
                    problems << QStringLiteral("menu without a key: ") + menu->text();
                }
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::AccessibilityTest)
#include "accessibility_qtest.moc"
