#pragma once

#include <string>
#include <string_view>

#include <QDialog>

class QDialogButtonBox;
class QShowEvent;

namespace vantor {

class Prompter;

// What every resource editor dialog shares: it is modal; OK asks the model's checks and, on a
// failure, shows the message and stays open; Cancel (Escape, the close button) lets the model
// undo what opening reserved; either closes the dialog once; and a message from opening the
// model is said once the dialog is on screen.
class EditorDialog : public QDialog {
    Q_OBJECT
public:
    // Copies the title and every control's state from the model into the widgets.
    virtual void Refresh() = 0;

public slots:
    void accept() override;
    void reject() override;

protected:
    // prompter must outlive the dialog; errorCaption is the caption of every message.
    EditorDialog(Prompter& prompter, std::u16string_view errorCaption, QWidget* parent);

    // OK (the default button) and Cancel, wired to accept and reject.
    QDialogButtonBox* AddOkCancel(QWidget*& ok, QWidget*& cancel);
    void SetOpeningMessage(std::u16string message) { openingMessage_ = std::move(message); }
    // Shows a handler's message, if it returned one.
    void ShowMessage(const std::u16string& message);

    // The model's OK: empty when accepted, else the first failure's message.
    virtual std::u16string Ok() = 0;
    virtual void Cancel() = 0;

    void showEvent(QShowEvent* event) override;

private:
    Prompter& prompter_;
    std::u16string_view errorCaption_;
    std::u16string openingMessage_;
    bool closed_ = false;
};

}  // namespace vantor
