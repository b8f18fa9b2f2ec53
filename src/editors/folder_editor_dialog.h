#pragma once

#include <array>
#include <functional>
#include <string>

#include <QDialog>
#include <QString>

#include "editors/folder_editor_model.h"

class QDialogButtonBox;
class QShowEvent;

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
class FolderEditorDialog : public QDialog {
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

    // Copies the title and every control's state from the model into the widgets.
    void Refresh();

public slots:
    // OK: the model runs its checks; a failure is shown and the dialog stays open.
    void accept() override;
    // Cancel, Escape or the close button: the model frees a group the dialog reserved.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildWidgets();
    void BuildLayout();
    void ConnectWidgets();
    void SetTabOrder();
    // Shows a handler's message, if it returned one.
    void ShowMessage(const std::u16string& message);

    FolderEditorModel& model_;
    Prompter& prompter_;
    FolderBrowser browser_;
    std::array<QWidget*, kFolderControlCount> folderWidgets_{};
    AccessPanelView* accessView_ = nullptr;
    LimitsPanelView* limitsView_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    // Opening can fail to reserve a group; that is said once the dialog is on screen.
    std::u16string openingMessage_;
    bool closed_ = false;
};

// Runs the editor modally on form (filled from the record in update mode, defaults in create
// mode). True when accepted; form then holds the accepted settings.
bool EditFolder(FolderEditorMode mode, FolderForm& form, MulticastTable& multicastTable,
                const Catalogue& catalogue, const AuthMethod& defaultAuthMethod, Prompter& prompter,
                const FolderBrowser& browser, QWidget* parent);

}  // namespace vantor
