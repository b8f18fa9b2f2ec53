#pragma once

#include <array>
#include <thread>
#include <vector>

#include <QDialog>

#include "editors/qt_control_widgets.h"
#include "editors/sub_dialog.h"
#include "monitor/delegate_restrictions_model.h"

class QTreeWidget;

namespace vantor {

class AutomationFactory;
class FileStore;
class InstallationEnvironment;
class Prompter;

// "Connection Restrictions for Delegate Media Servers": widgets bound to a
// DelegateRestrictionsModel, opened already or loaded by LoadInBackground. Every click, focus and
// selection goes to the model; after each, the controls and both lists come back from it.
class DelegateRestrictionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DelegateRestrictionsDialog(DelegateRestrictionsModel& model,
                                        QWidget* parent = nullptr);
    // Waits for a read still running: it uses the file store the dialog was given.
    ~DelegateRestrictionsDialog() override;

    // Reads the model's file on a thread of its own, so a slow or large file never holds up the
    // window, and shows it when it arrives (with prompter's warning when it could not be read).
    // Until then only Cancel works. A model that cannot start even a new document ends the
    // dialog cancelled.
    void LoadInBackground(FileStore& files, Prompter& prompter);

    QWidget* Widget(RestrictionsControl control) const { return widgets_[control]; }
    QTreeWidget* List(DelegateAccessMode list) const;

    void Refresh();

public slots:
    // OK: closes only when the model accepted (and wrote the file).
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildWidgets();
    void OnLoaded(RestrictionsSnapshot snapshot, Prompter& prompter);
    void FocusMode();
    void FillList(DelegateAccessMode list);
    void SizeColumns();

    DelegateRestrictionsModel& model_;
    ControlWidgets<RestrictionsControl, kRestrictionsControlCount> widgets_;
    // The rows each list shows, to rebuild a list only when the model's rows changed.
    std::array<std::vector<RestrictionsRow>, 2> shown_;
    std::thread loader_;
};

// Runs the dialog modally over parent on the restrictions file that locate finds and, after OK,
// calls RestrictionsChanged on the server's notification object. The "Access restrictions"
// buttons of the broadcast editors call this. True when closed with OK.
bool EditDelegateRestrictions(QWidget* parent, Prompter& prompter, FileStore& files,
                              const RestrictionsLocator& locate, AutomationFactory& automation);

// The same as an editor's sub-dialog; its value is the restrictions selector (1: the media
// server's file), located through environment.
SubDialog<int> DelegateRestrictionsSubDialog(QWidget* parent, Prompter& prompter, FileStore& files,
                                             InstallationEnvironment& environment,
                                             AutomationFactory& automation);

}  // namespace vantor
