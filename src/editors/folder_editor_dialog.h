#pragma once

#include <array>
#include <functional>
#include <string>

#include <QString>

#include "editors/folder_editor_model.h"
#include "editors/qt_editor_dialog.h"

class QDialogButtonBox;

namespace vantor {

class AccessPanelView;
class LimitsPanelView;
class Catalogue;
class MulticastTable;
class Prompter;

// Asks the user for a folder, with a title and the folder to start in; empty when cancelled.
using FolderBrowser =
    std::function<QString(QWidget* parent, const QString& title, const QString& startPath)>;

// The platform's folder picker (directories only).
QString BrowseWithFileDialog(QWidget* parent, const QString& title, const QString& startPath);

// The virtual folder editor: widgets bound to a FolderEditorModel. Every click and every typed
// character goes to the model; after each, every control's state comes back from it. Messages
// the model returns are shown through the Prompter, and the dialog stays open.
class FolderEditorDialog : public EditorDialog {
    Q_OBJECT
public:
    // Opens the model (which may reserve a multicast group) and fills the widgets. The model,
    // the prompter and the browser must outlive the dialog.
    FolderEditorDialog(FolderEditorModel& model, Prompter& prompter,
                       FolderBrowser browser = BrowseWithFileDialog, QWidget* parent = nullptr);

    // The widget bound to a control of the dialog or of one of its panels.
    QWidget* Widget(FolderControl control) const;
    QWidget* Widget(AccessControl control) const;
    QWidget* Widget(LimitsControl control) const;
    QDialogButtonBox* Buttons() const { return buttons_; }
    AccessPanelView& AccessView() const { return *accessView_; }
    LimitsPanelView& LimitsView() const { return *limitsView_; }

    void Refresh() override;

protected:
    // OK runs the model's checks; Cancel frees a group the dialog reserved.
    std::u16string Ok() override;
    void Cancel() override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectWidgets();
    void SetTabOrder();

    FolderEditorModel& model_;
    FolderBrowser browser_;
    std::array<QWidget*, kFolderControlCount> folderWidgets_{};
    AccessPanelView* accessView_ = nullptr;
    LimitsPanelView* limitsView_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// Runs the editor modally on form (filled from the record in update mode, defaults in create
// mode). True when accepted; form then holds the accepted settings.
bool EditFolder(FolderEditorMode mode, FolderForm& form, MulticastTable& multicastTable,
                const Catalogue& catalogue, const AuthMethod& defaultAuthMethod, Prompter& prompter,
                const FolderBrowser& browser, QWidget* parent);

}  // namespace vantor
