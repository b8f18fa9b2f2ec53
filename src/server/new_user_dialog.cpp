#include "server/new_user_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace vantor {
namespace {

using enum NewUserControl;

constexpr std::pair<NewUserControl, std::int32_t> GroupRadios[] = {
    {Basic, BasicGroup}, {Medium, MediumGroup}, {Advanced, AdvancedGroup}};
constexpr NewUserControl Edits[] = {NameEdit, PasswordEdit, ConfirmEdit, InfoEdit};
// Each edit, its label and the label's second line (Count: none).
constexpr NewUserControl Captions[][3] = {{NameEdit, NameLabel, Count},
                                          {PasswordEdit, PasswordLabel, Count},
                                          {ConfirmEdit, ConfirmLabel, ConfirmSecondLine},
                                          {InfoEdit, InfoLabel, Count}};

}  // namespace

NewUserDialog::NewUserDialog(NewUserModel& model, Prompter& prompter, QWidget* parent)
    : QtFormDialog(model, prompter, NewUserModel::Title, UserDialogErrorCaption, parent) {
    for (NewUserControl label :
         {NameLabel, PasswordLabel, ConfirmLabel, ConfirmSecondLine, InfoLabel}) {
        Put(label, new QLabel(this));
    }
    for (NewUserControl control : Edits) {
        AddEdit(control, NewUserModel::Masked(control));
    }
    QGroupBox* groupBox = AddChoiceBox<std::int32_t>(GroupBox, GroupRadios);
    QDialogButtonBox* buttons = AddButtons(OkButton, CancelButton);

    auto* grid = new QGridLayout;
    grid->addWidget(Widget(NameLabel), 0, 0);
    grid->addWidget(Widget(NameEdit), 0, 1);
    grid->addWidget(Widget(PasswordLabel), 1, 0);
    grid->addWidget(Widget(PasswordEdit), 1, 1);
    grid->addLayout(StackedLabels(Widget(ConfirmLabel), Widget(ConfirmSecondLine)), 2, 0);
    grid->addWidget(Widget(ConfirmEdit), 2, 1);
    grid->addWidget(Widget(InfoLabel), 3, 0);
    grid->addWidget(Widget(InfoEdit), 3, 1);
    LayOut(grid, groupBox, buttons, Captions);
    ConnectEdits(Edits);
    ConnectChoices<std::int32_t>(
        GroupRadios, [](NewUserModel& m, std::int32_t group) { m.OnGroupSelected(group); });
}

SubDialog<NewUserEntry> NewUserDialogRunner(Prompter& prompter, QWidget* parent) {
    return [&prompter, parent](NewUserEntry& entry) {
        NewUserModel model;
        return RunFormDialog<NewUserDialog>(model, prompter, parent, entry);
    };
}

}  // namespace vantor
