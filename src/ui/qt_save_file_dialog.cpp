#include "ui/qt_save_file_dialog.h"

#include <QFileDialog>
#include <QPointer>
#include <QString>

namespace vantor {

SaveFileDialog QtSaveFileDialog(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](SaveFileChoice& choice) {
        const QString chosen = QFileDialog::getSaveFileName(
            owner.data(), QString(), QString::fromStdString(choice.path),
            QString::fromStdU16String(choice.filterName));
        if (chosen.isEmpty()) {
            return false;
        }
        choice.path = chosen.toStdString();
        return true;
    };
}

}  // namespace vantor
