#pragma once

#include "editors/sub_dialog.h"
#include "server/qt_form_dialog.h"
#include "server/update_user_model.h"

namespace vantor {

class Prompter;

// The "Update user" dialog: widgets bound to an UpdateUserModel. A refused OK shows the model's
// message and stays open.
class UpdateUserDialog
    : public QtFormDialog<UpdateUserModel, UpdateUserControl, UpdateUserControlCount> {
public:
    UpdateUserDialog(UpdateUserModel& model, Prompter& prompter, QWidget* parent = nullptr);
};

// The dialog as the user manager runs it, modal over parent, opened on the entry it is given.
SubDialog<UserUpdateEntry> UpdateUserDialogRunner(Prompter& prompter, QWidget* parent);

}  // namespace vantor
