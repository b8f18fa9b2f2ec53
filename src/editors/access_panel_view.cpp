#include "editors/access_panel_view.h"

#include <utility>

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "editors/qt_layout_metrics.h"

namespace vantor {

namespace {

constexpr std::pair<AccessControl, AuthMethod> MethodRadios[] = {
    {AccessControl::InheritRadio, AuthMethod::InheritDefault},
    {AccessControl::AnonymousRadio, AuthMethod::Anonymous},
    {AccessControl::InternalRadio, AuthMethod::Internal},
    {AccessControl::SessionRadio, AuthMethod::SessionBased},
};

constexpr AccessControl GroupBoxes[] = {AccessControl::BasicUsers, AccessControl::MediumUsers,
                                        AccessControl::AdvancedUsers};

// Letters that no editor's own controls take; a dialog can change them with SetMnemonic.
constexpr std::pair<AccessControl, char16_t> DefaultMnemonics[] = {
    {AccessControl::InheritRadio, u'I'},  {AccessControl::AnonymousRadio, u'o'},
    {AccessControl::InternalRadio, u't'}, {AccessControl::SessionRadio, u'S'},
    {AccessControl::BasicUsers, u'a'},    {AccessControl::MediumUsers, u'e'},
    {AccessControl::AdvancedUsers, u'v'}, {AccessControl::PlayerOption, u'p'},
};

std::size_t Index(AccessControl control) {
    return static_cast<std::size_t>(control);
}

QAbstractButton* Button(QWidget* widget) {
    return static_cast<QAbstractButton*>(widget);
}

}  // namespace

AccessPanelView::AccessPanelView(AccessPanel& panel, QWidget* parent)
    : QWidget(parent), panel_(panel) {
    for (const auto& [control, letter] : DefaultMnemonics) {
        mnemonics_[Index(control)] = letter;
    }
    BuildWidgets();
    BuildLayout();
    Refresh();
    ConnectWidgets();
}

QWidget* AccessPanelView::Widget(AccessControl control) const {
    return control < AccessControl::Count ? widgets_[Index(control)] : nullptr;
}

void AccessPanelView::SetMnemonic(AccessControl control, char16_t letter) {
    if (control < AccessControl::Count) {
        mnemonics_[Index(control)] = letter;
        Refresh();
    }
}

void AccessPanelView::BuildWidgets() {
    auto add = [this](AccessControl control, QWidget* widget) {
        widgets_[Index(control)] = widget;
    };
    auto* methodBox = new QGroupBox(this);
    add(AccessControl::MethodGroupBox, methodBox);
    for (const auto& [radio, method] : MethodRadios) {
        add(radio, new QRadioButton(methodBox));
    }
    auto* inherited = new QLabel(methodBox);
    // Appearing and disappearing with the method, it must not make the box jump.
    QSizePolicy keepRoom = inherited->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    inherited->setSizePolicy(keepRoom);
    add(AccessControl::InheritedMethodLabel, inherited);
    auto* groupsBox = new QGroupBox(this);
    add(AccessControl::GroupsGroupBox, groupsBox);
    for (AccessControl box : GroupBoxes) {
        add(box, new QCheckBox(groupsBox));
    }
    add(AccessControl::PlayerOption, new QCheckBox(this));
    add(AccessControl::Metadata, new QPushButton(this));
    add(AccessControl::AllowDelegates, new QCheckBox(this));
    add(AccessControl::AccessRestrictions, new QPushButton(this));
}

void AccessPanelView::BuildLayout() {
    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    auto* methods = new QVBoxLayout(Widget(AccessControl::MethodGroupBox));
    methods->addWidget(Widget(AccessControl::InheritRadio));
    methods->addLayout(IndentedRow(*Widget(AccessControl::InheritRadio),
                                   Widget(AccessControl::InheritedMethodLabel)));
    methods->addWidget(Widget(AccessControl::AnonymousRadio));
    methods->addWidget(Widget(AccessControl::InternalRadio));
    methods->addWidget(Widget(AccessControl::SessionRadio));
    auto* groups = new QVBoxLayout(Widget(AccessControl::GroupsGroupBox));
    for (AccessControl box : GroupBoxes) {
        groups->addWidget(Widget(box));
    }
    groups->addStretch(1);
    main->addWidget(Widget(AccessControl::MethodGroupBox), 3);
    main->addWidget(Widget(AccessControl::GroupsGroupBox), 2);
}

void AccessPanelView::ConnectWidgets() {
    // Every handler ends with the widgets brought in line with the panel again.
    auto handle = [this](auto handler) {
        return [this, handler](bool checked) {
            handler(checked);
            Refresh();
            emit edited();
        };
    };
    for (const auto& [radio, method] : MethodRadios) {
        const AuthMethod selected = method;
        connect(Button(Widget(radio)), &QAbstractButton::clicked, this,
                handle([this, selected](bool) { panel_.OnMethodSelected(selected); }));
    }
    for (AccessControl box : GroupBoxes) {
        const AccessControl group = box;
        connect(Button(Widget(box)), &QAbstractButton::clicked, this,
                handle([this, group](bool checked) { panel_.OnGroupToggled(group, checked); }));
    }
    connect(Button(Widget(AccessControl::PlayerOption)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { panel_.OnPlayerOptionToggled(checked); }));
    connect(Button(Widget(AccessControl::AllowDelegates)), &QAbstractButton::clicked, this,
            handle([this](bool checked) { panel_.OnAllowDelegatesToggled(checked); }));
    connect(Button(Widget(AccessControl::Metadata)), &QAbstractButton::clicked, this,
            &AccessPanelView::metadataClicked);
    connect(Button(Widget(AccessControl::AccessRestrictions)), &QAbstractButton::clicked, this,
            &AccessPanelView::accessRestrictionsClicked);
}

void AccessPanelView::Refresh() {
    for (std::size_t i = 0; i < kAccessControlCount; ++i) {
        ApplyControlState(*widgets_[i], panel_.State(static_cast<AccessControl>(i)), mnemonics_[i]);
    }
}

}  // namespace vantor
