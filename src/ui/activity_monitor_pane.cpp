#include "ui/activity_monitor_pane.h"

#include <utility>
#include <vector>

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

#include "monitor/activity_page_item_model.h"
#include "monitor/disconnect_progress_dialog.h"
#include "ui/qt_server_watcher.h"
#include "ui/qt_view_style.h"

namespace vantor {

namespace {

QString FromModel(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr std::size_t Index(ActivityPage page) {
    return static_cast<std::size_t>(page);
}

}  // namespace

ActivityMonitorPane::ActivityMonitorPane(const ServerState& serverState,
                                         AutomationFactory& automation, Prompter& prompter,
                                         Clock& clock, ServerWatcher& watcher, QWidget* parent)
    : QTabWidget(parent),
      serverState_(serverState),
      automation_(automation),
      watcher_(watcher),
      model_(serverState, prompter, clock) {
    setObjectName(QStringLiteral("activityMonitor"));
    for (int i = 0; i < ActivityPageCount; ++i) {
        const auto page = static_cast<ActivityPage>(i);
        auto* view = new QTreeView(this);
        auto* itemModel = new ActivityPageItemModel(model_, page, view);
        view->setModel(itemModel);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);  // thousands of rows lay out at once
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setAllColumnsShowFocus(true);
        view->header()->setStretchLastSection(false);
        view->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        KeepSelectionVisibleWhenInactive(*view);
        if (IsSortablePage(page)) {
            view->header()->setSectionsClickable(true);
            connect(view->header(), &QHeaderView::sectionClicked, this, [this, page](int column) {
                const bool sortChanged = model_.OnColumnClicked(page, column);
                // The header flips its arrow on a click; the order is always ascending.
                ShowSortIndicator(page);
                RefreshIf(sortChanged);
            });
        }
        views_[Index(page)] = view;
        itemModels_[Index(page)] = itemModel;
        // A screen reader names each page's list after its tab.
        view->setAccessibleName(FromModel(ActivityTabText(page)));
        addTab(view, FromModel(ActivityTabText(page)));
    }

    QTreeView* users = views_[Index(ActivityPage::ActiveUsers)];
    users->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(users, &QWidget::customContextMenuRequested, this, [this, users](const QPoint& pos) {
        std::unique_ptr<QMenu> menu(ContextMenuAt(pos));
        if (menu != nullptr) {
            menu->exec(users->viewport()->mapToGlobal(pos));
        }
    });
    connect(this, &QTabWidget::currentChanged, this,
            [this](int index) { RefreshIf(model_.OnTabChanged(index)); });

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QStringLiteral("activityRefreshTimer"));
    refreshTimer_->setInterval(ActivityRefreshPeriodMs);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        Refresh();
        emit RefreshTimerFired();
    });
    refreshTimer_->start();
}

ActivityMonitorPane::~ActivityMonitorPane() {
    // The views read model_, which is gone by the time the base class deletes its children; and
    // a tab removed on the way must not start a refresh.
    disconnect(this, &QTabWidget::currentChanged, this, nullptr);
    for (QTreeView* view : views_) {
        delete view;
    }
}

QTreeView* ActivityMonitorPane::PageView(ActivityPage page) const {
    return views_[Index(page)];
}

void ActivityMonitorPane::InsertColumns() {
    columnsPending_ = !isVisible();
    SizeColumns();
}

void ActivityMonitorPane::showEvent(QShowEvent* event) {
    QTabWidget::showEvent(event);
    if (columnsPending_) {
        columnsPending_ = false;
        SizeColumns();
    }
}

void ActivityMonitorPane::SizeColumns() {
    const int clientWidth = width();
    for (int i = 0; i < ActivityPageCount; ++i) {
        const auto page = static_cast<ActivityPage>(i);
        const auto columns = ActivityColumns(page);
        for (std::size_t column = 0; column < columns.size(); ++column) {
            views_[Index(page)]->header()->resizeSection(
                static_cast<int>(column), ActivityColumnWidth(clientWidth, columns[column]));
        }
    }
}

void ActivityMonitorPane::ShowSortIndicator(ActivityPage page) {
    QHeaderView* header = views_[Index(page)]->header();
    const int sortColumn = model_.SortColumn(page);
    header->setSortIndicatorShown(sortColumn >= 0);
    if (sortColumn >= 0) {
        header->setSortIndicator(sortColumn, Qt::AscendingOrder);
    }
}

void ActivityMonitorPane::RefreshIf(bool needed) {
    if (needed) {
        Refresh();
    }
}

void ActivityMonitorPane::Refresh() {
    const std::uint64_t ticket = model_.BeginRefresh();
    latestTicket_ = ticket;
    const ActivityPage page = model_.CurrentPage();
    itemModels_[Index(page)]->Reset();
    // The wait before asking is a timer: the window goes on meanwhile.
    QTimer::singleShot(ActivityRefreshWaitMs, this, [this, ticket] { Fetch(ticket); });
}

void ActivityMonitorPane::Fetch(std::uint64_t ticket) {
    const std::optional<ActivityFetch> fetch = model_.FetchFor(ticket);
    if (!fetch) {
        if (ticket == latestTicket_) {
            settledTicket_ = ticket;
            emit PageRefreshed(model_.CurrentPage());
        }
        return;
    }
    AutomationFactory* automation = &automation_;
    watcher_.Submit<std::vector<ActivityRow>>(
        WatchLane::Activity, this,
        [automation, request = *fetch] { return FetchActivityPage(*automation, request); },
        [this, ticket, page = fetch->page](std::vector<ActivityRow> rows) {
            if (model_.ApplyFetched(ticket, std::move(rows))) {
                itemModels_[Index(page)]->Reset();
            }
            if (ticket == latestTicket_) {
                settledTicket_ = ticket;
                emit PageRefreshed(page);
            }
        });
}

QMenu* ActivityMonitorPane::ContextMenuAt(const QPoint& position) {
    QTreeView* view = views_[Index(ActivityPage::ActiveUsers)];
    const QModelIndex index = view->indexAt(position);
    if (!index.isValid() || !model_.OffersContextMenu(ActivityPage::ActiveUsers, index.row())) {
        return nullptr;
    }
    view->setCurrentIndex(index);
    // The row as it is now: a refresh may refill the page while the menu is open.
    const std::optional<ActivityRow> selected = model_.ActiveUserAt(index.row());
    auto* menu = new QMenu(this);
    QAction* one = menu->addAction(FromModel(DisconnectUserText));
    one->setData(DisconnectUserCommand);
    connect(one, &QAction::triggered, this,
            [this, selected] { RunDisconnect(model_.OnDisconnectUser(selected)); });
    QAction* all = menu->addAction(FromModel(DisconnectAllUsersText));
    all->setData(DisconnectAllUsersCommand);
    connect(all, &QAction::triggered, this,
            [this, selected] { RunDisconnect(model_.OnDisconnectAllUsers(selected)); });
    return menu;
}

void ActivityMonitorPane::RunDisconnect(std::optional<DisconnectRequest> request) {
    if (!request) {
        return;
    }
    ++disconnectsRunning_;
    DisconnectProgressDialog::Start(automation_, *this, std::move(request->match),
                                    request->progressText,
                                    [this](const DisconnectOutcome& outcome) {
                                        --disconnectsRunning_;
                                        RefreshIf(model_.OnDisconnectFinished(outcome));
                                        emit DisconnectFinished();
                                    });
}

}  // namespace vantor
