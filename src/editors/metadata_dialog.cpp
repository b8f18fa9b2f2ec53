#include "editors/metadata_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"

namespace vantor {
namespace {

constexpr int kEditChars = 40;

constexpr std::pair<MetadataControl, MetadataControl> kRows[] = {
    {MetadataControl::AuthorLabel, MetadataControl::AuthorEdit},
    {MetadataControl::TitleLabel, MetadataControl::TitleEdit},
    {MetadataControl::CopyrightLabel, MetadataControl::CopyrightEdit},
};

char16_t Mnemonic(MetadataControl control) {
    switch (control) {
        case MetadataControl::AuthorLabel:
            return u'A';
        case MetadataControl::TitleLabel:
            return u'T';
        case MetadataControl::CopyrightLabel:
            return u'C';
        default:
            return 0;
    }
}

}  // namespace

MetadataDialog::MetadataDialog(MetadataEditorModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setModal(true);
    setWindowTitle(ToQString(model_.Title()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& [labelControl, editControl] : kRows) {
        auto* label = new QLabel(this);
        auto* edit = new QLineEdit(this);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * kEditChars);
        label->setBuddy(edit);
        widgets_[static_cast<std::size_t>(labelControl)] = label;
        widgets_[static_cast<std::size_t>(editControl)] = edit;
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
    widgets_[static_cast<std::size_t>(MetadataControl::OkButton)] = ok;
    widgets_[static_cast<std::size_t>(MetadataControl::CancelButton)] =
        buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (std::size_t i = 0; i < kMetadataControlCount; ++i) {
        const auto control = static_cast<MetadataControl>(i);
        ApplyControlState(*widgets_[i], model_.State(control), Mnemonic(control));
    }
}

QWidget* MetadataDialog::Widget(MetadataControl control) const {
    return control < MetadataControl::Count ? widgets_[static_cast<std::size_t>(control)] : nullptr;
}

SubDialog<BroadcastMetadata> MetadataSubDialog(QWidget* parent) {
    return [parent = QPointer<QWidget>(parent)](BroadcastMetadata& metadata) {
        MetadataEditorModel model(metadata);
        MetadataDialog dialog(model, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        metadata = model.OnOk();
        return true;
    };
}

}  // namespace vantor
