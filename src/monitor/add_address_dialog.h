#pragma once

#include <string>

#include <QDialog>

#include "monitor/add_address_model.h"

class QLineEdit;
class QPushButton;

namespace vantor {

// "Add Media Server address": an edit and the default button "Add", bound to an
// AddAddressModel. Escape or closing the window cancels.
class AddAddressDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddAddressDialog(AddAddressModel& model, QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    QPushButton* AddButton() const { return add_; }

private:
    void Refresh();

    AddAddressModel& model_;
    QLineEdit* edit_ = nullptr;
    QPushButton* add_ = nullptr;
};

// Runs the dialog modally over parent. True when "Add" ended it; address then holds the trimmed
// text. The shape of a SubDialog<std::u16string>.
bool RunAddAddressDialog(QWidget* parent, std::u16string& address);

}  // namespace vantor
