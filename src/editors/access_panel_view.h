#pragma once

#include <array>

#include <QWidget>

#include "editors/access_panel.h"

namespace vantor {

// The access panel's widgets bound to an AccessPanel. The view lays out the two group boxes
// (methods with the inherited-method label, and the user groups) side by side as its own content.
// The player option and the broadcast controls ("Metadata", "Allow delegate Media Servers to
// connect", "Access restrictions") stand elsewhere in each editor, so the view creates and binds
// them but the embedding dialog places them (Widget()); a control the model keeps invisible may
// stay unplaced.
//
// Clicks go to the panel, then the view refreshes itself and emits edited() so the dialog can
// bring its own controls in line. The two buttons have no rule here: their clicks are signals.
class AccessPanelView : public QWidget {
    Q_OBJECT
public:
    // The panel must outlive the view.
    explicit AccessPanelView(AccessPanel& panel, QWidget* parent = nullptr);

    AccessPanel& Panel() const { return panel_; }
    QWidget* Widget(AccessControl control) const;
    // Replaces a control's keyboard letter (0: none), for dialogs whose own controls use it.
    void SetMnemonic(AccessControl control, char16_t letter);

    // Copies every control's state from the panel into the widgets.
    void Refresh();

signals:
    // A click changed the panel.
    void edited();
    void metadataClicked();
    void accessRestrictionsClicked();

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectWidgets();

    AccessPanel& panel_;
    std::array<QWidget*, kAccessControlCount> widgets_{};
    std::array<char16_t, kAccessControlCount> mnemonics_{};
};

}  // namespace vantor
