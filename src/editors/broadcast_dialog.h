#pragma once

#include <array>
#include <string>

#include "editors/broadcast_settings.h"
#include "editors/qt_editor_dialog.h"

class QBoxLayout;
class QDialogButtonBox;
class QGridLayout;

namespace vantor {

class AccessPanelView;
class LimitsPanelView;
class Prompter;

// What the live broadcast and the delegate dialogs share: the widgets of BroadcastSettings with
// the embedded access and limits panel views, the message boxes, and OK and Cancel. A dialog
// builds its own source controls, lays everything out with Assemble, opens its model and then
// keeps its own widgets in line in RefreshOwn.
class BroadcastDialog : public EditorDialog {
    Q_OBJECT
public:
    QWidget* Widget(BroadcastControl control) const;
    QWidget* Widget(AccessControl control) const;
    QWidget* Widget(LimitsControl control) const;
    QDialogButtonBox* Buttons() const { return buttons_; }

    // Copies the title and every control's state from the models into the widgets.
    void Refresh() override;

protected:
    // settings and prompter must outlive the dialog.
    BroadcastDialog(BroadcastSettings& settings, Prompter& prompter, QWidget* parent);

    // Lays the dialog out top to bottom, with the dialog's own rows after the name and after
    // the description (either may be nullptr), sets the tab order top to bottom with the
    // dialog's own controls in their place, then gives the name the focus.
    void Assemble(QGridLayout* afterName, const QWidgetList& afterNameTabs,
                  QGridLayout* afterDescription, const QWidgetList& afterDescriptionTabs);
    // A handler of the dialog's own ran: bring every widget in line.
    template <typename Handler>
    auto Handle(Handler handler) {
        return [this, handler](auto&&... arguments) {
            handler(arguments...);
            Refresh();
        };
    }

    virtual const std::u16string& Title() const = 0;
    virtual void RefreshOwn() = 0;

private:
    void BuildWidgets();
    void ConnectWidgets();
    void SetTabOrder(const QWidgetList& afterNameTabs, const QWidgetList& afterDescriptionTabs);

    BroadcastSettings& settings_;
    std::array<QWidget*, kBroadcastControlCount> widgets_{};
    AccessPanelView* access_ = nullptr;
    LimitsPanelView* limits_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace vantor
