#include "editors/live_editor_dialog.h"

#include <utility>

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "editors/qt_control_state.h"

namespace vantor {
namespace {

constexpr std::pair<LiveControl, char16_t> kMnemonics[] = {
    {LiveControl::AddressLabel, u'r'},  // the panels hold I and P
    {LiveControl::SetPasswordButton, u'w'},
};

}  // namespace

LiveEditorDialog::LiveEditorDialog(LiveEditorModel& model, Prompter& prompter, QWidget* parent)
    : BroadcastDialog(model.Settings(), prompter, parent), model_(model), widgets_(kMnemonics) {
    auto own = [this](LiveControl control, QWidget* widget) { widgets_.Set(control, widget); };
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

QComboBox* LiveEditorDialog::IdList() const {
    return static_cast<QComboBox*>(Widget(LiveControl::IdList));
}

void LiveEditorDialog::RefreshOwn() {
    widgets_.Apply(model_);
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
