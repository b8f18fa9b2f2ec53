#include "server/set_password_dialog.h"

#include <utility>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "editors/qt_dialog_owner.h"
#include "platform/prompter.h"

namespace vantor {

namespace {

constexpr int EditMinimumChars = 24;

constexpr std::pair<PasswordControl, PasswordControl> LabelledEdits[] = {
    {PasswordControl::PasswordLabel, PasswordControl::PasswordEdit},
    {PasswordControl::ConfirmLabel, PasswordControl::ConfirmEdit},
};

constexpr std::pair<PasswordControl, char16_t> Mnemonics[] = {
    {PasswordControl::PasswordLabel, u'P'},
    {PasswordControl::ConfirmLabel, u'C'},
};

}  // namespace

SetPasswordDialog::SetPasswordDialog(SetPasswordModel& model, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter), widgets_(Mnemonics) {
    setModal(true);
    setWindowTitle(ToQString(SetPasswordModel::kTitle));
    auto* form = new QFormLayout;
    for (const auto& [labelControl, editControl] : LabelledEdits) {
        auto* label = new QLabel(this);
        auto* edit = new QLineEdit(this);
        edit->setEchoMode(SetPasswordModel::Masked(editControl) ? QLineEdit::Password
                                                                : QLineEdit::Normal);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * EditMinimumChars);
        label->setBuddy(edit);
        widgets_.Set(labelControl, label);
        widgets_.Set(editControl, edit);
        form->addRow(label, edit);
    }
    buttons_ = new QDialogButtonBox(this);
    QPushButton* ok = buttons_->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    widgets_.Set(PasswordControl::OkButton, ok);
    widgets_.Set(PasswordControl::CancelButton, buttons_->addButton(QDialogButtonBox::Cancel));
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(buttons_);

    Refresh();
    connect(static_cast<QLineEdit*>(Widget(PasswordControl::PasswordEdit)), &QLineEdit::textEdited,
            this, [this](const QString& text) { model_.SetPasswordText(ToModelText(text)); });
    connect(static_cast<QLineEdit*>(Widget(PasswordControl::ConfirmEdit)), &QLineEdit::textEdited,
            this, [this](const QString& text) { model_.SetConfirmText(ToModelText(text)); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &SetPasswordDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &SetPasswordDialog::reject);
    Widget(PasswordControl::PasswordEdit)->setFocus();
}

void SetPasswordDialog::Refresh() {
    widgets_.Apply(model_);
    for (const auto& [label, edit] : LabelledEdits) {
        Widget(edit)->setAccessibleName(DisplayedText(*Widget(label)));
    }
}

void SetPasswordDialog::accept() {
    const PasswordMessage message = model_.OnOk();
    Refresh();
    if (!message.text.empty()) {
        prompter_.ShowMessage(message.text, std::u16string(message.caption), message.icon);
        Widget(PasswordControl::PasswordEdit)->setFocus();
        return;
    }
    QDialog::accept();
}

std::u16string RunSetPasswordDialog(Prompter& prompter, QWidget* parent) {
    SetPasswordModel model;
    SetPasswordDialog dialog(model, prompter, parent);
    return dialog.exec() == QDialog::Accepted ? model.HashText() : std::u16string();
}

SubDialog<std::u16string> SetPasswordSubDialog(Prompter& prompter, QWidget* parent) {
    return [&prompter, parent](std::u16string& hashText) {
        std::u16string result = RunSetPasswordDialog(prompter, DialogOwner(parent));
        if (result.empty()) {
            return false;
        }
        hashText = std::move(result);
        return true;
    };
}

}  // namespace vantor
