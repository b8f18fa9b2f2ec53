#pragma once

#include <map>
#include <memory>

#include <QEvent>
#include <QMainWindow>

#include "editors/broadcast_settings.h"
#include "ui/app_services.h"
#include "ui/connect_dialog.h"
#include "ui/main_frame_model.h"

class QAction;
class QLabel;
class QSplitter;
class QTimer;

namespace vantor {

class ActivityMonitorPane;
class ConfigStore;
class ConnectionWatch;
class ContentsListPane;
class LoggingComponentProbe;
class NetworkAdapters;
class ResourceTreePane;
class ServerWatcher;

// Posted by the service worker when a start or stop has ended.
class ServerStateEvent : public QEvent {
public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(OperationCompletedEventId);

    explicit ServerStateEvent(ServerState state) : QEvent(EventType), state_(state) {}
    ServerState State() const { return state_; }

private:
    ServerState state_;
};

// The program's one window: the menu, the resource tree on the left, the contents list above the
// activity monitor on the right, and a status bar with a message pane and the server's state.
// Owns the configuration store, the frame model (with the service controller and the
// settled-state event) and the panes.
class MainFrameWindow : public QMainWindow, private MainFrameDisplay {
    Q_OBJECT
public:
    explicit MainFrameWindow(AppServices& services, QWidget* parent = nullptr);
    ~MainFrameWindow() override;

    // Every menu item, the Delete key and the tree's context menu end up here.
    void OnCommand(int command, int parameter);
    // Another copy of the program asked this one to come forward: back to normal size, on top.
    void RestoreFromAnotherCopy();
    // Resets the settled-state event and keeps the window responsive until the next poll shows
    // a settled state. False when it returned without (nothing would ever settle it).
    bool WaitForSettledState();
    // What the server properties reach of the machine; until set, no adapter is listed and every
    // custom logging component fails its test. Both must outlive the window.
    // The Properties command (215): the server properties dialog over the configuration.
    void EditServerProperties();
    // The window administers the server of another machine: its name goes into the title and
    // the status bar, and what has no sense there (opening a media file here) says so.
    void SetRemoteHost(const QString& label);
    // The Connect to server command: asks for a host, remembers it among the recent ones and
    // opens a window for it. Tests pass a runner that answers the dialog.
    void ConnectToServer();
    void SetConnectDialog(ConnectDialogRunner runner) { connectDialog_ = std::move(runner); }
    QLabel* HostPane() const { return hostPane_; }

    MainFrameModel& Model() { return model_; }
    ConfigStore& Store() { return *store_; }
    ResourceTreePane& TreePane() const { return *tree_; }
    ContentsListPane& ContentsPane() const { return *contents_; }
    ActivityMonitorPane& ActivityPane() const { return *activity_; }
    QSplitter* ClientSplitter() const { return clientSplitter_; }
    QSplitter* RightSplitter() const { return rightSplitter_; }
    // The action that sends the command (menu items and the Delete key); nullptr for none.
    QAction* CommandAction(int command) const;
    QLabel* MessagePane() const { return messagePane_; }
    QWidget* StatePane() const { return statePane_; }
    QLabel* StateText() const { return stateText_; }
    QTimer* PollTimer() const { return pollTimer_; }
    ServerWatcher& Watcher() const { return *watcher_; }

signals:
    // Emitted for every command, before it is carried out.
    void CommandIssued(int command, int parameter);
    // The window was closed: the program's run is over.
    void Closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void BuildPanes();
    // The periodic queries, asked off this thread; their answers come back as events.
    void PollStateInBackground();
    void CheckRemoteFileInBackground();
    void QueryMulticastStatusInBackground();
    // A window for another machine: after each of its calls there, whether the link was lost
    // (true while it is).
    bool ConnectionLost();
    void ReconnectToServer();
    void ShowConnectionState();
    // The password, metadata and restrictions dialogs of the live broadcast editors.
    BroadcastSubDialogs BroadcastEditorSubDialogs();

    // MainFrameDisplay
    void ShowStateIcon(ServerState state) override;
    void ShowStateText(std::u16string_view text) override;
    void ShowMessageText(std::u16string_view text) override;
    void SetStartStopItem(std::u16string_view text, bool enabled) override;
    void StartTimer(int timerId, std::uint32_t periodMs) override;
    void StopTimer(int timerId) override;
    void PostCompletion(ServerState state) override;

    AppServices& services_;
    MainFrameModel model_;
    std::unique_ptr<ConfigStore> store_;
    std::map<int, QAction*> actions_;
    QTimer* pollTimer_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QWidget* statePane_ = nullptr;
    QLabel* stateIcon_ = nullptr;
    QLabel* stateText_ = nullptr;
    QLabel* hostPane_ = nullptr;
    QString remoteHost_;
    // Another machine's folder cannot be watched from here: its file's stamp is asked for in
    // the background instead.
    QTimer* remoteFileTimer_ = nullptr;
    std::unique_ptr<ConnectionWatch> connectionWatch_;
    // The server's state as the model last told it, shown again once a lost link is back.
    QString serverStateText_;
    ConnectDialogRunner connectDialog_;
    QSplitter* clientSplitter_ = nullptr;
    QSplitter* rightSplitter_ = nullptr;
    ContentsListPane* contents_ = nullptr;
    ActivityMonitorPane* activity_ = nullptr;
    ResourceTreePane* tree_ = nullptr;
    // Its lanes reach the model's service controller: it goes first (see the destructor).
    std::unique_ptr<ServerWatcher> watcher_;
};

}  // namespace vantor
