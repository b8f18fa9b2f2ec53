#include "ui/main_frame_window.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QString>
#include <QThread>
#include <QTimer>

#include "config/config_store.h"
#include "editors/metadata_dialog.h"
#include "editors/qt_dialog_owner.h"
#include "monitor/delegate_restrictions_dialog.h"
#include "platform/desktop_services.h"
#include "platform/file_store.h"
#include "server/installation_paths.h"
#include "server/server_properties_dialog.h"
#include "server/set_password_dialog.h"
#include "ui/about_dialog.h"
#include "ui/activity_monitor_pane.h"
#include "ui/connect_model.h"
#include "ui/connection_watch.h"
#include "ui/contents_list_pane.h"
#include "ui/folder_picker_dialog.h"
#include "ui/help_pages.h"
#include "ui/qt_icons.h"
#include "ui/qt_server_watcher.h"
#include "ui/resource_tree_pane.h"

namespace vantor {

namespace {

constexpr int StateIconSize = 16;
// Room after the state pane's text, so that it never touches the size grip.
constexpr int StatePaneTextPadding = 4;
// How long WaitForSettledState lets events run before it looks at the event again.
constexpr int SettledWaitSliceMs = 20;
// The longest WaitForSettledState keeps the user waiting: past it the caller goes ahead, and a
// server that is still changing state answers (or fails) within its own call time-out.
constexpr qint64 SettledWaitLimitMs = 5000;
// How often a window for another machine asks whether its configuration file changed there.
constexpr int RemoteFileCheckMs = 1000;

QString FromModel(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainFrameWindow::MainFrameWindow(AppServices& services, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      model_(*this, services.serviceManager, services.clock) {
    // A folder that cannot be made shows up later, as a configuration that cannot be saved.
    EnsureCommonDataFolder(services_.installation);

    setWindowTitle(FromModel(FrameTitle));
    setWindowIcon(ProgramIcon());
    resize(FrameWidth, FrameHeight);
    BuildMenus();

    clientSplitter_ = new QSplitter(Qt::Horizontal, this);
    clientSplitter_->setObjectName(QStringLiteral("clientSplitter"));
    setCentralWidget(clientSplitter_);
    BuildStatusBar();

    watcher_ = std::make_unique<ServerWatcher>();
    pollTimer_ = new QTimer(this);
    connect(pollTimer_, &QTimer::timeout, this, &MainFrameWindow::PollStateInBackground);
    model_.OnCreate();
    // The first answer as soon as the server gives it, not a poll period later.
    PollStateInBackground();

    BuildPanes();
    tree_->SelectRoot();
    contents_->InsertColumns();
    activity_->InsertColumns();
    activity_->Refresh();
    model_.SetMessageText(OkText);
}

void MainFrameWindow::PollStateInBackground() {
    const std::uint64_t epoch = model_.PollEpoch();
    ServiceController* controller = &model_.Controller();
    watcher_->Submit<ServerState>(
        WatchLane::ServerState, this, [controller] { return controller->QueryServerState(); },
        [this, epoch](ServerState state) {
            model_.OnStatePolled(
                epoch, state, tree_ != nullptr ? std::u16string_view(tree_->StatusText()) : OkText);
        });
}

void MainFrameWindow::ConnectToServer() {
    // The recent hosts are the user's, kept with the desktop's other settings.
    QSettings settings(QStringLiteral("vantorconfig"), QStringLiteral("vantorconfig"));
    std::vector<std::string> recent;
    for (const QString& host : settings.value(QStringLiteral("recentHosts")).toStringList()) {
        recent.push_back(host.toStdString());
    }
    ConnectModel model(std::move(recent));
    const bool accepted =
        connectDialog_ ? connectDialog_(model) : RunConnectDialog(model, services_.prompter, this);
    if (!accepted) {
        return;
    }
    QStringList kept;
    for (const std::string& host : model.Recent()) {
        kept << QString::fromStdString(host);
    }
    settings.setValue(QStringLiteral("recentHosts"), kept);
    const std::string host = HostLabel(model.Host());
    if (!services_.desktop.OpenServerWindow(host)) {
        services_.prompter.ShowMessage(u"A window for " +
                                           QString::fromStdString(host).toStdU16String() +
                                           u" could not be opened.",
                                       std::u16string(FrameTitle));
    }
}

void MainFrameWindow::CheckRemoteFileInBackground() {
    FileStore* files = &services_.files;
    const std::string path = store_->ConfigPath();
    watcher_->Submit<std::optional<FileStamp>>(
        WatchLane::ConfigFile, this, [files, path] { return files->Stamp(path); },
        [this](std::optional<FileStamp> stamp) {
            // A file out of reach is not a file gone: nothing is followed until the link is back.
            if (ConnectionLost()) {
                return;
            }
            // Only a change is worth a look on this thread (which then reads the file).
            if (!store_->IsBaselineStamp(stamp)) {
                tree_->FollowFile();
            }
        });
}

bool MainFrameWindow::ConnectionLost() {
    if (connectionWatch_ == nullptr) {
        return false;
    }
    if (connectionWatch_->NoticeLoss()) {
        ShowConnectionState();
        if (connectionWatch_->OfferReconnect()) {
            ShowConnectionState();
        }
    }
    return connectionWatch_->IsLost();
}

void MainFrameWindow::ReconnectToServer() {
    if (connectionWatch_ != nullptr && connectionWatch_->Reconnect()) {
        ShowConnectionState();
    }
}

void MainFrameWindow::ShowConnectionState() {
    const bool lost = connectionWatch_->IsLost();
    if (QAction* reconnect = CommandAction(ReconnectCommand)) {
        reconnect->setEnabled(lost);
    }
    if (lost) {
        ShowStateIcon(ServerState::NotResponding);
        stateText_->setText(FromModel(connectionWatch_->LostText()));
        return;
    }
    stateText_->setText(serverStateText_);
    // The server's state and the file may both have moved while the link was down, and a
    // change made meanwhile never reached the file: the tree shows the file as it is.
    PollStateInBackground();
    tree_->FollowFile(true);
}

void MainFrameWindow::QueryMulticastStatusInBackground() {
    if (tree_ == nullptr) {
        return;
    }
    const std::optional<std::u16string> folder = tree_->Commands().MulticastStatusFolder();
    if (!folder) {
        return;
    }
    AutomationFactory* automation = &services_.automation;
    watcher_->Submit<std::optional<MulticastStatusResult>>(
        WatchLane::MulticastStatus, this,
        [automation, name = *folder] { return QueryFolderMulticastStatus(*automation, name); },
        [this, name = *folder](std::optional<MulticastStatusResult> status) {
            tree_->Commands().ApplyMulticastStatus(name, status);
        });
}

MainFrameWindow::~MainFrameWindow() {
    pollTimer_->stop();
    // Waits for the queries under way, which use the model's controller and the panes' data.
    watcher_.reset();
    // The panes hold references into the store and the model, which as members go before the
    // window's children would.
    delete takeCentralWidget();
}

void MainFrameWindow::BuildMenus() {
    for (const FrameMenuPopup& popup : FrameMenu) {
        QMenu* menu = menuBar()->addMenu(FromModel(popup.title));
        // While a menu is open the message pane shows the highlighted item's prompt.
        connect(menu, &QMenu::aboutToShow, this, [this] { model_.OnMenuItemHighlighted(0); });
        connect(menu, &QMenu::aboutToHide, this, [this] { model_.OnMenuClosed(); });
        for (const FrameMenuEntry& entry : popup.entries) {
            if (entry.command == 0) {
                menu->addSeparator();
                continue;
            }
            const int command = entry.command;
            QAction* action = menu->addAction(FromModel(entry.text));
            action->setData(command);
            connect(action, &QAction::hovered, this,
                    [this, command] { model_.OnMenuItemHighlighted(command); });
            connect(action, &QAction::triggered, this, [this, command] { OnCommand(command, 0); });
            actions_[command] = action;
            // Only a window for another machine has a link to make again.
            action->setVisible(command != ReconnectCommand);
        }
    }

    // The Delete key deletes the selected resource wherever the focus is in the window.
    auto* deleteKey = new QAction(this);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WindowShortcut);
    deleteKey->setData(DeleteResourceCommand);
    connect(deleteKey, &QAction::triggered, this, [this] { OnCommand(DeleteResourceCommand, 0); });
    addAction(deleteKey);
    actions_[DeleteResourceCommand] = deleteKey;
}

void MainFrameWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);

    messagePane_ = new QLabel(FromModel(model_.MessagePaneText()), bar);
    messagePane_->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(messagePane_, 1);

    statePane_ = new QWidget(bar);
    statePane_->setObjectName(QStringLiteral("statePane"));
    auto* layout = new QHBoxLayout(statePane_);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    stateIcon_ = new QLabel(statePane_);
    stateIcon_->setFixedSize(StateIconSize, StateIconSize);
    stateText_ = new QLabel(statePane_);
    stateText_->setObjectName(QStringLiteral("stateText"));
    layout->addWidget(stateIcon_);
    layout->addWidget(stateText_, 1);
    // 180 pixels held every state's text in the small system font of old; today's larger
    // fonts get the width the longest text needs.
    int widestText = 0;
    for (const char16_t* text :
         {ServerRunningText, ServerStoppedText, ServerChangingStateText, ServerNotRespondingText,
          ServerStoppingText, ServerStartingText, ServerStateUnknownText}) {
        widestText = std::max(
            widestText, stateText_->fontMetrics().horizontalAdvance(QString::fromUtf16(text)));
    }
    const QMargins margins = layout->contentsMargins();
    const int needed = margins.left() + StateIconSize + layout->spacing() + widestText +
                       margins.right() + StatePaneTextPadding;
    statePane_->setFixedWidth(std::max(StatePaneWidth, needed));
    // Which machine's server this window administers; shown only for another machine.
    hostPane_ = new QLabel(bar);
    hostPane_->setObjectName(QStringLiteral("hostPane"));
    hostPane_->hide();
    bar->addPermanentWidget(hostPane_);
    bar->addPermanentWidget(statePane_);
}

void MainFrameWindow::SetRemoteHost(const QString& label) {
    remoteHost_ = label;
    connectionWatch_ = std::make_unique<ConnectionWatch>(services_.connection, services_.prompter,
                                                         label.toStdU16String());
    if (QAction* reconnect = CommandAction(ReconnectCommand)) {
        reconnect->setVisible(true);
        reconnect->setEnabled(false);
    }
    // The folder editor picks among that machine's folders.
    tree_->SetFolderBrowser(MachineFolderBrowser(services_.directories, services_.prompter));
    if (remoteFileTimer_ == nullptr) {
        tree_->StopWatchingFolder();
        remoteFileTimer_ = new QTimer(this);
        connect(remoteFileTimer_, &QTimer::timeout, this,
                &MainFrameWindow::CheckRemoteFileInBackground);
        remoteFileTimer_->start(RemoteFileCheckMs);
    }
    // Room for the lost link's text, which names the host.
    const QMargins margins = statePane_->layout()->contentsMargins();
    const int needed =
        margins.left() + StateIconSize + statePane_->layout()->spacing() +
        stateText_->fontMetrics().horizontalAdvance(FromModel(connectionWatch_->LostText())) +
        margins.right() + StatePaneTextPadding;
    statePane_->setFixedWidth(std::max(statePane_->minimumWidth(), needed));
    setWindowTitle(FromModel(FrameTitle) + QStringLiteral(" - ") + label);
    hostPane_->setText(QStringLiteral("Server: ") + label);
    hostPane_->setAccessibleName(QStringLiteral("Server"));
    hostPane_->show();
}

void MainFrameWindow::BuildPanes() {
    store_ = std::make_unique<ConfigStore>(
        services_.defaultAuthMethod, services_.multicastTable, model_.State(), services_.files,
        services_.automation, services_.prompter, LocateConfigFile(services_.installation));

    // Right: the contents list above the activity monitor. Both splitters keep their first pane's
    // size when the window changes size, and give the rest to the second.
    rightSplitter_ = new QSplitter(Qt::Vertical);
    rightSplitter_->setObjectName(QStringLiteral("rightSplitter"));
    contents_ = new ContentsListPane(services_.mediaProbe, services_.directories, rightSplitter_);
    activity_ = new ActivityMonitorPane(model_.State(), services_.automation, services_.prompter,
                                        services_.clock, *watcher_, rightSplitter_);
    rightSplitter_->addWidget(contents_);
    rightSplitter_->addWidget(activity_);
    rightSplitter_->setStretchFactor(0, 0);
    rightSplitter_->setStretchFactor(1, 1);
    rightSplitter_->setSizes({ContentsPaneHeight, FrameHeight - ContentsPaneHeight});

    tree_ = new ResourceTreePane(*store_, model_.State(), services_, *contents_);
    tree_->LoadConfiguration();
    tree_->SetBroadcastSubDialogs(BroadcastEditorSubDialogs());
    connect(tree_, &ResourceTreePane::CommandRequested, this, &MainFrameWindow::OnCommand);
    connect(tree_, &ResourceTreePane::SelectionChanged, this,
            &MainFrameWindow::QueryMulticastStatusInBackground);
    connect(contents_, &ContentsListPane::FileOpenRequested, this, [this](const std::string& path) {
        if (!remoteHost_.isEmpty()) {
            // The player here cannot reach a file there; saying so beats opening nothing.
            services_.prompter.ShowMessage(
                (QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())) +
                 QStringLiteral(" is on ") + remoteHost_ +
                 QStringLiteral(": a file on another machine cannot be opened here."))
                    .toStdU16String(),
                std::u16string(FrameTitle));
            return;
        }
        services_.desktop.OpenFile(path);
    });
    // The activity monitor's refresh also keeps the multicast status line fresh.
    connect(activity_, &ActivityMonitorPane::RefreshTimerFired, this,
            &MainFrameWindow::QueryMulticastStatusInBackground);

    clientSplitter_->addWidget(tree_);
    clientSplitter_->addWidget(rightSplitter_);
    clientSplitter_->setStretchFactor(0, 0);
    clientSplitter_->setStretchFactor(1, 1);
    clientSplitter_->setSizes({TreePaneWidth, FrameWidth - TreePaneWidth});
}

BroadcastSubDialogs MainFrameWindow::BroadcastEditorSubDialogs() {
    BroadcastSubDialogs dialogs;
    dialogs.setPassword = SetPasswordSubDialog(services_.prompter, this);
    dialogs.metadata = MetadataSubDialog(this);
    // The broadcast editors edit the media server's own restrictions file.
    dialogs.accessRestrictions = [this] {
        int mediaServerFile = 1;
        RunSubDialog(
            DelegateRestrictionsSubDialog(DialogOwner(this), services_.prompter, services_.files,
                                          services_.installation, services_.automation),
            mediaServerFile);
    };
    return dialogs;
}

QAction* MainFrameWindow::CommandAction(int command) const {
    const auto found = actions_.find(command);
    return found != actions_.end() ? found->second : nullptr;
}

void MainFrameWindow::OnCommand(int command, int parameter) {
    emit CommandIssued(command, parameter);
    switch (command) {
        case StartStopServerCommand:
            model_.OnStartStop();
            break;
        case HelpContentsCommand:
            services_.help.ShowTopic(HelpIndexPage);
            break;
        case AboutCommand: {
            QWidget* active = QApplication::activeWindow();
            AboutDialog about(active != nullptr ? active : this);
            about.exec();
            break;
        }
        case ConnectToServerCommand:
            ConnectToServer();
            break;
        case ReconnectCommand:
            ReconnectToServer();
            break;
        case ServerPropertiesCommand:
            EditServerProperties();
            break;
        case NewOrEditFolderCommand:
        case NewOrEditLiveBroadcastCommand:
        case DeleteResourceCommand:
            if (tree_ != nullptr) {
                tree_->Commands().OnCommand(command, parameter);
            }
            break;
        default:
            // The server properties and the folder export come with their own
            // dialogs.
            break;
    }
}

void MainFrameWindow::RestoreFromAnotherCopy() {
    showNormal();
    raise();
    activateWindow();
}

bool MainFrameWindow::WaitForSettledState() {
    if (QThread::currentThread() != thread()) {
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    return model_.WaitForSettledState([&waited] {
        QEventLoop slice;
        QTimer::singleShot(SettledWaitSliceMs, &slice, &QEventLoop::quit);
        slice.exec();
        return !QCoreApplication::closingDown() && waited.elapsed() < SettledWaitLimitMs;
    });
}

void MainFrameWindow::EditServerProperties() {
    ServerPropertiesServices services{
        services_.automation,
        services_.prompter,
        services_.adapters,
        services_.logging,
        [this] { WaitForSettledState(); },
        [this] { services_.help.ShowTopic(AuthHelpPage); },
    };
    const ServerPropertiesChange change = vantor::EditServerProperties(
        store_->Server(), services_.defaultAuthMethod, [this] { store_->SaveConfiguration(); },
        services, this);
    if (change != ServerPropertiesChange::None && tree_ != nullptr) {
        // The default method shows through in the resources that inherit it.
        tree_->RelistSelection();
    }
}

bool MainFrameWindow::event(QEvent* event) {
    if (event->type() == ServerStateEvent::EventType) {
        model_.OnOperationCompleted(static_cast<ServerStateEvent*>(event)->State());
        return true;
    }
    return QMainWindow::event(event);
}

void MainFrameWindow::closeEvent(QCloseEvent* event) {
    // Nothing is saved here: every change was saved when it was made. A start or stop under way
    // is waited for, so that it is not cut off by the program's end.
    model_.OnClose();
    // The media worker must not outlive the window's run; a probe under way is told to stop.
    contents_->StopWorker();
    event->accept();
    emit Closed();
}

void MainFrameWindow::ShowStateIcon(ServerState state) {
    if (connectionWatch_ != nullptr && connectionWatch_->IsLost()) {
        state = ServerState::NotResponding;
    }
    stateIcon_->setPixmap(ServerStateIcon(state).pixmap(StateIconSize, StateIconSize));
}

void MainFrameWindow::ShowStateText(std::u16string_view text) {
    serverStateText_ = FromModel(text);
    // While the link is lost, that is the state to know.
    if (connectionWatch_ == nullptr || !connectionWatch_->IsLost()) {
        stateText_->setText(serverStateText_);
    }
}

void MainFrameWindow::ShowMessageText(std::u16string_view text) {
    messagePane_->setText(FromModel(text));
}

void MainFrameWindow::SetStartStopItem(std::u16string_view text, bool enabled) {
    if (QAction* item = CommandAction(StartStopServerCommand)) {
        item->setText(FromModel(text));
        item->setEnabled(enabled);
    }
}

void MainFrameWindow::StartTimer(int timerId, std::uint32_t periodMs) {
    if (timerId == StatePollTimerId) {
        pollTimer_->start(static_cast<int>(periodMs));
    }
}

void MainFrameWindow::StopTimer(int timerId) {
    if (timerId == StatePollTimerId) {
        pollTimer_->stop();
    }
}

void MainFrameWindow::PostCompletion(ServerState state) {
    // Called on the service worker thread; the event is handled on the window's.
    QCoreApplication::postEvent(this, new ServerStateEvent(state));
}

}  // namespace vantor
