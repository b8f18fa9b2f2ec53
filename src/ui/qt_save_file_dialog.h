#pragma once

#include "ui/folder_export_commands.h"

class QWidget;

namespace vantor {

// The save dialog of the folder exports as a QFileDialog over parent: the proposed name, one
// filter, a question before an existing file is replaced, and no extension added.
SaveFileDialog QtSaveFileDialog(QWidget* parent);

}  // namespace vantor
