#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QDialog>
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
#include "editors/qt_control_widgets.h"
#include "platform/prompter.h"

namespace vantor {

// A control is read out under the caption beside it, joined with the caption's second line when
// it has one ("Confirm" over "Password"); a label caption also hands its focus to the control.
inline void NameAfterCaption(QWidget& control, QWidget& caption, const QWidget* secondLine) {
    if (auto* label = qobject_cast<QLabel*>(&caption)) {
        label->setBuddy(&control);
    }
    QString name = DisplayedText(caption);
    if (secondLine != nullptr) {
        name += u' ' + DisplayedText(*secondLine);
    }
    control.setAccessibleName(name);
}

// What the small dialogs of the user manager share: a widget per control of a form model,
// every state copied from the model after each handler, and an OK that closes only when the
// model's checks pass (otherwise its message is shown with errorCaption and the dialog stays).
// Model has State(Control), SetText(Control, text) and OnOk() returning the message.
template <typename Model, typename Control, std::size_t Count>
class QtFormDialog : public QDialog {
public:
    QWidget* Widget(Control control) const { return widgets_[control]; }

    void Refresh() { widgets_.Apply(model_); }

    void accept() override {
        const std::u16string message = model_.OnOk();
        Refresh();
        if (!message.empty()) {
            prompter_.ShowMessage(message, std::u16string(errorCaption_));
            return;
        }
        QDialog::accept();
    }

protected:
    QtFormDialog(Model& model, Prompter& prompter, std::u16string_view title,
                 std::u16string_view errorCaption, QWidget* parent)
        : QDialog(parent), model_(model), prompter_(prompter), errorCaption_(errorCaption) {
        setModal(true);
        setWindowTitle(ToQString(title));
    }

    void Put(Control control, QWidget* widget) { widgets_.Set(control, widget); }

    // The OK and Cancel buttons, OK the default.
    QDialogButtonBox* AddButtons(Control ok, Control cancel) {
        auto* buttons = new QDialogButtonBox(this);
        QPushButton* okButton = buttons->addButton(QDialogButtonBox::Ok);
        okButton->setDefault(true);
        Put(ok, okButton);
        Put(cancel, buttons->addButton(QDialogButtonBox::Cancel));
        connect(buttons, &QDialogButtonBox::accepted, this, &QtFormDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QtFormDialog::reject);
        return buttons;
    }

    // An edit, its typing hidden when masked.
    QLineEdit* AddEdit(Control control, bool masked) {
        auto* edit = new QLineEdit(this);
        edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
        Put(control, edit);
        return edit;
    }

    // A group box holding a row of radio buttons, one per choice.
    template <typename Value>
    QGroupBox* AddChoiceBox(Control box, std::span<const std::pair<Control, Value>> choices) {
        auto* groupBox = new QGroupBox(this);
        Put(box, groupBox);
        auto* row = new QHBoxLayout(groupBox);
        for (const auto& [control, value] : choices) {
            auto* radio = new QRadioButton(groupBox);
            row->addWidget(radio);
            Put(control, radio);
        }
        return groupBox;
    }

    // The rows of labels and edits over the choice box over the buttons; then every control
    // takes its state, and each control in captions is read out under its caption (control,
    // caption, the caption's second line or Count).
    void LayOut(QGridLayout* rows, QWidget* choiceBox, QDialogButtonBox* buttons,
                std::span<const Control[3]> captions) {
        rows->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 32);
        auto* main = new QVBoxLayout(this);
        main->addLayout(rows);
        main->addWidget(choiceBox);
        main->addWidget(buttons);
        Refresh();
        for (const auto& [control, caption, secondLine] : captions) {
            NameAfterCaption(*Widget(control), *Widget(caption), Widget(secondLine));
        }
    }

    // Typed text goes to the model as it is typed.
    void ConnectEdits(std::span<const Control> edits) {
        for (Control control : edits) {
            connect(static_cast<QLineEdit*>(Widget(control)), &QLineEdit::textEdited, this,
                    [this, control](const QString& text) {
                        model_.SetText(control, ToModelText(text));
                    });
        }
    }

    // A click on each button calls handler with the value beside it, then refreshes.
    template <typename Value, typename Handler>
    void ConnectChoices(std::span<const std::pair<Control, Value>> choices, Handler handler) {
        for (const auto& [control, value] : choices) {
            connect(static_cast<QAbstractButton*>(Widget(control)), &QAbstractButton::clicked, this,
                    [this, handler, selected = value] {
                        handler(model_, selected);
                        Refresh();
                    });
        }
    }

    Model& model_;

private:
    Prompter& prompter_;
    std::u16string_view errorCaption_;
    ControlWidgets<Control, Count> widgets_;
};

// A label over its second line, as "Confirm" over "Password".
inline QVBoxLayout* StackedLabels(QWidget* first, QWidget* second) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(0);
    lines->addWidget(first);
    lines->addWidget(second);
    return lines;
}

// Runs Dialog modally on model; accepted, entry becomes the model's entry.
template <typename Dialog, typename Model, typename Entry>
bool RunFormDialog(Model& model, Prompter& prompter, QWidget* parent, Entry& entry) {
    Dialog dialog(model, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    entry = model.Entry();
    return true;
}

}  // namespace vantor
