#include "editors/folder_editor_dialog.h"

#include <utility>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/qt_accessible_name.h"
#include "editors/qt_control_state.h"
#include "platform/prompter.h"

namespace vantor {

namespace {

// Room for the longest group a user types ("255.255.255.255:65535") and for a 32-bit limit.
constexpr char GroupEditSample[] = "255.255.255.255:65535";
constexpr char LimitEditSample[] = "-2147483648";
constexpr int TextEditMinimumChars = 40;

// The keyboard mnemonic of each control (0: none); one letter per dialog.
char16_t Mnemonic(FolderControl control) {
    switch (control) {
        case FolderControl::NameLabel:
            return u'n';
        case FolderControl::BrowseButton:
            return u'B';
        case FolderControl::DescriptionLabel:
            return u'D';
        case FolderControl::Unicast:
            return u'U';
        case FolderControl::Multicast:
            return u'M';
        case FolderControl::GroupLabel:
            return u'G';
        case FolderControl::Playlist:
            return u'w';
        case FolderControl::Alphabetical:
            return u'h';
        case FolderControl::Random:
            return u'R';
        default:
            return 0;
    }
}

char16_t Mnemonic(AccessControl control) {
    switch (control) {
        case AccessControl::InheritRadio:
            return u'I';
        case AccessControl::AnonymousRadio:
            return u'o';
        case AccessControl::InternalRadio:
            return u't';
        case AccessControl::SessionRadio:
            return u'S';
        case AccessControl::BasicUsers:
            return u'a';
        case AccessControl::MediumUsers:
            return u'e';
        case AccessControl::AdvancedUsers:
            return u'v';
        case AccessControl::PlayerOption:
            return u'p';
        default:
            return 0;
    }
}

char16_t Mnemonic(LimitsControl control) {
    switch (control) {
        case LimitsControl::TotalConnectionsCheck:
            return u'c';
        case LimitsControl::ConnectionsPerUserCheck:
            return u'L';
        case LimitsControl::ThroughputCheck:
            return u'x';
        default:
            return 0;
    }
}

constexpr LimitPair AllPairs[] = {LimitPair::TotalConnections, LimitPair::ConnectionsPerUser,
                                  LimitPair::Throughput, LimitPair::PlayTime};

constexpr std::pair<AccessControl, AuthMethod> MethodRadios[] = {
    {AccessControl::InheritRadio, AuthMethod::InheritDefault},
    {AccessControl::AnonymousRadio, AuthMethod::Anonymous},
    {AccessControl::InternalRadio, AuthMethod::Internal},
    {AccessControl::SessionRadio, AuthMethod::SessionBased},
};

constexpr AccessControl GroupBoxes[] = {AccessControl::BasicUsers, AccessControl::MediumUsers,
                                        AccessControl::AdvancedUsers};

template <typename Control>
std::size_t Index(Control control) {
    return static_cast<std::size_t>(control);
}

// How far text under a check box or radio button is indented to line up with its caption.
int IndicatorIndent(const QWidget& widget, bool radio) {
    const QStyle* style = widget.style();
    if (radio) {
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &widget) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &widget);
    }
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &widget) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget);
}

int EditWidthFor(const QLineEdit& edit, const char* sample) {
    // The frame and text margins of an edit come to well under two average characters.
    return edit.fontMetrics().horizontalAdvance(QString::fromLatin1(sample)) +
           2 * edit.fontMetrics().averageCharWidth() + 8;
}

}  // namespace

QString BrowseWithFileDialog(QWidget* parent, const QString& title, const QString& startPath) {
    return QFileDialog::getExistingDirectory(parent, title, startPath);
}

FolderEditorDialog::FolderEditorDialog(FolderEditorModel& model, Prompter& prompter,
                                       FolderBrowser browser, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter), browser_(std::move(browser)) {
    setModal(true);
    BuildWidgets();
    BuildLayout();
    SetTabOrder();
    openingMessage_ = model_.OnOpen();
    Refresh();
    ConnectWidgets();
}

QWidget* FolderEditorDialog::Widget(FolderControl control) const {
    return control < FolderControl::Count ? folderWidgets_[Index(control)] : nullptr;
}

QWidget* FolderEditorDialog::Widget(AccessControl control) const {
    return control < AccessControl::Count ? accessWidgets_[Index(control)] : nullptr;
}

QWidget* FolderEditorDialog::Widget(LimitsControl control) const {
    return control < LimitsControl::Count ? limitsWidgets_[Index(control)] : nullptr;
}

void FolderEditorDialog::BuildWidgets() {
    auto folder = [this](FolderControl control, QWidget* widget) {
        folderWidgets_[Index(control)] = widget;
    };
    folder(FolderControl::NameLabel, new QLabel(this));
    folder(FolderControl::NameEdit, new QLineEdit(this));
    folder(FolderControl::BrowseButton, new QPushButton(this));
    auto* path = new QLineEdit(this);
    path->setReadOnly(FolderEditorModel::ReadOnly(FolderControl::PathEdit));
    // Only the browser fills it, so it wears the dialog's colour rather than an edit's.
    QPalette readOnly = path->palette();
    readOnly.setColor(QPalette::Base, readOnly.color(QPalette::Window));
    path->setPalette(readOnly);
    folder(FolderControl::PathEdit, path);
    folder(FolderControl::DescriptionLabel, new QLabel(this));
    folder(FolderControl::DescriptionEdit, new QLineEdit(this));
    folder(FolderControl::Unicast, new QCheckBox(this));
    folder(FolderControl::Multicast, new QCheckBox(this));
    folder(FolderControl::GroupLabel, new QLabel(this));
    folder(FolderControl::GroupEdit, new QLineEdit(this));
    folder(FolderControl::Playlist, new QCheckBox(this));
    folder(FolderControl::OrderLabel, new QLabel(this));
    folder(FolderControl::Alphabetical, new QRadioButton(this));
    folder(FolderControl::Random, new QRadioButton(this));
    buttons_ = new QDialogButtonBox(this);
    QPushButton* ok = buttons_->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    folder(FolderControl::OkButton, ok);
    folder(FolderControl::CancelButton, buttons_->addButton(QDialogButtonBox::Cancel));

    auto access = [this](AccessControl control, QWidget* widget) {
        accessWidgets_[Index(control)] = widget;
    };
    auto* methodBox = new QGroupBox(this);
    access(AccessControl::MethodGroupBox, methodBox);
    for (const auto& [radio, method] : MethodRadios) {
        access(radio, new QRadioButton(methodBox));
    }
    auto* inherited = new QLabel(methodBox);
    // Appearing and disappearing with the method, it must not make the box jump.
    QSizePolicy keepRoom = inherited->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    inherited->setSizePolicy(keepRoom);
    access(AccessControl::InheritedMethodLabel, inherited);
    auto* groupsBox = new QGroupBox(this);
    access(AccessControl::GroupsGroupBox, groupsBox);
    for (AccessControl box : GroupBoxes) {
        access(box, new QCheckBox(groupsBox));
    }
    access(AccessControl::PlayerOption, new QCheckBox(this));
    access(AccessControl::Metadata, new QPushButton(this));
    access(AccessControl::AllowDelegates, new QCheckBox(this));
    access(AccessControl::AccessRestrictions, new QPushButton(this));

    auto limits = [this](LimitsControl control, QWidget* widget) {
        limitsWidgets_[Index(control)] = widget;
    };
    auto* limitsBox = new QGroupBox(this);
    limits(LimitsControl::GroupBox, limitsBox);
    for (LimitPair pair : AllPairs) {
        QWidget* owner = pair == LimitPair::PlayTime ? static_cast<QWidget*>(this) : limitsBox;
        limits(LimitsPanel::CheckBoxOf(pair), new QCheckBox(owner));
        auto* edit = new QLineEdit(owner);
        if (LimitsPanel::DigitsOnly(LimitsPanel::EditOf(pair))) {
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
        edit->setFixedWidth(EditWidthFor(*edit, LimitEditSample));
        limits(LimitsPanel::EditOf(pair), edit);
    }
    limits(LimitsControl::ConnectionsPerUserSecondLine, new QLabel(limitsBox));
    limits(LimitsControl::MinutesLabel, new QLabel(this));

    // Labels take their keyboard shortcut to the edit they name.
    static_cast<QLabel*>(Widget(FolderControl::NameLabel))
        ->setBuddy(Widget(FolderControl::NameEdit));
    static_cast<QLabel*>(Widget(FolderControl::DescriptionLabel))
        ->setBuddy(Widget(FolderControl::DescriptionEdit));
    static_cast<QLabel*>(Widget(FolderControl::GroupLabel))
        ->setBuddy(Widget(FolderControl::GroupEdit));
    for (FolderControl edit : {FolderControl::NameEdit, FolderControl::DescriptionEdit}) {
        Widget(edit)->setMinimumWidth(fontMetrics().averageCharWidth() * TextEditMinimumChars);
    }
    auto* groupEdit = static_cast<QLineEdit*>(Widget(FolderControl::GroupEdit));
    groupEdit->setFixedWidth(EditWidthFor(*groupEdit, GroupEditSample));
}

void FolderEditorDialog::BuildLayout() {
    auto* main = new QVBoxLayout(this);

    // What is published, and under which name.
    auto* names = new QGridLayout;
    names->setColumnStretch(1, 1);
    names->addWidget(Widget(FolderControl::NameLabel), 0, 0);
    names->addWidget(Widget(FolderControl::NameEdit), 0, 1);
    names->addWidget(Widget(FolderControl::BrowseButton), 1, 0);
    names->addWidget(Widget(FolderControl::PathEdit), 1, 1);
    names->addWidget(Widget(FolderControl::DescriptionLabel), 2, 0);
    names->addWidget(Widget(FolderControl::DescriptionEdit), 2, 1);
    main->addLayout(names);

    // How it is delivered: each option with its own settings to its right.
    auto* delivery = new QGridLayout;
    delivery->setColumnStretch(4, 1);
    delivery->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 2);
    delivery->addWidget(Widget(FolderControl::Unicast), 0, 0);
    auto* playerRow = new QHBoxLayout;
    playerRow->setContentsMargins(IndicatorIndent(*Widget(FolderControl::Unicast), false), 0, 0, 0);
    playerRow->addWidget(Widget(AccessControl::PlayerOption));
    delivery->addLayout(playerRow, 1, 0);
    delivery->addWidget(Widget(FolderControl::Multicast), 2, 0);
    delivery->addWidget(Widget(FolderControl::GroupLabel), 2, 2);
    delivery->addWidget(Widget(FolderControl::GroupEdit), 2, 3, Qt::AlignLeft);
    delivery->addWidget(Widget(FolderControl::Playlist), 3, 0);
    delivery->addWidget(Widget(FolderControl::OrderLabel), 3, 2);
    auto* order = new QHBoxLayout;
    order->addWidget(Widget(FolderControl::Alphabetical));
    order->addWidget(Widget(FolderControl::Random));
    order->addStretch(1);
    delivery->addLayout(order, 3, 3);
    main->addLayout(delivery);

    // Controls of the broadcast editors' variant; hidden here, so they take no room.
    auto* broadcastOnly = new QHBoxLayout;
    for (QWidget* widget :
         {Widget(AccessControl::Metadata), Widget(AccessControl::AllowDelegates),
          Widget(AccessControl::AccessRestrictions), Widget(LimitsControl::PlayTimeCheck),
          Widget(LimitsControl::PlayTimeEdit), Widget(LimitsControl::MinutesLabel)}) {
        broadcastOnly->addWidget(widget);
    }
    main->addLayout(broadcastOnly);

    // Who may play it.
    auto* access = new QHBoxLayout;
    auto* methods = new QVBoxLayout(Widget(AccessControl::MethodGroupBox));
    methods->addWidget(Widget(AccessControl::InheritRadio));
    auto* inheritedRow = new QHBoxLayout;
    inheritedRow->setContentsMargins(IndicatorIndent(*Widget(AccessControl::InheritRadio), true), 0,
                                     0, 0);
    inheritedRow->addWidget(Widget(AccessControl::InheritedMethodLabel));
    methods->addLayout(inheritedRow);
    methods->addWidget(Widget(AccessControl::AnonymousRadio));
    methods->addWidget(Widget(AccessControl::InternalRadio));
    methods->addWidget(Widget(AccessControl::SessionRadio));
    auto* groups = new QVBoxLayout(Widget(AccessControl::GroupsGroupBox));
    for (AccessControl box : GroupBoxes) {
        groups->addWidget(Widget(box));
    }
    groups->addStretch(1);
    access->addWidget(Widget(AccessControl::MethodGroupBox), 3);
    access->addWidget(Widget(AccessControl::GroupsGroupBox), 2);
    main->addLayout(access);

    // How much of the server it may take.
    auto* limits = new QGridLayout(Widget(LimitsControl::GroupBox));
    limits->setColumnStretch(0, 1);
    limits->addWidget(Widget(LimitsControl::TotalConnectionsCheck), 0, 0);
    limits->addWidget(Widget(LimitsControl::TotalConnectionsEdit), 0, 1);
    limits->addWidget(Widget(LimitsControl::ConnectionsPerUserCheck), 1, 0);
    limits->addWidget(Widget(LimitsControl::ConnectionsPerUserEdit), 1, 1, 2, 1, Qt::AlignVCenter);
    auto* secondLine = new QHBoxLayout;
    secondLine->setContentsMargins(
        IndicatorIndent(*Widget(LimitsControl::ConnectionsPerUserCheck), false), 0, 0, 0);
    secondLine->addWidget(Widget(LimitsControl::ConnectionsPerUserSecondLine));
    limits->addLayout(secondLine, 2, 0);
    limits->addWidget(Widget(LimitsControl::ThroughputCheck), 3, 0);
    limits->addWidget(Widget(LimitsControl::ThroughputEdit), 3, 1);
    main->addWidget(Widget(LimitsControl::GroupBox));

    main->addStretch(1);
    main->addWidget(buttons_);
}

void FolderEditorDialog::SetTabOrder() {
    const std::initializer_list<QWidget*> order = {
        Widget(FolderControl::NameEdit),
        Widget(FolderControl::BrowseButton),
        Widget(FolderControl::PathEdit),
        Widget(FolderControl::DescriptionEdit),
        Widget(FolderControl::Unicast),
        Widget(AccessControl::PlayerOption),
        Widget(FolderControl::Multicast),
        Widget(FolderControl::GroupEdit),
        Widget(FolderControl::Playlist),
        Widget(FolderControl::Alphabetical),
        Widget(FolderControl::Random),
        Widget(AccessControl::InheritRadio),
        Widget(AccessControl::AnonymousRadio),
        Widget(AccessControl::InternalRadio),
        Widget(AccessControl::SessionRadio),
        Widget(AccessControl::BasicUsers),
        Widget(AccessControl::MediumUsers),
        Widget(AccessControl::AdvancedUsers),
        Widget(LimitsControl::TotalConnectionsCheck),
        Widget(LimitsControl::TotalConnectionsEdit),
        Widget(LimitsControl::ConnectionsPerUserCheck),
        Widget(LimitsControl::ConnectionsPerUserEdit),
        Widget(LimitsControl::ThroughputCheck),
        Widget(LimitsControl::ThroughputEdit),
        Widget(FolderControl::OkButton),
        Widget(FolderControl::CancelButton),
    };
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
    Widget(FolderControl::NameEdit)->setFocus();
}

void FolderEditorDialog::ConnectWidgets() {
    auto checkBox = [](QWidget* widget) { return static_cast<QAbstractButton*>(widget); };
    auto edit = [](QWidget* widget) { return static_cast<QLineEdit*>(widget); };
    // Every handler ends with the widgets brought in line with the model again.
    auto handle = [this](auto handler) {
        return [this, handler](auto&&... arguments) {
            handler(arguments...);
            Refresh();
        };
    };

    connect(edit(Widget(FolderControl::NameEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetNameText(ToModelText(text)); }));
    connect(edit(Widget(FolderControl::DescriptionEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetDescriptionText(ToModelText(text)); }));
    connect(edit(Widget(FolderControl::GroupEdit)), &QLineEdit::textEdited, this,
            handle([this](const QString& text) { model_.SetGroupText(ToModelText(text)); }));
    connect(checkBox(Widget(FolderControl::BrowseButton)), &QAbstractButton::clicked, this,
            handle([this](bool) {
                const QString picked = browser_(this, ToQString(FolderEditorModel::kBrowseTitle),
                                                ToQString(model_.BrowseStartPath()));
                model_.OnBrowseResult(ToModelText(picked));
            }));
    connect(checkBox(Widget(FolderControl::Unicast)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.OnUnicastClicked(checked); }));
    connect(checkBox(Widget(FolderControl::Multicast)), &QAbstractButton::clicked, this,
            [this](bool checked) {
                const std::u16string message = model_.OnMulticastClicked(checked);
                Refresh();
                ShowMessage(message);
            });
    connect(checkBox(Widget(FolderControl::Playlist)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.OnPlaylistClicked(checked); }));
    connect(checkBox(Widget(FolderControl::Alphabetical)), &QAbstractButton::clicked, this,
            handle([this](bool) { model_.OnOrderSelected(false); }));
    connect(checkBox(Widget(FolderControl::Random)), &QAbstractButton::clicked, this,
            handle([this](bool) { model_.OnOrderSelected(true); }));
    connect(buttons_, &QDialogButtonBox::accepted, this, &FolderEditorDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &FolderEditorDialog::reject);

    for (const auto& [radio, method] : MethodRadios) {
        const AuthMethod selected = method;
        connect(checkBox(Widget(radio)), &QAbstractButton::clicked, this,
                handle([this, selected](bool) { model_.OnMethodSelected(selected); }));
    }
    for (AccessControl box : GroupBoxes) {
        const AccessControl group = box;
        connect(checkBox(Widget(box)), &QAbstractButton::clicked, this,
                handle([this, group](bool checked) {
                    model_.Access().OnGroupToggled(group, checked);
                }));
    }
    connect(checkBox(Widget(AccessControl::PlayerOption)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.Access().OnPlayerOptionToggled(checked); }));
    connect(checkBox(Widget(AccessControl::AllowDelegates)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { model_.Access().OnAllowDelegatesToggled(checked); }));

    for (LimitPair pair : AllPairs) {
        connect(checkBox(Widget(LimitsPanel::CheckBoxOf(pair))), &QAbstractButton::clicked, this,
                handle([this, pair](bool checked) { model_.OnLimitToggled(pair, checked); }));
        connect(edit(Widget(LimitsPanel::EditOf(pair))), &QLineEdit::textEdited, this,
                handle([this, pair](const QString& text) {
                    model_.Limits().SetEditText(pair, ToModelText(text));
                }));
    }
}

void FolderEditorDialog::Refresh() {
    setWindowTitle(ToQString(model_.Title()));
    for (std::size_t i = 0; i < kFolderControlCount; ++i) {
        const auto control = static_cast<FolderControl>(i);
        ApplyControlState(*folderWidgets_[i], model_.State(control), Mnemonic(control));
    }
    for (std::size_t i = 0; i < kAccessControlCount; ++i) {
        const auto control = static_cast<AccessControl>(i);
        ApplyControlState(*accessWidgets_[i], model_.Access().State(control), Mnemonic(control));
    }
    for (std::size_t i = 0; i < kLimitsControlCount; ++i) {
        const auto control = static_cast<LimitsControl>(i);
        ApplyControlState(*limitsWidgets_[i], model_.Limits().State(control), Mnemonic(control));
    }
    // Edits without a label of their own are read out after the control that introduces them.
    for (LimitPair pair : AllPairs) {
        NameAfterCaptions(*Widget(LimitsPanel::EditOf(pair)),
                          {Widget(LimitsPanel::CheckBoxOf(pair)),
                           pair == LimitPair::ConnectionsPerUser
                               ? Widget(LimitsControl::ConnectionsPerUserSecondLine)
                               : nullptr});
    }
    NameAfterCaptions(*Widget(FolderControl::PathEdit), {Widget(FolderControl::BrowseButton)});
}

void FolderEditorDialog::ShowMessage(const std::u16string& message) {
    if (!message.empty()) {
        prompter_.ShowMessage(message, std::u16string(FolderEditorModel::kErrorCaption));
    }
}

void FolderEditorDialog::accept() {
    if (closed_) {
        return;
    }
    const std::u16string message = model_.OnOk();
    if (!message.empty()) {
        ShowMessage(message);
        Refresh();  // a refused group gives way to the one held before
        return;
    }
    closed_ = true;
    QDialog::accept();
}

void FolderEditorDialog::reject() {
    if (closed_) {
        return;
    }
    closed_ = true;
    model_.OnCancel();
    QDialog::reject();
}

void FolderEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!openingMessage_.empty() && !event->spontaneous()) {
        // Said once, over the dialog rather than before it appears.
        QTimer::singleShot(0, this,
                           [this, message = std::move(openingMessage_)] { ShowMessage(message); });
        openingMessage_.clear();
    }
}

bool EditFolder(FolderEditorMode mode, FolderForm& form, MulticastTable& multicastTable,
                const Catalogue& catalogue, const AuthMethod& defaultAuthMethod, Prompter& prompter,
                const FolderBrowser& browser, QWidget* parent) {
    FolderEditorModel model(mode, form, multicastTable, catalogue, defaultAuthMethod);
    FolderEditorDialog dialog(model, prompter, browser, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    form = model.Form();
    return true;
}

}  // namespace vantor
