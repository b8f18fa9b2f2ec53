#include "editors/live_type_chooser_dialog.h"

#include <utility>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "editors/qt_control_state.h"

namespace vantor {
namespace {

constexpr LiveType kTypes[] = {LiveType::Static, LiveType::Dynamic, LiveType::Delegate,
                               LiveType::MmsRebroadcast};
// Wide enough that each explanation takes two or three lines.
constexpr int kExplanationChars = 60;

constexpr std::pair<LiveTypeControl, char16_t> kMnemonics[] = {
    {LiveTypeControl::StaticRadio, u'S'},
    {LiveTypeControl::DynamicRadio, u'D'},
    {LiveTypeControl::DelegateRadio, u'e'},
    {LiveTypeControl::RebroadcastRadio, u'R'},
};

LiveTypeControl ExplanationOf(LiveType type) {
    switch (type) {
        case LiveType::Static:
            return LiveTypeControl::StaticText;
        case LiveType::Dynamic:
            return LiveTypeControl::DynamicText;
        default:
            return LiveTypeControl::DelegateText;
    }
}

}  // namespace

LiveTypeChooserDialog::LiveTypeChooserDialog(LiveTypeChooserModel& model, QWidget* parent)
    : QDialog(parent), model_(model), widgets_(kMnemonics) {
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    for (LiveType type : kTypes) {
        auto* radio = new QRadioButton(this);
        const LiveTypeControl control = LiveTypeChooserModel::RadioOf(type);
        widgets_.Set(control, radio);
        layout->addWidget(radio);
        connect(radio, &QAbstractButton::clicked, this, [this, type] {
            model_.OnTypeSelected(type);
            Refresh();
        });
        if (type == LiveType::MmsRebroadcast) {
            continue;  // it has no explanation
        }
        auto* text = new QLabel(this);
        text->setWordWrap(true);
        text->setMinimumWidth(fontMetrics().averageCharWidth() * kExplanationChars);
        const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                           style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        text->setContentsMargins(indent, 0, 0, fontMetrics().height() / 2);
        widgets_.Set(ExplanationOf(type), text);
        layout->addWidget(text);
    }
    buttons_ = new QDialogButtonBox(this);
    QPushButton* ok = buttons_->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    widgets_.Set(LiveTypeControl::OkButton, ok);
    widgets_.Set(LiveTypeControl::CancelButton, buttons_->addButton(QDialogButtonBox::Cancel));
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Refresh();
    Widget(LiveTypeControl::StaticRadio)->setFocus();
}

void LiveTypeChooserDialog::Refresh() {
    setWindowTitle(ToQString(model_.Title()));
    widgets_.Apply(model_);
}

bool ChooseLiveTypeWithDialog(bool rebroadcastAvailable, LiveType& type, QWidget* parent) {
    LiveTypeChooserModel model(rebroadcastAvailable);
    LiveTypeChooserDialog dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    type = model.OnOk();
    return true;
}

}  // namespace vantor
