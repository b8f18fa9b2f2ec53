#pragma once

#include "editors/broadcast_dialog.h"
#include "editors/live_editor_model.h"
#include "editors/qt_control_widgets.h"

class QComboBox;

namespace vantor {

// The live broadcast dialog (static, dynamic, MMS) bound to a LiveEditorModel.
class LiveEditorDialog : public BroadcastDialog {
    Q_OBJECT
public:
    // Opens the model (which may reserve a multicast group) and fills the widgets. The model and
    // the prompter must outlive the dialog.
    LiveEditorDialog(LiveEditorModel& model, Prompter& prompter, QWidget* parent = nullptr);

    using BroadcastDialog::Widget;
    QWidget* Widget(LiveControl control) const { return widgets_[control]; }
    QComboBox* IdList() const;

protected:
    const std::u16string& Title() const override { return model_.Title(); }
    void RefreshOwn() override;
    std::u16string Ok() override { return model_.OnOk(); }
    void Cancel() override { model_.OnCancel(); }

private:
    LiveEditorModel& model_;
    ControlWidgets<LiveControl, kLiveControlCount> widgets_;
};

// Runs the dialog modally on form (LiveFormFromRecord in update mode, NewLiveForm in create
// mode). True when accepted; form then holds the accepted settings.
bool EditLiveBroadcast(LiveEditorMode mode, LiveForm& form, MulticastTable& multicastTable,
                       const Catalogue& catalogue, const AuthMethod& defaultAuthMethod,
                       BroadcastSubDialogs subDialogs, Prompter& prompter, QWidget* parent);

}  // namespace vantor
