#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "editors/sub_dialog.h"
#include "server/set_password_model.h"

class QDialogButtonBox;

namespace vantor {

class Prompter;

// The "Set password" dialog: two masked edits bound to a SetPasswordModel. A refused OK shows
// the model's message through the Prompter and the dialog stays open.
class SetPasswordDialog : public QDialog {
    Q_OBJECT
public:
    // The model and the prompter must outlive the dialog.
    SetPasswordDialog(SetPasswordModel& model, Prompter& prompter, QWidget* parent = nullptr);

    QWidget* Widget(PasswordControl control) const;
    QDialogButtonBox* Buttons() const { return buttons_; }

    // Copies every control's state from the model into the widgets.
    void Refresh();

public slots:
    void accept() override;

private:
    SetPasswordModel& model_;
    Prompter& prompter_;
    std::array<QWidget*, kPasswordControlCount> widgets_{};
    QDialogButtonBox* buttons_ = nullptr;
};

// Runs the dialog modally over parent: the new hash text, or empty when it was cancelled.
std::u16string RunSetPasswordDialog(Prompter& prompter, QWidget* parent);

// The dialog as an editor's sub-dialog: accepted, it replaces the value with the new hash text;
// cancelled, it leaves the value alone. The prompter and parent must outlive the function.
SubDialog<std::u16string> SetPasswordSubDialog(Prompter& prompter, QWidget* parent);

}  // namespace vantor
