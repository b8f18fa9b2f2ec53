#pragma once

#include <array>
#include <functional>

#include <QDialog>

#include "editors/sub_dialog.h"
#include "server/server_properties_model.h"

class QComboBox;
class QShowEvent;
class QTableView;

namespace vantor {

class AutomationFactory;
class LoggingComponentProbe;
class NetworkAdapters;
class Prompter;
class UserListItemModel;

// The "Server properties" dialog: widgets bound to a ServerPropertiesModel, with the users list
// as a table. Every click and typed character goes to the model; after each, the controls'
// states come back from it. A refused OK shows the model's message and stays open.
class ServerPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // Opens the model, which fills the users list from the server. showHelp opens the page on
    // authentication methods. The model and the prompter must outlive the dialog.
    ServerPropertiesDialog(ServerPropertiesModel& model, Prompter& prompter,
                           std::function<void()> showHelp, QWidget* parent = nullptr);

    QWidget* Widget(ServerControl control) const;
    QComboBox* InterfaceCombo() const;
    QTableView* UsersView() const { return usersView_; }
    void Refresh();

public slots:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildWidgets();
    void BuildLayout();
    void Connect();
    // The users list after a command: rows, selection and the row to bring into view.
    void RefreshUsers();

    ServerPropertiesModel& model_;
    Prompter& prompter_;
    std::function<void()> showHelp_;
    std::array<QWidget*, ServerControlCount> widgets_{};
    QTableView* usersView_ = nullptr;
    UserListItemModel* usersModel_ = nullptr;
    bool refreshing_ = false;
};

// What the Properties command needs beyond the configuration.
struct ServerPropertiesServices {
    AutomationFactory& automation;
    Prompter& prompter;
    NetworkAdapters& adapters;
    LoggingComponentProbe& loggingProbe;
    std::function<void()> waitForSettledState;
    std::function<void()> showHelp;
};

// The Properties command: runs the dialog modally on a copy of the settings; on OK compares,
// warns, copies back and calls save. Users changed meanwhile stay changed either way.
ServerPropertiesChange EditServerProperties(ServerConfig& config, AuthMethod& defaultAuthMethod,
                                            const std::function<void()>& save,
                                            ServerPropertiesServices& services, QWidget* parent);

}  // namespace vantor
