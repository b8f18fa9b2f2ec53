#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "monitor/activity_pages.h"
#include "monitor/resource_disconnect.h"
#include "server/server_state.h"

namespace vantor {

class AutomationFactory;
class Clock;
class Prompter;

// The context menu of an Active Users row.
inline constexpr int ActivityContextMenuId = 225;
inline constexpr int DisconnectUserCommand = 32782;
inline constexpr int DisconnectAllUsersCommand = 32783;
inline constexpr char16_t DisconnectUserText[] = u"Disconnect this user";
// The text ends with a blank.
inline constexpr char16_t DisconnectAllUsersText[] = u"Disconnect all users of this resource ";
inline constexpr char16_t DisconnectAllQuestionStart[] =
    u"Are you sure to kick all current users of ";
inline constexpr char16_t DisconnectAllQuestionEnd[] = u"?";
inline constexpr char16_t DisconnectAllCaption[] = u"Confirmation";
// A Yes given later than this after the question came up does nothing: the list it was asked
// about is too old to act on.
inline constexpr std::int64_t DisconnectAllAnswerLimitSeconds = 120;

// A refresh waits this long after clearing its page before it asks the server.
inline constexpr int ActivityRefreshWaitMs = 100;

// What a refresh asks the server for once its wait is over.
struct ActivityFetch {
    ActivityPage page = ActivityPage::ActiveUsers;
    int sortColumn = -1;
};

// Asks the server for one page and makes its rows, sorted by sortColumn when that is not -1.
// No object, or no data: no rows. Touches nothing but the factory, so it runs on any thread.
std::vector<ActivityRow> FetchActivityPage(AutomationFactory& automation,
                                           const ActivityFetch& fetch);

// A disconnect chosen from the menu: the view runs DisconnectMatchingUsers with match off the
// user-interface thread (showing progress with the text), then hands the outcome to
// OnDisconnectFinished. The server's list is asked again at that point, so a refresh in between
// neither turns the disconnect onto someone else nor empties it.
struct DisconnectRequest {
    ActiveUserMatch match;
    std::u16string progressText;
};

// The activity monitor's rules without widgets: which page is shown, how the sortable pages are
// sorted, what each page holds, the context menu and the two disconnect commands. Only the
// current page is filled; the others stay empty until they are shown.
//
// A refresh is split so that the server is never asked on the user-interface thread: BeginRefresh
// clears the page and hands out a ticket; after ActivityRefreshWaitMs the view asks FetchFor
// whether anything is to be fetched, runs FetchActivityPage elsewhere, and gives the rows to
// ApplyFetched, which drops them when a later refresh has begun meanwhile.
class ActivityMonitorModel {
public:
    ActivityMonitorModel(const ServerState& serverState, Prompter& prompter, Clock& clock);

    ActivityPage CurrentPage() const { return currentPage_; }
    // -1: not sorted (and always for the two pages that do not sort).
    int SortColumn(ActivityPage page) const;
    const std::vector<ActivityRow>& Rows(ActivityPage page) const;

    std::uint64_t BeginRefresh();
    // Nothing when the ticket is outdated or the server does not run.
    std::optional<ActivityFetch> FetchFor(std::uint64_t ticket) const;
    // False, and nothing changed, for an outdated ticket.
    bool ApplyFetched(std::uint64_t ticket, std::vector<ActivityRow> rows);

    // Each returns true when the current page is to be refreshed.
    bool OnTabChanged(int index);
    bool OnColumnClicked(ActivityPage page, int column);
    // selected: the selected row of Active Users, if any, as it was when the menu opened (the
    // page may have been refilled since). Nothing when there is nothing to do. One user is the
    // one the row showed (handle, user, address and resource alike): gone, nobody is touched.
    // All users are those of the row's resource in the server's list after a timely Yes.
    std::optional<DisconnectRequest> OnDisconnectUser(const std::optional<ActivityRow>& selected);
    std::optional<DisconnectRequest> OnDisconnectAllUsers(
        const std::optional<ActivityRow>& selected);
    // Tells what could not be done, if anything; true when the page is to be refreshed (the
    // server's object was reached).
    bool OnDisconnectFinished(const DisconnectOutcome& outcome);

    // A copy of a row of Active Users; nothing for a row that is not there.
    std::optional<ActivityRow> ActiveUserAt(int row) const;

    // A right click on a row of a page offers the menu only on Active Users while the server
    // runs.
    bool OffersContextMenu(ActivityPage page, int row) const;

private:
    const ServerState& serverState_;
    Prompter& prompter_;
    Clock& clock_;
    ActivityPage currentPage_ = ActivityPage::ActiveUsers;
    int activeUsersSort_ = -1;
    int mediaUsageSort_ = -1;
    std::array<std::vector<ActivityRow>, ActivityPageCount> pages_;
    std::uint64_t ticket_ = 0;
};

}  // namespace vantor
