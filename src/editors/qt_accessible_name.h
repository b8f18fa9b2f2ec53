#pragma once

#include <initializer_list>

#include <QWidget>

namespace vantor {

// Names control for screen readers after the captions that introduce it (a check box, a button,
// a label; several are read as one phrase), without their mnemonic marks. Qt names an edit only
// after a label whose buddy it is, or else after its group box's title, which says nothing of
// which of the box's edits it is.
void NameAfterCaptions(QWidget& control, std::initializer_list<const QWidget*> captions);

}  // namespace vantor
