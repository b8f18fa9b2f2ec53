#pragma once

#include <array>

#include <QDialog>

#include "editors/sub_dialog.h"
#include "server/new_user_model.h"

namespace vantor {

class Prompter;

// The "New user" dialog: widgets bound to a NewUserModel. A refused OK shows the model's message
// and stays open.
class NewUserDialog : public QDialog {
    Q_OBJECT
public:
    NewUserDialog(NewUserModel& model, Prompter& prompter, QWidget* parent = nullptr);

    QWidget* Widget(NewUserControl control) const;
    void Refresh();

public slots:
    void accept() override;

private:
    void Build();
    void Connect();

    NewUserModel& model_;
    Prompter& prompter_;
    std::array<QWidget*, NewUserControlCount> widgets_{};
};

// The dialog as the user manager runs it, modal over parent.
SubDialog<NewUserEntry> NewUserDialogRunner(Prompter& prompter, QWidget* parent);

}  // namespace vantor
