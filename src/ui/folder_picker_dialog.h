#pragma once

#include <QDialog>

#include "editors/folder_editor_dialog.h"
#include "ui/folder_picker_model.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantor {

class DirectoryReader;
class Prompter;

// The folder picker over a FolderPickerModel: the folder shown (typed paths open on Enter), its
// subfolders (a double click or Enter goes in), Up, OK and Cancel.
class FolderPickerDialog : public QDialog {
    Q_OBJECT
public:
    FolderPickerDialog(FolderPickerModel& model, Prompter& prompter, const QString& title,
                       QWidget* parent = nullptr);

    QLineEdit* PathEdit() const { return path_; }
    QListWidget* Folders() const { return folders_; }
    QPushButton* UpButton() const { return up_; }

protected:
    // Return in the folder field opens the folder typed there, and does not press OK.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void OpenTyped();
    void EnterRow(int row);
    void Refused();

    FolderPickerModel& model_;
    Prompter& prompter_;
    QLineEdit* path_ = nullptr;
    QListWidget* folders_ = nullptr;
    QPushButton* up_ = nullptr;
};

// A folder browser for the folder editor that lists the folders of reader's machine (another
// machine's, over ssh) instead of this one's.
FolderBrowser MachineFolderBrowser(DirectoryReader& reader, Prompter& prompter);

}  // namespace vantor
