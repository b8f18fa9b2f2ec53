#include "monitor/activity_monitor_model.h"

#include <gtest/gtest.h>

#include "monitor/activity_fakes.h"
#include "ui/ui_fakes.h"

using namespace vantor;
namespace {

// Answers the question after the given time has passed on the clock.
struct SlowPrompter : test::RecordingPrompter {
    explicit SlowPrompter(test::FakeClock& clock) : clock(clock) {}
    bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                  MessageIcon icon) override {
        clock.SleepMs(answerAfterMs);
        return RecordingPrompter::AskYesNo(text, caption, icon);
    }
    test::FakeClock& clock;
    std::uint32_t answerAfterMs = 0;
};

struct Monitor {
    Monitor() {
        server.users = std::vector<std::u16string>{test::UserRecord(u"Movies\\a.wmv", u"1", u"bob"),
                                                   test::UserRecord(u"news", u"2", u"ann"),
                                                   test::UserRecord(u"movies\\a.wmv", u"3", u"cy"),
                                                   test::UserRecord(u"Movies\\a.wmv", u"4", u"al")};
        server.usage = std::vector<std::u16string>{test::UsageRecord(u"b/", u"2", u"10"),
                                                   test::UsageRecord(u"a", u"10", u"1")};
    }
    // A whole refresh as the pane runs it, the fetch on this thread.
    void Refresh() {
        const std::uint64_t ticket = model.BeginRefresh();
        if (const auto fetch = model.FetchFor(ticket)) {
            model.ApplyFetched(ticket, FetchActivityPage(server, *fetch));
        }
    }
    std::vector<std::u16string> Column(ActivityPage page, std::size_t column) const {
        std::vector<std::u16string> cells;
        for (const ActivityRow& row : model.Rows(page)) {
            cells.push_back(row.cells[column]);
        }
        return cells;
    }

    ServerState state = ServerState::Running;
    test::FakeActivityServer server;
    test::FakeClock clock;
    SlowPrompter prompter{clock};
    ActivityMonitorModel model{state, prompter, clock};
};

// Runs a menu command's request as the pane does in the background, here on this thread.
std::vector<std::int32_t> RunRequest(test::FakeActivityServer& server,
                                     const std::optional<DisconnectRequest>& request) {
    server.disconnected.clear();
    if (request) {
        DisconnectMatchingUsers(server, request->match, nullptr);
    }
    return server.disconnected;
}

using Texts = std::vector<std::u16string>;

TEST(ActivityMonitorModel, FillsOnlyTheCurrentPageAndOnlyWhileTheServerRuns) {
    Monitor m;
    m.Refresh();
    EXPECT_EQ(m.Column(ActivityPage::ActiveUsers, 0), (Texts{u"bob", u"ann", u"cy", u"al"}));
    EXPECT_TRUE(m.model.Rows(ActivityPage::MediaUsage).empty());

    // Any other state empties the page and asks nothing.
    m.state = ServerState::Stopped;
    m.server.created = 0;
    m.Refresh();
    EXPECT_TRUE(m.model.Rows(ActivityPage::ActiveUsers).empty());
    EXPECT_EQ(m.server.created, 0);

    // No object, no data, or an empty list: an empty page.
    m.state = ServerState::Running;
    m.server.reachable = false;
    m.Refresh();
    EXPECT_TRUE(m.model.Rows(ActivityPage::ActiveUsers).empty());
    m.server.reachable = true;
    m.server.users.reset();
    m.Refresh();
    EXPECT_TRUE(m.model.Rows(ActivityPage::ActiveUsers).empty());

    ASSERT_TRUE(m.model.OnTabChanged(3));
    m.server.throughput = {1, 0, 0, 0, 0, 7};
    m.Refresh();
    EXPECT_EQ(m.Column(ActivityPage::Throughput, 2).back(), u"7");
    EXPECT_FALSE(m.model.OnTabChanged(4));
    EXPECT_EQ(m.model.CurrentPage(), ActivityPage::Throughput);
}

TEST(ActivityMonitorModel, AnswerOfAnOutdatedRefreshIsDropped) {
    Monitor m;
    const std::uint64_t first = m.model.BeginRefresh();
    const auto fetch = m.model.FetchFor(first);
    ASSERT_TRUE(fetch.has_value());
    // The user switches pages while the server is asked.
    m.model.OnTabChanged(2);
    const std::uint64_t second = m.model.BeginRefresh();
    EXPECT_FALSE(m.model.FetchFor(first).has_value());
    EXPECT_FALSE(m.model.ApplyFetched(first, FetchActivityPage(m.server, *fetch)));
    EXPECT_TRUE(m.model.Rows(ActivityPage::ActiveUsers).empty());
    EXPECT_TRUE(m.model.Rows(ActivityPage::MediaUsage).empty());
    EXPECT_TRUE(
        m.model.ApplyFetched(second, FetchActivityPage(m.server, *m.model.FetchFor(second))));
    EXPECT_EQ(m.Column(ActivityPage::MediaUsage, 0), (Texts{u"b", u"a"}));
}

TEST(ActivityMonitorModel, ColumnClicksSortTheSortablePagesOnce) {
    Monitor m;
    EXPECT_TRUE(m.model.OnColumnClicked(ActivityPage::ActiveUsers, 0));
    EXPECT_FALSE(m.model.OnColumnClicked(ActivityPage::ActiveUsers, 0));  // already sorted
    EXPECT_FALSE(m.model.OnColumnClicked(ActivityPage::LiveConnections, 1));
    EXPECT_FALSE(m.model.OnColumnClicked(ActivityPage::Throughput, 1));
    EXPECT_FALSE(m.model.OnColumnClicked(ActivityPage::ActiveUsers, 5));
    m.Refresh();
    EXPECT_EQ(m.Column(ActivityPage::ActiveUsers, 0), (Texts{u"al", u"ann", u"bob", u"cy"}));

    // Each page keeps its own column across tab changes.
    m.model.OnTabChanged(2);
    EXPECT_EQ(m.model.SortColumn(ActivityPage::MediaUsage), -1);
    EXPECT_TRUE(m.model.OnColumnClicked(ActivityPage::MediaUsage, 1));
    m.Refresh();
    EXPECT_EQ(m.Column(ActivityPage::MediaUsage, 1), (Texts{u"2", u"10"}));
    EXPECT_TRUE(m.model.OnTabChanged(0));
    EXPECT_EQ(m.model.CurrentPage(), ActivityPage::ActiveUsers);
    EXPECT_EQ(m.model.SortColumn(ActivityPage::ActiveUsers), 0);
}

TEST(ActivityMonitorModel, ActiveUserRowsOfferAMenuWhileRunningAndDisconnectWithoutAsking) {
    Monitor m;
    m.Refresh();
    EXPECT_TRUE(m.model.OffersContextMenu(ActivityPage::ActiveUsers, 3));
    EXPECT_FALSE(m.model.OffersContextMenu(ActivityPage::ActiveUsers, 4));
    EXPECT_FALSE(m.model.OffersContextMenu(ActivityPage::ActiveUsers, -1));
    EXPECT_FALSE(m.model.OffersContextMenu(ActivityPage::MediaUsage, 0));

    EXPECT_EQ(RunRequest(m.server, m.model.OnDisconnectUser(m.model.ActiveUserAt(1))),
              std::vector<std::int32_t>{2});
    EXPECT_EQ(RunRequest(m.server, m.model.OnDisconnectUser(m.model.ActiveUserAt(0))),
              std::vector<std::int32_t>{1});
    EXPECT_FALSE(m.model.OnDisconnectUser(std::nullopt).has_value());
    EXPECT_TRUE(m.prompter.shown.empty());
    m.state = ServerState::ChangingState;
    EXPECT_FALSE(m.model.OffersContextMenu(ActivityPage::ActiveUsers, 0));
}

TEST(ActivityMonitorModel, DisconnectingAUserHitsTheOneTheRowShowedOrNobody) {
    Monitor m;
    m.server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"5", u"alice")};
    m.Refresh();
    const std::optional<ActivityRow> alice = m.model.ActiveUserAt(0);  // the menu opens
    // A refresh meanwhile: alice left and carol came with her handle; alice came back with
    // another.
    m.server.users = std::vector<std::u16string>{test::UserRecord(u"news", u"5", u"carol"),
                                                 test::UserRecord(u"news", u"6", u"alice")};
    m.Refresh();
    EXPECT_EQ(RunRequest(m.server, m.model.OnDisconnectUser(alice)), std::vector<std::int32_t>{});
    // The same connection still there is disconnected, whatever its time says by now.
    m.server.users =
        std::vector<std::u16string>{test::UserRecord(u"news", u"6", u"alice"),
                                    test::UserRecord(u"news", u"5", u"alice", u"99", u"10.0.0.1")};
    EXPECT_EQ(RunRequest(m.server, m.model.OnDisconnectUser(alice)), std::vector<std::int32_t>{5});
    EXPECT_EQ(m.model.OnDisconnectUser(alice)->progressText, u"Disconnecting users of news...");
}

TEST(ActivityMonitorModel, DisconnectAllAsksAndActsOnlyOnATimelyYes) {
    struct Case {
        bool yes;
        std::uint32_t answerAfterMs;
        bool request;
    };
    // 120 s is still in time, 121 s is not.
    for (const Case& c : {Case{true, 0, true}, Case{true, 120999, true}, Case{true, 121000, false},
                          Case{false, 0, false}}) {
        Monitor m;
        m.Refresh();
        m.prompter.answers = {c.yes};
        m.prompter.answerAfterMs = c.answerAfterMs;
        const std::optional<DisconnectRequest> request =
            m.model.OnDisconnectAllUsers(m.model.ActiveUserAt(3));
        EXPECT_EQ(request.has_value(), c.request);
        // Exactly "Movies\a.wmv", case and all.
        EXPECT_EQ(RunRequest(m.server, request),
                  (c.request ? std::vector<std::int32_t>{1, 4} : std::vector<std::int32_t>{}));
        ASSERT_EQ(m.prompter.shown.size(), 1u);
        const auto& shown = m.prompter.shown[0];
        EXPECT_EQ(std::tuple(shown.text, shown.caption, shown.icon, shown.question),
                  std::tuple(u"Are you sure to kick all current users of Movies\\a.wmv?",
                             u"Confirmation", MessageIcon::Question, true));
    }
    Monitor none;
    EXPECT_FALSE(none.model.OnDisconnectAllUsers(std::nullopt).has_value());
    EXPECT_TRUE(none.prompter.shown.empty());
}

TEST(ActivityMonitorModel, DisconnectAllTakesTheUsersTheServerListsAtYes) {
    Monitor m;
    m.Refresh();
    const std::optional<ActivityRow> selected = m.model.ActiveUserAt(0);  // bob on Movies\a.wmv
    // A refresh begins while the question is open: the page is cleared meanwhile, and by the
    // answer someone else plays the file too.
    m.prompter.answers = {true};
    m.model.BeginRefresh();
    m.server.users->push_back(test::UserRecord(u"Movies\\a.wmv", u"9", u"dee"));
    EXPECT_EQ(RunRequest(m.server, m.model.OnDisconnectAllUsers(selected)),
              (std::vector<std::int32_t>{1, 4, 9}));
}

TEST(ActivityMonitorModel, AFinishedDisconnectTellsWhatFailedAndRefreshesWhenTheServerWasThere) {
    Monitor m;
    DisconnectOutcome outcome;
    EXPECT_FALSE(m.model.OnDisconnectFinished(outcome));  // no object: nothing to refresh
    EXPECT_TRUE(m.prompter.shown.empty());
    outcome.reached = outcome.listed = true;
    EXPECT_TRUE(m.model.OnDisconnectFinished(outcome));
    EXPECT_TRUE(m.prompter.shown.empty());
    outcome.failed.push_back({u"news", u"bob", u"10.0.0.2", u"MMS-HTTP", 1, 2});
    EXPECT_TRUE(m.model.OnDisconnectFinished(outcome));
    ASSERT_EQ(m.prompter.shown.size(), 1u);
    EXPECT_EQ(
        std::tuple(m.prompter.shown[0].text, m.prompter.shown[0].caption, m.prompter.shown[0].icon),
        std::tuple(u"These users could not be disconnected:\nbob at 10.0.0.2 on news", u"Warning",
                   MessageIcon::Warning));
}

}  // namespace
