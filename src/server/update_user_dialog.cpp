#include "server/update_user_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "platform/prompter.h"
#include "server/new_user_model.h"

namespace vantor {
namespace {

using enum UpdateUserControl;

constexpr std::pair<UpdateUserControl, std::int32_t> GroupRadios[] = {
    {Basic, BasicGroup}, {Medium, MediumGroup}, {Advanced, AdvancedGroup}};
constexpr std::pair<UpdateUserControl, UserUpdateMode> ModeRadios[] = {
    {ChangePassword, UserUpdateMode::ChangePassword},
    {ChangeSettings, UserUpdateMode::ChangeSettings}};
constexpr UpdateUserControl Edits[] = {NameEdit, NewEdit, ConfirmNewEdit, InfoEdit};

std::size_t Index(UpdateUserControl control) {
    return static_cast<std::size_t>(control);
}

// A label over a second line, as "New" over "Password".
QVBoxLayout* TwoLines(QWidget* first, QWidget* second) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(0);
    lines->addWidget(first);
    lines->addWidget(second);
    return lines;
}

}  // namespace

UpdateUserDialog::UpdateUserDialog(UpdateUserModel& model, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
    setModal(true);
    setWindowTitle(ToQString(UpdateUserModel::Title));
    Build();
    Refresh();
    Connect();
}

QWidget* UpdateUserDialog::Widget(UpdateUserControl control) const {
    return control < Count ? widgets_[Index(control)] : nullptr;
}

void UpdateUserDialog::Build() {
    auto put = [this](UpdateUserControl control, QWidget* widget) {
        widgets_[Index(control)] = widget;
    };
    for (UpdateUserControl label :
         {NameLabel, NewLabel, NewSecondLine, ConfirmNewLabel, ConfirmNewSecondLine, InfoLabel}) {
        put(label, new QLabel(this));
    }
    for (UpdateUserControl control : Edits) {
        auto* edit = new QLineEdit(this);
        edit->setEchoMode(UpdateUserModel::Masked(control) ? QLineEdit::Password
                                                           : QLineEdit::Normal);
        edit->setReadOnly(UpdateUserModel::ReadOnly(control));
        put(control, edit);
    }
    for (const auto& [control, mode] : ModeRadios) {
        put(control, new QRadioButton(this));
    }
    auto* groupBox = new QGroupBox(this);
    put(GroupBox, groupBox);
    auto* groups = new QHBoxLayout(groupBox);
    for (const auto& [control, group] : GroupRadios) {
        auto* radio = new QRadioButton(groupBox);
        groups->addWidget(radio);
        put(control, radio);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    put(OkButton, ok);
    put(CancelButton, buttons->addButton(QDialogButtonBox::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &UpdateUserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UpdateUserDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(Widget(NameLabel), 0, 0);
    grid->addWidget(Widget(NameEdit), 0, 1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(Widget(ChangePassword));
    modes->addWidget(Widget(ChangeSettings));
    grid->addLayout(modes, 1, 0, 1, 2);
    grid->addLayout(TwoLines(Widget(NewLabel), Widget(NewSecondLine)), 2, 0);
    grid->addWidget(Widget(NewEdit), 2, 1);
    grid->addLayout(TwoLines(Widget(ConfirmNewLabel), Widget(ConfirmNewSecondLine)), 3, 0);
    grid->addWidget(Widget(ConfirmNewEdit), 3, 1);
    grid->addWidget(Widget(InfoLabel), 4, 0);
    grid->addWidget(Widget(InfoEdit), 4, 1);
    grid->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 32);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addWidget(groupBox);
    main->addWidget(buttons);
}

void UpdateUserDialog::Connect() {
    for (UpdateUserControl control : Edits) {
        connect(
            static_cast<QLineEdit*>(Widget(control)), &QLineEdit::textEdited, this,
            [this, control](const QString& text) { model_.SetText(control, ToModelText(text)); });
    }
    for (const auto& [control, mode] : ModeRadios) {
        const UserUpdateMode selected = mode;
        connect(static_cast<QRadioButton*>(Widget(control)), &QRadioButton::clicked, this,
                [this, selected] {
                    model_.OnModeSelected(selected);
                    Refresh();
                });
    }
    for (const auto& [control, group] : GroupRadios) {
        const std::int32_t selected = group;
        connect(static_cast<QRadioButton*>(Widget(control)), &QRadioButton::clicked, this,
                [this, selected] {
                    model_.OnGroupSelected(selected);
                    Refresh();
                });
    }
}

void UpdateUserDialog::Refresh() {
    for (std::size_t i = 0; i < UpdateUserControlCount; ++i) {
        ApplyControlState(*widgets_[i], model_.State(static_cast<UpdateUserControl>(i)));
    }
}

void UpdateUserDialog::accept() {
    const std::u16string message = model_.OnOk();
    Refresh();
    if (!message.empty()) {
        prompter_.ShowMessage(message, std::u16string(UserDialogErrorCaption));
        return;
    }
    QDialog::accept();
}

SubDialog<UserUpdateEntry> UpdateUserDialogRunner(Prompter& prompter, QWidget* parent) {
    return [&prompter, parent](UserUpdateEntry& entry) {
        UpdateUserModel model(entry);
        UpdateUserDialog dialog(model, prompter, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        entry = model.Entry();
        return true;
    };
}

}  // namespace vantor
