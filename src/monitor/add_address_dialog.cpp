#include "monitor/add_address_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "editors/qt_control_state.h"

namespace vantor {

namespace {

// Room for a host name of ordinary length.
constexpr int EditMinimumChars = 32;

}  // namespace

AddAddressDialog::AddAddressDialog(AddAddressModel& model, QWidget* parent)
    : QDialog(parent), model_(model), edit_(new QLineEdit(this)), add_(new QPushButton(this)) {
    setWindowTitle(ToQString(AddAddressModel::kTitle));
    // The edit has no label: the title says what it takes.
    edit_->setAccessibleName(ToQString(AddAddressModel::kTitle));
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * EditMinimumChars);
    add_->setDefault(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(edit_, 1);
    layout->addWidget(add_);
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.SetEditText(ToModelText(text));
        Refresh();
    });
    connect(add_, &QPushButton::clicked, this, &QDialog::accept);
    Refresh();
}

void AddAddressDialog::Refresh() {
    ApplyControlState(*edit_, model_.EditState());
    ApplyControlState(*add_, model_.AddState());
}

bool RunAddAddressDialog(QWidget* parent, std::u16string& address) {
    AddAddressModel model;
    AddAddressDialog dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted || model.Address().empty()) {
        address.clear();
        return false;
    }
    address = model.Address();
    return true;
}

}  // namespace vantor
