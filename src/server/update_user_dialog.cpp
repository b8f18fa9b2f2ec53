#include "server/update_user_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

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
// Each edit, its label and the label's second line (Count: none).
constexpr UpdateUserControl Captions[][3] = {
    {NameEdit, NameLabel, Count},
    {NewEdit, NewLabel, NewSecondLine},
    {ConfirmNewEdit, ConfirmNewLabel, ConfirmNewSecondLine},
    {InfoEdit, InfoLabel, Count}};
// Tab follows the rows as they are laid out: the mode radios sit between the name and the
// passwords.
constexpr UpdateUserControl TabOrder[] = {NameEdit,       ChangePassword, ChangeSettings, NewEdit,
                                          ConfirmNewEdit, InfoEdit,       Basic};

}  // namespace

UpdateUserDialog::UpdateUserDialog(UpdateUserModel& model, Prompter& prompter, QWidget* parent)
    : QtFormDialog(model, prompter, UpdateUserModel::Title, UserDialogErrorCaption, parent) {
    for (UpdateUserControl label :
         {NameLabel, NewLabel, NewSecondLine, ConfirmNewLabel, ConfirmNewSecondLine, InfoLabel}) {
        Put(label, new QLabel(this));
    }
    for (UpdateUserControl control : Edits) {
        QLineEdit* edit = AddEdit(control, UpdateUserModel::Masked(control));
        if (UpdateUserModel::ReadOnly(control)) {
            ShowAsReadOnly(*edit);
        }
    }
    for (const auto& [control, mode] : ModeRadios) {
        Put(control, new QRadioButton(this));
    }
    QGroupBox* groupBox = AddChoiceBox<std::int32_t>(GroupBox, GroupRadios);
    QDialogButtonBox* buttons = AddButtons(OkButton, CancelButton);

    auto* grid = new QGridLayout;
    grid->addWidget(Widget(NameLabel), 0, 0);
    grid->addWidget(Widget(NameEdit), 0, 1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(Widget(ChangePassword));
    modes->addWidget(Widget(ChangeSettings));
    grid->addLayout(modes, 1, 0, 1, 2);
    grid->addLayout(StackedLabels(Widget(NewLabel), Widget(NewSecondLine)), 2, 0);
    grid->addWidget(Widget(NewEdit), 2, 1);
    grid->addLayout(StackedLabels(Widget(ConfirmNewLabel), Widget(ConfirmNewSecondLine)), 3, 0);
    grid->addWidget(Widget(ConfirmNewEdit), 3, 1);
    grid->addWidget(Widget(InfoLabel), 4, 0);
    grid->addWidget(Widget(InfoEdit), 4, 1);
    LayOut(grid, groupBox, buttons, Captions);
    for (std::size_t i = 1; i < std::size(TabOrder); ++i) {
        setTabOrder(Widget(TabOrder[i - 1]), Widget(TabOrder[i]));
    }
    ConnectEdits(Edits);
    ConnectChoices<UserUpdateMode>(
        ModeRadios, [](UpdateUserModel& m, UserUpdateMode mode) { m.OnModeSelected(mode); });
    ConnectChoices<std::int32_t>(
        GroupRadios, [](UpdateUserModel& m, std::int32_t group) { m.OnGroupSelected(group); });
}

SubDialog<UserUpdateEntry> UpdateUserDialogRunner(Prompter& prompter, QWidget* parent) {
    return [&prompter, parent](UserUpdateEntry& entry) {
        UpdateUserModel model(entry);
        return RunFormDialog<UpdateUserDialog>(model, prompter, parent, entry);
    };
}

}  // namespace vantor
