#pragma once

#include "editors/broadcast_dialog.h"
#include "editors/delegate_editor_model.h"
#include "editors/qt_control_widgets.h"

class QComboBox;

namespace vantor {

// The delegate live broadcast dialog bound to a DelegateEditorModel.
class DelegateEditorDialog : public BroadcastDialog {
    Q_OBJECT
public:
    // Opens the model (which may reserve a multicast group) and fills the widgets. The model and
    // the prompter must outlive the dialog.
    DelegateEditorDialog(DelegateEditorModel& model, Prompter& prompter, QWidget* parent = nullptr);

    using BroadcastDialog::Widget;
    QWidget* Widget(DelegateControl control) const { return widgets_[control]; }
    QComboBox* ProtocolList() const;

protected:
    const std::u16string& Title() const override { return model_.Title(); }
    void RefreshOwn() override;
    std::u16string Ok() override { return model_.OnOk(); }
    void Cancel() override { model_.OnCancel(); }

private:
    DelegateEditorModel& model_;
    ControlWidgets<DelegateControl, kDelegateControlCount> widgets_;
};

// Runs the dialog modally on form (DelegateFormFromRecord in update mode, defaults in create
// mode). True when accepted; form then holds the accepted settings.
bool EditDelegateBroadcast(DelegateEditorMode mode, DelegateForm& form,
                           MulticastTable& multicastTable, const Catalogue& catalogue,
                           const AuthMethod& defaultAuthMethod, BroadcastSubDialogs subDialogs,
                           Prompter& prompter, QWidget* parent);

}  // namespace vantor
