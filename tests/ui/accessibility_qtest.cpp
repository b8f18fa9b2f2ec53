// What a screen reader and a keyboard user meet in each window and dialog, offscreen: every visible
// control has an accessible name of its own, and every visible, enabled control takes the focus
// from the Tab key.

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QTreeView>

#include "config/catalogue.h"
#include "config/multicast_table.h"
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

// A window under test, with the parts it needs kept alive beside it (and destroyed after it).
struct Subject {
    std::shared_ptr<void> keep;
    std::unique_ptr<QWidget> window;
};

template <typename Parts>
Subject Of() {
    auto parts = std::make_shared<Parts>();
    QWidget* window = parts->Window();
    return Subject{parts, std::unique_ptr<QWidget>(window)};
}

struct MainWindowParts {
    test::FakeApp app;
    QWidget* Window() { return new MainFrameWindow(app.services); }
};

struct FolderEditorParts {
    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    test::RecordingPrompter prompter;
    FolderEditorModel model{FolderEditorMode::Create, {}, table, catalogue, defaultAuthMethod};
    QWidget* Window() { return new FolderEditorDialog(model, prompter, {}); }
};

// A dialog over a model and a prompter.
template <typename Model, typename Dialog>
struct PromptingParts {
    test::RecordingPrompter prompter;
    Model model;
    QWidget* Window() { return new Dialog(model, prompter); }
};

struct UpdateUserModelOfAnn : UpdateUserModel {
    UpdateUserModelOfAnn()
        : UpdateUserModel({u"ann", UserUpdateMode::ChangePassword, u"", u"desk", MediumGroup}) {}
};

struct AboutParts {
    QWidget* Window() { return new AboutDialog; }
};

struct AddAddressParts {
    AddAddressModel model;
    QWidget* Window() { return new AddAddressDialog(model); }
};

// A file with an address in each list, so both lists have rows.
struct RestrictionsParts {
    RestrictionsParts() {
        const std::string text =
            "<IPRestrictionsConfig xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\">"
            "<AccessMode Active=\"AllowedList\"/>"
            "<ExceptionMediaServerList><Address>10.0.0.8</Address></ExceptionMediaServerList>"
            "<AllowedMediaServerList><Address>10.0.0.9</Address></AllowedMediaServerList>"
            "</IPRestrictionsConfig>";
        files.files["/r"].assign(text.begin(), text.end());
        model.OnOpen();
    }
    QWidget* Window() { return new DelegateRestrictionsDialog(model); }
    test::FakeFileStore files;
    test::RecordingPrompter prompter;
    DelegateRestrictionsModel model{files, FixedRestrictionsFile("/r"), prompter, {}};
};

struct ServerPropertiesParts : LoggingComponentProbe {
    ServerPropertiesParts() { server.records = {u"amy Medium a b", u"zed Basic z"}; }
    bool CanCreate(const std::u16string&) override { return true; }
    QWidget* Window() { return new ServerPropertiesDialog(model, prompter, {}); }
    test::FakeUsersServer server;
    test::RecordingPrompter prompter;
    UserManager users{server, prompter, {}, {}, {}};
    ServerConfig config;
    ServerPropertiesModel model{
        config, AuthMethod::Anonymous, {"127.0.0.1"}, users, *this, prompter, {}};
};

// The activity monitor with one page in front: the pages behind it are hidden from a reader.
template <ActivityPage page>
struct ActivityParts {
    ActivityParts() {
        server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"7", u"bob")};
        server.usage = std::vector<std::u16string>{test::UsageRecord(u"Clips/", u"1", u"64")};
    }
    QWidget* Window() {
        auto* pane = new ActivityMonitorPane(state, server, prompter, clock, watcher);
        pane->setCurrentWidget(pane->PageView(page));
        return pane;
    }
    ServerState state = ServerState::Running;
    test::FakeActivityServer server;
    test::FakeClock clock;
    test::RecordingPrompter prompter;
    ServerWatcher watcher;
};

// A new window or dialog is one line here.
const std::pair<const char*, Subject (*)()> Subjects[] = {
    {"main window", Of<MainWindowParts>},
    {"folder editor", Of<FolderEditorParts>},
    {"about box", Of<AboutParts>},
    {"set password", Of<PromptingParts<SetPasswordModel, SetPasswordDialog>>},
    {"delegate restrictions", Of<RestrictionsParts>},
    {"add address", Of<AddAddressParts>},
    {"server properties", Of<ServerPropertiesParts>},
    {"new user", Of<PromptingParts<NewUserModel, NewUserDialog>>},
    {"update user", Of<PromptingParts<UpdateUserModelOfAnn, UpdateUserDialog>>},
    {"activity: active users", Of<ActivityParts<ActivityPage::ActiveUsers>>},
    {"activity: live connections", Of<ActivityParts<ActivityPage::LiveConnections>>},
    {"activity: media usage", Of<ActivityParts<ActivityPage::MediaUsage>>},
    {"activity: throughput", Of<ActivityParts<ActivityPage::Throughput>>},
};

// Roles a user operates, as opposed to text, frames and layout.
bool IsControl(QAccessible::Role role) {
    using enum QAccessible::Role;
    static const QAccessible::Role controls[] = {
        PushButton, CheckBox, RadioButton, EditableText, ComboBox,   SpinBox,        Slider,
        List,       Tree,     Table,       PageTab,      ButtonMenu, ButtonDropDown, MenuItem};
    return std::find(std::begin(controls), std::end(controls), role) != std::end(controls);
}

QString Describe(QAccessibleInterface& node) {
    const QObject* object = node.object();
    return QStringLiteral("role 0x%1 %2 \"%3\"")
        .arg(static_cast<int>(node.role()), 0, 16)
        .arg(object != nullptr ? QString::fromLatin1(object->metaObject()->className())
                               : QStringLiteral("(no object)"),
             object != nullptr ? object->objectName() : QString());
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
        for (std::size_t i = 0; i < std::size(Subjects); ++i) {
            QTest::newRow(Subjects[i].first) << static_cast<int>(i);
        }
    }

    void everyControlHasANameAndTheKeyboardReachesIt() {
        QFETCH(int, index);
        const Subject subject = Subjects[index].second();
        QWidget& window = *subject.window;
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
