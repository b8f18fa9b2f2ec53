#pragma once

#include "editors/sub_dialog.h"
#include "server/new_user_model.h"
#include "server/qt_form_dialog.h"

namespace vantor {

class Prompter;

// The "New user" dialog: widgets bound to a NewUserModel. A refused OK shows the model's message
// and stays open.
class NewUserDialog : public QtFormDialog<NewUserModel, NewUserControl, NewUserControlCount> {
public:
    NewUserDialog(NewUserModel& model, Prompter& prompter, QWidget* parent = nullptr);
};

// The dialog as the user manager runs it, modal over parent.
SubDialog<NewUserEntry> NewUserDialogRunner(Prompter& prompter, QWidget* parent);

}  // namespace vantor
