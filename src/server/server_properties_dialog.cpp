#include "server/server_properties_dialog.h"

#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"
#include "platform/logging_component_probe.h"
#include "platform/network_adapters.h"
#include "platform/prompter.h"
#include "server/new_user_dialog.h"
#include "server/qt_form_dialog.h"
#include "server/set_password_dialog.h"
#include "server/update_user_dialog.h"
#include "server/user_list_item_model.h"
#include "server/user_manager.h"

namespace vantor {
namespace {

using enum ServerControl;

constexpr ServerControl Labels[] = {
    InterfaceLabel, PlayerPortLabel, LiveSourcePortLabel,  PerUserSecondLine, AnonymousSecondLine,
    ProgIdLabel,    ArchivalCaption, ArchivalAddressLabel, ArchivalPortLabel, AuthLabel};
constexpr ServerControl Edits[] = {PlayerPortEdit, LiveSourcePortEdit,  TotalEdit,
                                   PerUserEdit,    AnonymousEdit,       ThroughputEdit,
                                   ProgIdEdit,     ArchivalAddressEdit, ArchivalPortEdit};
constexpr ServerControl Groups[] = {NetworkGroup, LimitsGroup, LoggingGroup, ArchivalGroup,
                                    AuthGroup};
constexpr ServerLimit Limits[] = {ServerLimit::TotalConnections, ServerLimit::ConnectionsPerUser,
                                  ServerLimit::AnonymousConnections, ServerLimit::Throughput};
constexpr std::pair<ServerControl, LoggingMode> LoggingRadios[] = {
    {DisableLogging, LoggingMode::Disabled},
    {StandardLogging, LoggingMode::Standard},
    {CustomLogging, LoggingMode::Custom}};
constexpr std::pair<ServerControl, AuthMethod> AuthRadios[] = {
    {AnonymousAccess, AuthMethod::Anonymous},
    {InternalAuthentication, AuthMethod::Internal},
    {SessionAuthentication, AuthMethod::SessionBased}};

// Each control, the caption it is read out under and the caption's second line (Count: none).
// The two "Limit concurrent connections" check boxes are told apart by their second lines.
constexpr ServerControl Captions[][3] = {{ServerControl::InterfaceCombo, InterfaceLabel, Count},
                                         {PlayerPortEdit, PlayerPortLabel, Count},
                                         {LiveSourcePortEdit, LiveSourcePortLabel, Count},
                                         {TotalEdit, TotalCheck, Count},
                                         {PerUserEdit, PerUserCheck, PerUserSecondLine},
                                         {AnonymousEdit, AnonymousCheck, AnonymousSecondLine},
                                         {ThroughputEdit, ThroughputCheck, Count},
                                         {ProgIdEdit, ProgIdLabel, Count},
                                         {ArchivalAddressEdit, ArchivalAddressLabel, Count},
                                         {ArchivalPortEdit, ArchivalPortLabel, Count},
                                         {PerUserCheck, PerUserCheck, PerUserSecondLine},
                                         {AnonymousCheck, AnonymousCheck, AnonymousSecondLine}};

// Room for a port or a 32-bit limit.
constexpr char NumberEditSample[] = "-2147483648";

std::size_t Index(ServerControl control) {
    return static_cast<std::size_t>(control);
}

}  // namespace

ServerPropertiesDialog::ServerPropertiesDialog(ServerPropertiesModel& model, Prompter& prompter,
                                               std::function<void()> showHelp, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter), showHelp_(std::move(showHelp)) {
    setModal(true);
    setWindowTitle(ToQString(ServerPropertiesModel::Title));
    BuildWidgets();
    BuildLayout();
    model_.OnOpen();
    auto* combo = InterfaceCombo();
    for (const std::u16string& entry : model_.InterfaceEntries()) {
        combo->addItem(ToQString(entry));
    }
    Refresh();
    for (const auto& [control, caption, secondLine] : Captions) {
        NameAfterCaption(*Widget(control), *Widget(caption), Widget(secondLine));
    }
    usersView_->setAccessibleName(DisplayedText(*Widget(AuthGroup)));
    RefreshUsers();
    Connect();
}

QWidget* ServerPropertiesDialog::Widget(ServerControl control) const {
    return control < Count ? widgets_[Index(control)] : nullptr;
}

QComboBox* ServerPropertiesDialog::InterfaceCombo() const {
    return static_cast<QComboBox*>(Widget(ServerControl::InterfaceCombo));
}

void ServerPropertiesDialog::BuildWidgets() {
    auto put = [this](ServerControl control, QWidget* widget) {
        widgets_[Index(control)] = widget;
    };
    for (ServerControl group : Groups) {
        put(group, new QGroupBox(this));
    }
    for (ServerControl label : Labels) {
        put(label, new QLabel(this));
    }
    const int numberWidth = fontMetrics().horizontalAdvance(QString::fromLatin1(NumberEditSample)) +
                            2 * fontMetrics().averageCharWidth() + 8;
    for (ServerControl control : Edits) {
        auto* edit = new QLineEdit(this);
        RestrictEntry(*edit, ServerPropertiesModel::DigitsOnly(control) ? EditEntry::Digits
                                                                        : EditEntry::AnyText);
        if (control != ProgIdEdit && control != ArchivalAddressEdit) {
            edit->setFixedWidth(numberWidth);
        }
        put(control, edit);
    }
    put(ServerControl::InterfaceCombo, new QComboBox(this));
    for (ServerLimit limit : Limits) {
        put(ServerPropertiesModel::CheckBoxOf(limit), new QCheckBox(this));
    }
    for (const auto& [control, mode] : LoggingRadios) {
        put(control, new QRadioButton(Widget(LoggingGroup)));
    }
    for (const auto& [control, method] : AuthRadios) {
        put(control, new QRadioButton(Widget(AuthGroup)));
    }
    for (ServerControl button : {SetPassword, AddUser, RemoveUser, UpdateUser, Help}) {
        put(button, new QPushButton(this));
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    put(OkButton, ok);
    put(CancelButton, buttons->addButton(QDialogButtonBox::Cancel));
    buttons->addButton(static_cast<QPushButton*>(Widget(Help)), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ServerPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ServerPropertiesDialog::reject);

    usersView_ = new QTableView(this);
    usersModel_ = new UserListItemModel(model_.Users(), usersView_);
    usersView_->setModel(usersModel_);
    usersView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    usersView_->setSelectionMode(QAbstractItemView::SingleSelection);
    usersView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    usersView_->setShowGrid(true);
    usersView_->verticalHeader()->hide();
    usersView_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    usersView_->horizontalHeader()->setSectionsClickable(true);
    usersView_->horizontalHeader()->setHighlightSections(false);
    usersView_->setMinimumHeight(fontMetrics().height() * 8);
}

void ServerPropertiesDialog::BuildLayout() {
    auto* network = new QGridLayout(Widget(NetworkGroup));
    network->addWidget(Widget(InterfaceLabel), 0, 0);
    network->addWidget(Widget(ServerControl::InterfaceCombo), 0, 1);
    network->addWidget(Widget(PlayerPortLabel), 1, 0);
    network->addWidget(Widget(PlayerPortEdit), 1, 1, Qt::AlignLeft);
    network->addWidget(Widget(LiveSourcePortLabel), 2, 0);
    network->addWidget(Widget(LiveSourcePortEdit), 2, 1, Qt::AlignLeft);

    auto* limits = new QGridLayout(Widget(LimitsGroup));
    limits->setColumnStretch(0, 1);
    int row = 0;
    for (ServerLimit limit : Limits) {
        limits->addWidget(Widget(ServerPropertiesModel::CheckBoxOf(limit)), row, 0);
        limits->addWidget(Widget(ServerPropertiesModel::EditOf(limit)), row, 1);
        ++row;
        const ServerControl secondLine =
            limit == ServerLimit::ConnectionsPerUser     ? PerUserSecondLine
            : limit == ServerLimit::AnonymousConnections ? AnonymousSecondLine
                                                         : Count;
        if (secondLine != Count) {
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(fontMetrics().averageCharWidth() * 3, 0, 0, 0);
            indented->addWidget(Widget(secondLine));
            limits->addLayout(indented, row++, 0);
        }
    }

    auto* logging = new QGridLayout(Widget(LoggingGroup));
    logging->addWidget(Widget(DisableLogging), 0, 0);
    logging->addWidget(Widget(StandardLogging), 1, 0);
    logging->addWidget(Widget(CustomLogging), 2, 0);
    logging->addWidget(Widget(ProgIdLabel), 3, 0);
    logging->addWidget(Widget(ProgIdEdit), 4, 0);

    auto* archival = new QGridLayout(Widget(ArchivalGroup));
    archival->addWidget(Widget(ArchivalCaption), 0, 0, 1, 4);
    archival->addWidget(Widget(ArchivalAddressLabel), 1, 0);
    archival->addWidget(Widget(ArchivalAddressEdit), 1, 1);
    Widget(ArchivalAddressEdit)->setMinimumWidth(fontMetrics().averageCharWidth() * 18);
    archival->addWidget(Widget(ArchivalPortLabel), 1, 2);
    archival->addWidget(Widget(ArchivalPortEdit), 1, 3);
    archival->addWidget(Widget(SetPassword), 2, 0, 1, 2, Qt::AlignLeft);
    archival->setColumnStretch(1, 1);

    auto* auth = new QVBoxLayout(Widget(AuthGroup));
    auto* methods = new QGridLayout;
    methods->addWidget(Widget(AuthLabel), 0, 0, Qt::AlignTop);
    int line = 0;
    for (const auto& [control, method] : AuthRadios) {
        methods->addWidget(Widget(control), line++, 1);
    }
    methods->setColumnStretch(2, 1);
    auth->addLayout(methods);
    auth->addWidget(usersView_, 1);
    auto* userButtons = new QHBoxLayout;
    for (ServerControl button : {AddUser, RemoveUser, UpdateUser}) {
        userButtons->addWidget(Widget(button));
    }
    userButtons->addStretch(1);
    auth->addLayout(userButtons);

    auto* left = new QVBoxLayout;
    left->addWidget(Widget(NetworkGroup));
    left->addWidget(Widget(LimitsGroup));
    left->addWidget(Widget(LoggingGroup));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(Widget(ArchivalGroup));
    right->addWidget(Widget(AuthGroup), 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(columns, 1);
    main->addWidget(static_cast<QWidget*>(Widget(OkButton)->parent()));

    // Tab reads the left column top to bottom, then the right one, then the buttons.
    QList<QWidget*> order{Widget(ServerControl::InterfaceCombo), Widget(PlayerPortEdit),
                          Widget(LiveSourcePortEdit)};
    for (ServerLimit limit : Limits) {
        order << Widget(ServerPropertiesModel::CheckBoxOf(limit))
              << Widget(ServerPropertiesModel::EditOf(limit));
    }
    for (const auto& [control, mode] : LoggingRadios) {
        order << Widget(control);
    }
    order << Widget(ProgIdEdit) << Widget(ArchivalAddressEdit) << Widget(ArchivalPortEdit)
          << Widget(SetPassword);
    for (const auto& [control, method] : AuthRadios) {
        order << Widget(control);
    }
    order << usersView_ << Widget(AddUser) << Widget(RemoveUser) << Widget(UpdateUser)
          << Widget(OkButton) << Widget(CancelButton) << Widget(Help);
    ChainTabOrder(order);
}

void ServerPropertiesDialog::Connect() {
    auto button = [this](ServerControl control) {
        return static_cast<QAbstractButton*>(Widget(control));
    };
    auto handle = [this](auto handler) {
        return [this, handler](auto&&... arguments) {
            handler(arguments...);
            Refresh();
        };
    };
    auto userCommand = [this](auto handler) {
        return [this, handler] {
            handler();
            Refresh();
            RefreshUsers();
        };
    };
    for (ServerControl control : Edits) {
        connect(static_cast<QLineEdit*>(Widget(control)), &QLineEdit::textEdited, this,
                [this, control](const QString& text) {
                    model_.SetEditText(control, ToModelText(text));
                });
    }
    connect(InterfaceCombo(), &QComboBox::activated, this, handle([this](int index) {
                model_.OnInterfaceSelected(static_cast<std::size_t>(index));
            }));
    for (ServerLimit limit : Limits) {
        connect(button(ServerPropertiesModel::CheckBoxOf(limit)), &QAbstractButton::clicked, this,
                handle([this, limit](bool checked) { model_.OnLimitToggled(limit, checked); }));
    }
    for (const auto& [control, mode] : LoggingRadios) {
        const LoggingMode selected = mode;
        connect(button(control), &QAbstractButton::clicked, this,
                handle([this, selected](bool) { model_.OnLoggingSelected(selected); }));
    }
    for (const auto& [control, method] : AuthRadios) {
        const AuthMethod selected = method;
        connect(button(control), &QAbstractButton::clicked, this,
                handle([this, selected](bool) { model_.OnAuthMethodSelected(selected); }));
    }
    connect(button(SetPassword), &QAbstractButton::clicked, this,
            handle([this](bool) { model_.OnSetPassword(); }));
    connect(button(Help), &QAbstractButton::clicked, this, [this] {
        if (showHelp_) {
            showHelp_();
        }
    });
    connect(button(AddUser), &QAbstractButton::clicked, this,
            userCommand([this] { model_.OnAddUser(); }));
    connect(button(RemoveUser), &QAbstractButton::clicked, this,
            userCommand([this] { model_.OnRemoveUser(); }));
    connect(button(UpdateUser), &QAbstractButton::clicked, this,
            userCommand([this] { model_.OnUpdateUser(); }));
    connect(usersView_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) {
                model_.OnUserColumnClicked(static_cast<UserColumn>(section));
                RefreshUsers();
            });
    connect(usersView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (refreshing_) {
            return;
        }
        const QModelIndexList rows = usersView_->selectionModel()->selectedRows();
        model_.OnUserSelected(rows.isEmpty() ? std::nullopt
                                             : std::optional<std::size_t>(rows.front().row()));
        Refresh();
    });
}

void ServerPropertiesDialog::Refresh() {
    for (std::size_t i = 0; i < ServerControlCount; ++i) {
        const auto control = static_cast<ServerControl>(i);
        if (control == ServerControl::InterfaceCombo) {
            QComboBox* combo = InterfaceCombo();
            combo->setCurrentIndex(static_cast<int>(model_.SelectedInterface()));
            combo->setEnabled(model_.State(control).enabled);
            continue;
        }
        ApplyControlState(*widgets_[i], model_.State(control));
    }
}

void ServerPropertiesDialog::RefreshUsers() {
    refreshing_ = true;
    usersModel_->Reload();
    if (const std::optional<std::size_t> selected = model_.Users().Selected()) {
        const QModelIndex index = usersModel_->index(static_cast<int>(*selected), 0);
        usersView_->selectionModel()->select(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        usersView_->setCurrentIndex(index);
        usersView_->setFocus();
    }
    refreshing_ = false;
    if (const std::optional<std::size_t> row = model_.TakeUserRowToShow()) {
        usersView_->scrollTo(usersModel_->index(static_cast<int>(*row), 0));
    }
}

void ServerPropertiesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Username and group a quarter of the list's width each, the information the rest.
    const int width = usersView_->viewport()->width();
    for (std::size_t column = 0; column + 1 < UserColumnCount; ++column) {
        usersView_->horizontalHeader()->resizeSection(static_cast<int>(column),
                                                      width * UserColumnQuarters[column] / 4);
    }
    usersView_->horizontalHeader()->setStretchLastSection(true);
}

void ServerPropertiesDialog::accept() {
    const std::u16string message = model_.OnOk();
    if (!message.empty()) {
        prompter_.ShowMessage(message, std::u16string(ServerPropertiesErrorCaption));
        Refresh();
        return;
    }
    usersModel_->Reload();
    QDialog::accept();
}

void ServerPropertiesDialog::reject() {
    model_.OnCancel();
    usersModel_->Reload();
    QDialog::reject();
}

ServerPropertiesChange EditServerProperties(ServerConfig& config, AuthMethod& defaultAuthMethod,
                                            const std::function<void()>& save,
                                            ServerPropertiesServices& services, QWidget* parent) {
    // The user dialogs open over the properties dialog, once it exists.
    QWidget* owner = parent;
    UserManager users(
        services.automation, services.prompter, services.waitForSettledState,
        [&](NewUserEntry& entry) { return NewUserDialogRunner(services.prompter, owner)(entry); },
        [&](UserUpdateEntry& entry) {
            return UpdateUserDialogRunner(services.prompter, owner)(entry);
        });
    ServerPropertiesModel model(
        config, defaultAuthMethod, services.adapters.Ipv4Addresses(), users, services.loggingProbe,
        services.prompter,
        [&](std::u16string& hash) { return SetPasswordSubDialog(services.prompter, owner)(hash); });
    ServerPropertiesDialog dialog(model, services.prompter, services.showHelp, parent);
    owner = &dialog;
    if (dialog.exec() != QDialog::Accepted) {
        return ServerPropertiesChange::None;
    }
    return CommitServerProperties(model.Form(), config, defaultAuthMethod, services.prompter, save);
}

}  // namespace vantor
