#include "editors/broadcast_dialog.h"

#include <utility>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/access_panel_view.h"
#include "editors/limits_panel_view.h"
#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"
#include "platform/prompter.h"

namespace vantor {
namespace {

constexpr char kGroupEditSample[] = "255.255.255.255:65535";
constexpr int kTextEditMinimumChars = 40;

char16_t Mnemonic(BroadcastControl control) {
    switch (control) {
        case BroadcastControl::NameLabel:
            return u'l';
        case BroadcastControl::DescriptionLabel:
            return u'd';
        case BroadcastControl::Unicast:
            return u'U';
        case BroadcastControl::Multicast:
            return u'M';
        case BroadcastControl::GroupLabel:
            return u'G';
        case BroadcastControl::NotifyArchival:
            return u'N';
        default:
            return 0;
    }
}

template <typename Control>
std::size_t Index(Control control) {
    return static_cast<std::size_t>(control);
}

}  // namespace

BroadcastDialog::BroadcastDialog(BroadcastSettings& settings, Prompter& prompter, QWidget* parent)
    : EditorDialog(prompter, BroadcastSettings::kErrorCaption, parent), settings_(settings) {
    BuildWidgets();
    ConnectWidgets();
}

QWidget* BroadcastDialog::Widget(BroadcastControl control) const {
    return control < BroadcastControl::Count ? widgets_[Index(control)] : nullptr;
}

QWidget* BroadcastDialog::Widget(AccessControl control) const {
    return access_->Widget(control);
}

QWidget* BroadcastDialog::Widget(LimitsControl control) const {
    return limits_->Widget(control);
}

void BroadcastDialog::BuildWidgets() {
    auto own = [this](BroadcastControl control, QWidget* widget) {
        widgets_[Index(control)] = widget;
    };
    auto* header = new QLabel(this);
    header->setWordWrap(true);
    header->setFrameShape(QFrame::StyledPanel);
    header->setMargin(fontMetrics().averageCharWidth());
    own(BroadcastControl::Header, header);
    own(BroadcastControl::NameLabel, new QLabel(this));
    own(BroadcastControl::NameEdit, new QLineEdit(this));
    own(BroadcastControl::DescriptionLabel, new QLabel(this));
    own(BroadcastControl::DescriptionEdit, new QLineEdit(this));
    own(BroadcastControl::Unicast, new QCheckBox(this));
    own(BroadcastControl::Multicast, new QCheckBox(this));
    own(BroadcastControl::GroupLabel, new QLabel(this));
    auto* group = new QLineEdit(this);
    group->setFixedWidth(EditWidthFor(*group, kGroupEditSample));
    own(BroadcastControl::GroupEdit, group);
    own(BroadcastControl::NotifyArchival, new QCheckBox(this));
    buttons_ = AddOkCancel(widgets_[Index(BroadcastControl::OkButton)],
                           widgets_[Index(BroadcastControl::CancelButton)]);

    access_ = new AccessPanelView(settings_.Access(), this);
    limits_ = new LimitsPanelView(settings_.Limits(), this);

    static_cast<QLabel*>(Widget(BroadcastControl::NameLabel))
        ->setBuddy(Widget(BroadcastControl::NameEdit));
    static_cast<QLabel*>(Widget(BroadcastControl::DescriptionLabel))
        ->setBuddy(Widget(BroadcastControl::DescriptionEdit));
    static_cast<QLabel*>(Widget(BroadcastControl::GroupLabel))->setBuddy(group);
    for (BroadcastControl edit : {BroadcastControl::NameEdit, BroadcastControl::DescriptionEdit}) {
        Widget(edit)->setMinimumWidth(fontMetrics().averageCharWidth() * kTextEditMinimumChars);
    }
}

void BroadcastDialog::Assemble(QGridLayout* afterName, const QWidgetList& afterNameTabs,
                               QGridLayout* afterDescription,
                               const QWidgetList& afterDescriptionTabs) {
    auto* main = new QVBoxLayout(this);
    main->addWidget(Widget(BroadcastControl::Header));

    auto* names = new QGridLayout;
    names->setColumnStretch(1, 1);
    names->addWidget(Widget(BroadcastControl::NameLabel), 0, 0);
    names->addWidget(Widget(BroadcastControl::NameEdit), 0, 1);
    main->addLayout(names);
    if (afterName != nullptr) {
        main->addLayout(afterName);
    }
    auto* description = new QGridLayout;
    description->setColumnStretch(1, 1);
    description->addWidget(Widget(BroadcastControl::DescriptionLabel), 0, 0);
    description->addWidget(Widget(BroadcastControl::DescriptionEdit), 0, 1);
    main->addLayout(description);
    if (afterDescription != nullptr) {
        main->addLayout(afterDescription);
    }

    // Delivery: each option with what belongs to it on its right.
    auto* delivery = new QGridLayout;
    delivery->setColumnStretch(3, 1);
    delivery->addWidget(Widget(BroadcastControl::Unicast), 0, 0);
    delivery->addLayout(
        IndentedRow(*Widget(BroadcastControl::Unicast), Widget(AccessControl::PlayerOption)), 1, 0);
    delivery->addWidget(Widget(AccessControl::Metadata), 1, 1, Qt::AlignLeft);
    delivery->addWidget(Widget(BroadcastControl::Multicast), 2, 0);
    delivery->addWidget(Widget(BroadcastControl::GroupLabel), 2, 1, Qt::AlignRight);
    delivery->addWidget(Widget(BroadcastControl::GroupEdit), 2, 2, Qt::AlignLeft);
    delivery->addWidget(limits_->PlayTimeRow(), 3, 0, 1, 3, Qt::AlignLeft);
    delivery->addWidget(Widget(AccessControl::AllowDelegates), 4, 0);
    delivery->addWidget(Widget(AccessControl::AccessRestrictions), 4, 1, Qt::AlignLeft);
    delivery->addWidget(Widget(BroadcastControl::NotifyArchival), 5, 0, 1, 4);
    main->addLayout(delivery);

    main->addWidget(access_);
    main->addWidget(limits_);
    main->addStretch(1);
    main->addWidget(buttons_);
    SetTabOrder(afterNameTabs, afterDescriptionTabs);
    Widget(BroadcastControl::NameEdit)->setFocus();
}

void BroadcastDialog::SetTabOrder(const QWidgetList& afterNameTabs,
                                  const QWidgetList& afterDescriptionTabs) {
    QWidgetList order{Widget(BroadcastControl::NameEdit)};
    order << afterNameTabs << Widget(BroadcastControl::DescriptionEdit) << afterDescriptionTabs;
    order << Widget(BroadcastControl::Unicast) << Widget(AccessControl::PlayerOption)
          << Widget(AccessControl::Metadata) << Widget(BroadcastControl::Multicast)
          << Widget(BroadcastControl::GroupEdit) << Widget(LimitsControl::PlayTimeCheck)
          << Widget(LimitsControl::PlayTimeEdit) << Widget(AccessControl::AllowDelegates)
          << Widget(AccessControl::AccessRestrictions) << Widget(BroadcastControl::NotifyArchival);
    for (AccessControl control :
         {AccessControl::InheritRadio, AccessControl::AnonymousRadio, AccessControl::InternalRadio,
          AccessControl::SessionRadio, AccessControl::BasicUsers, AccessControl::MediumUsers,
          AccessControl::AdvancedUsers}) {
        order << Widget(control);
    }
    for (LimitsControl control :
         {LimitsControl::TotalConnectionsCheck, LimitsControl::TotalConnectionsEdit,
          LimitsControl::ConnectionsPerUserCheck, LimitsControl::ConnectionsPerUserEdit,
          LimitsControl::ThroughputCheck, LimitsControl::ThroughputEdit}) {
        order << Widget(control);
    }
    order << Widget(BroadcastControl::OkButton) << Widget(BroadcastControl::CancelButton);
    ChainTabOrder(order);
}

void BroadcastDialog::ConnectWidgets() {
    auto button = [](QWidget* widget) { return static_cast<QAbstractButton*>(widget); };
    auto edit = [](QWidget* widget) { return static_cast<QLineEdit*>(widget); };

    connect(edit(Widget(BroadcastControl::NameEdit)), &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { settings_.SetNameText(ToModelText(text)); }));
    connect(
        edit(Widget(BroadcastControl::DescriptionEdit)), &QLineEdit::textEdited, this,
        Handle([this](const QString& text) { settings_.SetDescriptionText(ToModelText(text)); }));
    connect(edit(Widget(BroadcastControl::GroupEdit)), &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { settings_.SetGroupText(ToModelText(text)); }));
    connect(button(Widget(BroadcastControl::Unicast)), &QAbstractButton::clicked, this,
            Handle([this](bool checked) { settings_.OnUnicastClicked(checked); }));
    connect(button(Widget(BroadcastControl::Multicast)), &QAbstractButton::clicked, this,
            [this](bool checked) {
                const std::u16string message = settings_.OnMulticastClicked(checked);
                Refresh();
                ShowMessage(message);
            });
    connect(button(Widget(BroadcastControl::NotifyArchival)), &QAbstractButton::clicked, this,
            Handle([this](bool checked) { settings_.OnNotifyArchivalToggled(checked); }));
    connect(access_, &AccessPanelView::edited, this, [this] { Refresh(); });
    connect(limits_, &LimitsPanelView::edited, this, [this] { Refresh(); });
    connect(access_, &AccessPanelView::metadataClicked, this,
            Handle([this] { settings_.OnMetadataClicked(); }));
    connect(access_, &AccessPanelView::accessRestrictionsClicked, this,
            Handle([this] { settings_.OnAccessRestrictionsClicked(); }));
}

void BroadcastDialog::Refresh() {
    setWindowTitle(ToQString(Title()));
    for (std::size_t i = 0; i < kBroadcastControlCount; ++i) {
        const auto control = static_cast<BroadcastControl>(i);
        ApplyControlState(*widgets_[i], settings_.State(control), Mnemonic(control));
    }
    access_->Refresh();
    limits_->Refresh();
    RefreshOwn();
}

}  // namespace vantor
