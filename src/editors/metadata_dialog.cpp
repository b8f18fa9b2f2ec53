#include "editors/metadata_dialog.h"

#include <utility>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"
#include "editors/qt_dialog_owner.h"

namespace vantor {
namespace {

constexpr int kEditChars = 40;

constexpr std::pair<MetadataControl, MetadataControl> kRows[] = {
    {MetadataControl::AuthorLabel, MetadataControl::AuthorEdit},
    {MetadataControl::TitleLabel, MetadataControl::TitleEdit},
    {MetadataControl::CopyrightLabel, MetadataControl::CopyrightEdit},
};

constexpr std::pair<MetadataControl, char16_t> kMnemonics[] = {
    {MetadataControl::AuthorLabel, u'A'},
    {MetadataControl::TitleLabel, u'T'},
    {MetadataControl::CopyrightLabel, u'C'},
};

}  // namespace

MetadataDialog::MetadataDialog(MetadataEditorModel& model, QWidget* parent)
    : QDialog(parent), model_(model), widgets_(kMnemonics) {
    setModal(true);
    setWindowTitle(ToQString(model_.Title()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& [labelControl, editControl] : kRows) {
        auto* label = new QLabel(this);
        auto* edit = new QLineEdit(this);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * kEditChars);
        label->setBuddy(edit);
        widgets_.Set(labelControl, label);
        widgets_.Set(editControl, edit);
        form->addRow(label, edit);
        const MetadataControl control = editControl;
        connect(edit, &QLineEdit::textEdited, this, [this, control](const QString& text) {
            model_.SetText(control, ToModelText(text));
        });
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    widgets_.Set(MetadataControl::OkButton, ok);
    widgets_.Set(MetadataControl::CancelButton, buttons->addButton(QDialogButtonBox::Cancel));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    widgets_.Apply(model_);
}

SubDialog<BroadcastMetadata> MetadataSubDialog(QWidget* parent) {
    return [parent = QPointer<QWidget>(parent)](BroadcastMetadata& metadata) {
        MetadataEditorModel model(metadata);
        MetadataDialog dialog(model, DialogOwner(parent));
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        metadata = model.OnOk();
        return true;
    };
}

}  // namespace vantor
