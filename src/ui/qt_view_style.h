#pragma once

class QAbstractItemView;

namespace vantor {

// The selection of a list or tree stays visible, in the active colours, while the keyboard
// focus is in another pane: the panes show each other's context.
void KeepSelectionVisibleWhenInactive(QAbstractItemView& view);

}  // namespace vantor
