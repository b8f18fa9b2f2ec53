#include "server/new_user_dialog.h"

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

namespace vantor {
namespace {

constexpr std::pair<NewUserControl, std::int32_t> GroupRadios[] = {
    {NewUserControl::Basic, BasicGroup},
    {NewUserControl::Medium, MediumGroup},
    {NewUserControl::Advanced, AdvancedGroup},
};

constexpr NewUserControl Edits[] = {NewUserControl::NameEdit, NewUserControl::PasswordEdit,
                                    NewUserControl::ConfirmEdit, NewUserControl::InfoEdit};

std::size_t Index(NewUserControl control) {
    return static_cast<std::size_t>(control);
}

}  // namespace

NewUserDialog::NewUserDialog(NewUserModel& model, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(model), prompter_(prompter) {
    setModal(true);
    setWindowTitle(ToQString(NewUserModel::Title));
    Build();
    Refresh();
    Connect();
}

QWidget* NewUserDialog::Widget(NewUserControl control) const {
    return control < NewUserControl::Count ? widgets_[Index(control)] : nullptr;
}

void NewUserDialog::Build() {
    auto put = [this](NewUserControl control, QWidget* widget) {
        widgets_[Index(control)] = widget;
    };
    for (NewUserControl label :
         {NewUserControl::NameLabel, NewUserControl::PasswordLabel, NewUserControl::ConfirmLabel,
          NewUserControl::ConfirmSecondLine, NewUserControl::InfoLabel}) {
        put(label, new QLabel(this));
    }
    for (NewUserControl control : Edits) {
        auto* edit = new QLineEdit(this);
        if (NewUserModel::Masked(control)) {
            edit->setEchoMode(QLineEdit::Password);
        }
        put(control, edit);
    }
    auto* groupBox = new QGroupBox(this);
    put(NewUserControl::GroupBox, groupBox);
    auto* radios = new QHBoxLayout(groupBox);
    for (const auto& [control, group] : GroupRadios) {
        auto* radio = new QRadioButton(groupBox);
        radios->addWidget(radio);
        put(control, radio);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    put(NewUserControl::OkButton, ok);
    put(NewUserControl::CancelButton, buttons->addButton(QDialogButtonBox::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &NewUserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewUserDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(Widget(NewUserControl::NameLabel), 0, 0);
    grid->addWidget(Widget(NewUserControl::NameEdit), 0, 1);
    grid->addWidget(Widget(NewUserControl::PasswordLabel), 1, 0);
    grid->addWidget(Widget(NewUserControl::PasswordEdit), 1, 1);
    auto* confirm = new QVBoxLayout;
    confirm->setSpacing(0);
    confirm->addWidget(Widget(NewUserControl::ConfirmLabel));
    confirm->addWidget(Widget(NewUserControl::ConfirmSecondLine));
    grid->addLayout(confirm, 2, 0);
    grid->addWidget(Widget(NewUserControl::ConfirmEdit), 2, 1);
    grid->addWidget(Widget(NewUserControl::InfoLabel), 3, 0);
    grid->addWidget(Widget(NewUserControl::InfoEdit), 3, 1);
    grid->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 32);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addWidget(groupBox);
    main->addWidget(buttons);
    static_cast<QLabel*>(Widget(NewUserControl::NameLabel))
        ->setBuddy(Widget(NewUserControl::NameEdit));
}

void NewUserDialog::Connect() {
    for (NewUserControl control : Edits) {
        connect(
            static_cast<QLineEdit*>(Widget(control)), &QLineEdit::textEdited, this,
            [this, control](const QString& text) { model_.SetText(control, ToModelText(text)); });
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

void NewUserDialog::Refresh() {
    for (std::size_t i = 0; i < NewUserControlCount; ++i) {
        ApplyControlState(*widgets_[i], model_.State(static_cast<NewUserControl>(i)));
    }
}

void NewUserDialog::accept() {
    const std::u16string message = model_.OnOk();
    Refresh();
    if (!message.empty()) {
        prompter_.ShowMessage(message, std::u16string(UserDialogErrorCaption));
        return;
    }
    QDialog::accept();
}

SubDialog<NewUserEntry> NewUserDialogRunner(Prompter& prompter, QWidget* parent) {
    return [&prompter, parent](NewUserEntry& entry) {
        NewUserModel model;
        NewUserDialog dialog(model, prompter, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        entry = model.Entry();
        return true;
    };
}

}  // namespace vantor
