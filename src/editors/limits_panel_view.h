#pragma once

#include <array>

#include <QWidget>

#include "editors/limits_panel.h"

namespace vantor {

// The limits panel's widgets bound to a LimitsPanel. The view's own content is the group box with
// the three connection pairs. The playback-time pair stands among a broadcast editor's delivery
// options, so its check box, edit box and "minutes" label come in one row widget, PlayTimeRow(),
// that the embedding dialog places; it shows only when the panel shows the pair.
//
// Clicks and typed text go to the panel, then the view refreshes itself and emits edited(). Each
// edit box is read out by assistive technology under its check box's caption.
class LimitsPanelView : public QWidget {
    Q_OBJECT
public:
    // The panel must outlive the view.
    explicit LimitsPanelView(LimitsPanel& panel, QWidget* parent = nullptr);

    LimitsPanel& Panel() const { return panel_; }
    QWidget* Widget(LimitsControl control) const;
    QWidget* PlayTimeRow() const { return playTimeRow_; }
    // Replaces a check box's keyboard letter (0: none), for dialogs whose own controls use it.
    void SetMnemonic(LimitsControl control, char16_t letter);

    // Copies every control's state from the panel into the widgets.
    void Refresh();

signals:
    // A click or a keystroke changed the panel.
    void edited();

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectWidgets();
    // The name under which an edit box is read: its check box's caption, both lines of it.
    QString AccessibleNameOf(LimitPair pair) const;

    LimitsPanel& panel_;
    std::array<QWidget*, kLimitsControlCount> widgets_{};
    std::array<char16_t, kLimitsControlCount> mnemonics_{};
    QWidget* playTimeRow_ = nullptr;
};

}  // namespace vantor
