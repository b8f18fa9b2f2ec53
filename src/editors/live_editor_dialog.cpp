#include "editors/live_editor_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "editors/qt_control_state.h"

namespace vantor {
namespace {

char16_t Mnemonic(LiveControl control) {
    switch (control) {
        case LiveControl::AddressLabel:
            return u'r';  // the panels hold I and P
        case LiveControl::SetPasswordButton:
            return u'w';
        default:
            return 0;
    }
}

}  // namespace

LiveEditorDialog::LiveEditorDialog(LiveEditorModel& model, Prompter& prompter, QWidget* parent)
    : BroadcastDialog(model.Settings(), prompter, parent), model_(model) {
    auto own = [this](LiveControl control, QWidget* widget) {
        widgets_[static_cast<std::size_t>(control)] = widget;
    };
    auto* addressLabel = new QLabel(this);
    auto* address = new QLineEdit(this);
    addressLabel->setBuddy(address);
    own(LiveControl::AddressLabel, addressLabel);
    own(LiveControl::AddressEdit, address);
    auto* ids = new QComboBox(this);
    ids->setAccessibleName(QStringLiteral("ID"));
    own(LiveControl::IdList, ids);
    own(LiveControl::PasswordLabel, new QLabel(this));
    own(LiveControl::SetPasswordButton, new QPushButton(this));

    auto* source = new QGridLayout;
    source->setColumnStretch(1, 1);
    source->addWidget(addressLabel, 0, 0);
    source->addWidget(address, 0, 1);
    source->addWidget(ids, 0, 2);
    auto* password = new QGridLayout;
    password->setColumnStretch(2, 1);
    password->addWidget(Widget(LiveControl::PasswordLabel), 0, 0);
    password->addWidget(Widget(LiveControl::SetPasswordButton), 0, 1);
    Assemble(source, {address, ids}, password, {Widget(LiveControl::SetPasswordButton)});

    SetOpeningMessage(model_.OnOpen());
    for (const std::u16string& item : model_.IdListItems()) {
        ids->addItem(ToQString(item));
    }
    Refresh();

    connect(address, &QLineEdit::textEdited, this,
            Handle([this](const QString& text) { model_.SetAddressText(ToModelText(text)); }));
    connect(ids, &QComboBox::currentIndexChanged, this,
            Handle([this](int index) { model_.OnIdSelected(index); }));
    connect(static_cast<QPushButton*>(Widget(LiveControl::SetPasswordButton)),
            &QPushButton::clicked, this, Handle([this](bool) { model_.OnSetPasswordClicked(); }));
}

QWidget* LiveEditorDialog::Widget(LiveControl control) const {
    return control < LiveControl::Count ? widgets_[static_cast<std::size_t>(control)] : nullptr;
}

QComboBox* LiveEditorDialog::IdList() const {
    return static_cast<QComboBox*>(Widget(LiveControl::IdList));
}

void LiveEditorDialog::RefreshOwn() {
    for (std::size_t i = 0; i < kLiveControlCount; ++i) {
        const auto control = static_cast<LiveControl>(i);
        ApplyControlState(*widgets_[i], model_.State(control), Mnemonic(control));
    }
    const QSignalBlocker quiet(IdList());
    IdList()->setCurrentIndex(model_.SelectedId());
}

bool EditLiveBroadcast(LiveEditorMode mode, LiveForm& form, MulticastTable& multicastTable,
                       const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                       BroadcastSubDialogs subDialogs, Prompter& prompter, QWidget* parent) {
    LiveEditorModel model(mode, form, multicastTable, catalogue, defaultAuthMethod,
                          std::move(subDialogs));
    LiveEditorDialog dialog(model, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    form = model.Form();
    return true;
}

}  // namespace vantor
