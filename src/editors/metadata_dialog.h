#pragma once

#include <QDialog>

#include "editors/metadata_editor_model.h"
#include "editors/qt_control_widgets.h"
#include "editors/sub_dialog.h"

namespace vantor {

// The "MMS / Flash Metadata" dialog bound to a MetadataEditorModel.
class MetadataDialog : public QDialog {
    Q_OBJECT
public:
    // The model must outlive the dialog.
    explicit MetadataDialog(MetadataEditorModel& model, QWidget* parent = nullptr);

    QWidget* Widget(MetadataControl control) const { return widgets_[control]; }

private:
    MetadataEditorModel& model_;
    ControlWidgets<MetadataControl, kMetadataControlCount> widgets_;
};

// The dialog as a broadcast editor's sub-dialog: edits metadata in place, true on OK.
SubDialog<BroadcastMetadata> MetadataSubDialog(QWidget* parent);

}  // namespace vantor
