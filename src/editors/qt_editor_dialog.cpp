#include "editors/qt_editor_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "platform/prompter.h"

namespace vantor {

EditorDialog::EditorDialog(Prompter& prompter, std::u16string_view errorCaption, QWidget* parent)
    : QDialog(parent), prompter_(prompter), errorCaption_(errorCaption) {
    setModal(true);
}

QDialogButtonBox* EditorDialog::AddOkCancel(QWidget*& ok, QWidget*& cancel) {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* okButton = buttons->addButton(QDialogButtonBox::Ok);
    okButton->setDefault(true);
    ok = okButton;
    cancel = buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &EditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EditorDialog::reject);
    return buttons;
}

void EditorDialog::ShowMessage(const std::u16string& message) {
    if (!message.empty()) {
        prompter_.ShowMessage(message, std::u16string(errorCaption_));
    }
}

void EditorDialog::accept() {
    if (closed_) {
        return;
    }
    const std::u16string message = Ok();
    if (!message.empty()) {
        ShowMessage(message);
        Refresh();  // a refused group gives way to the one held before
        return;
    }
    closed_ = true;
    QDialog::accept();
}

void EditorDialog::reject() {
    if (closed_) {
        return;
    }
    closed_ = true;
    Cancel();
    QDialog::reject();
}

void EditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!openingMessage_.empty() && !event->spontaneous()) {
        // Said once, over the dialog rather than before it appears.
        QTimer::singleShot(0, this,
                           [this, message = std::move(openingMessage_)] { ShowMessage(message); });
        openingMessage_.clear();
    }
}

}  // namespace vantor
