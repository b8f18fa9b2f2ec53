#pragma once

#include <array>

#include <QDialog>

#include "editors/sub_dialog.h"
#include "server/update_user_model.h"

namespace vantor {

class Prompter;

// The "Update user" dialog: widgets bound to an UpdateUserModel. A refused OK shows the model's
// message and stays open.
class UpdateUserDialog : public QDialog {
    Q_OBJECT
public:
    UpdateUserDialog(UpdateUserModel& model, Prompter& prompter, QWidget* parent = nullptr);

    QWidget* Widget(UpdateUserControl control) const;
    void Refresh();

public slots:
    void accept() override;

private:
    void Build();
    void Connect();

    UpdateUserModel& model_;
    Prompter& prompter_;
    std::array<QWidget*, UpdateUserControlCount> widgets_{};
};

// The dialog as the user manager runs it, modal over parent, opened on the entry it is given.
SubDialog<UserUpdateEntry> UpdateUserDialogRunner(Prompter& prompter, QWidget* parent);

}  // namespace vantor
