#pragma once

#include <QList>

class QHBoxLayout;
class QLineEdit;
class QWidget;

namespace vantor {

// A row holding widget, indented so that it lines up with the caption of the check box or radio
// button above it (a second line of text, a label that belongs to the option).
QHBoxLayout* IndentedRow(const QWidget& above, QWidget* widget);

// Tab moves through the widgets in this order (the reading order of the layout, which the
// order of creation seldom is).
void ChainTabOrder(const QList<QWidget*>& order);

// A width for edit that holds sample (a Latin-1 text such as the longest value) with its frame.
int EditWidthFor(const QLineEdit& edit, const char* sample);

}  // namespace vantor
