#include "ui/connect_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/prompter.h"
#include "ui/connect_model.h"

namespace vantor {
namespace {

QString FromModel(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool RunConnectDialog(ConnectModel& model, Prompter& prompter, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(FromModel(ConnectTitle));
    auto* layout = new QVBoxLayout(&dialog);
    auto* explanation = new QLabel(FromModel(ConnectExplanationText), &dialog);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto* label = new QLabel(FromModel(ConnectHostLabelText), &dialog);
    layout->addWidget(label);
    auto* host = new QComboBox(&dialog);
    host->setObjectName(QStringLiteral("host"));
    host->setEditable(true);
    host->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& recent : model.Recent()) {
        host->addItem(QString::fromStdString(recent));
    }
    host->setEditText(QString::fromStdString(model.HostText()));
    host->lineEdit()->selectAll();
    label->setBuddy(host);
    layout->addWidget(host);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        model.SetHostText(host->currentText().toStdString());
        if (const std::optional<std::u16string> message = model.OnOk()) {
            prompter.ShowMessage(*message, std::u16string(ConnectTitle));
            host->setFocus();
            return;
        }
        dialog.accept();
    });
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantor
