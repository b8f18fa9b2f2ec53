#pragma once

#include <QDialog>

#include "editors/live_type_chooser_model.h"
#include "editors/qt_control_widgets.h"

class QDialogButtonBox;

namespace vantor {

// The "New Live Broadcast" dialog: four radios, each with its explanation, bound to a
// LiveTypeChooserModel.
class LiveTypeChooserDialog : public QDialog {
    Q_OBJECT
public:
    // The model must outlive the dialog.
    explicit LiveTypeChooserDialog(LiveTypeChooserModel& model, QWidget* parent = nullptr);

    QWidget* Widget(LiveTypeControl control) const { return widgets_[control]; }
    void Refresh();

private:
    LiveTypeChooserModel& model_;
    ControlWidgets<LiveTypeControl, kLiveTypeControlCount> widgets_;
    QDialogButtonBox* buttons_ = nullptr;
};

// Runs the chooser modally; false when cancelled, otherwise type holds the choice.
bool ChooseLiveTypeWithDialog(bool rebroadcastAvailable, LiveType& type, QWidget* parent);

}  // namespace vantor
