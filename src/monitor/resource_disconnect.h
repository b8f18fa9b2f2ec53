#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/activity_record.h"

namespace vantor {

class AutomationFactory;
class Clock;

// Which users of the server's list a disconnect takes.
using ActiveUserMatch = std::function<bool(const ActiveUserRecord&)>;

// The user a row of Active Users showed: the handle alone may have passed to someone else since,
// so user, address and resource must be the same too.
ActiveUserMatch SameActiveUser(const ActiveUserRecord& shown);
// Every user whose Resource is exactly this text ("Disconnect all users of this resource").
ActiveUserMatch UsersOfResourceText(std::u16string resource);
// The users of a resource that is being disabled or deleted. A virtual folder's users play its
// files, listed as "name\file" with the folder name in lower case, so they match on the lower-cased
// "name\" prefix, case-sensitively; a live broadcast's users match on its name, case folded. Both
// take every letter's case, not only ASCII's.
ActiveUserMatch UsersOfResource(const std::u16string& name, bool isFolder);

// Lower case of every letter (the folder prefix), and full case folding (names compared
// regardless of case), by the Unicode rules without a locale's special cases.
std::u16string LowerCased(std::u16string_view text);
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// Disconnects on a hung server stop being started once this much time has gone; each call waits
// its own bounded time at most, so the whole run ends within this plus one call.
inline constexpr std::uint64_t DisconnectTimeBudgetMs = 10000;

// What a run of disconnects did.
struct DisconnectOutcome {
    bool reached = false;  // the object was created
    bool listed = false;   // the server answered with its list of users (possibly empty)
    std::vector<ActiveUserRecord> disconnected;
    std::vector<ActiveUserRecord> failed;    // the call failed or was not answered
    std::vector<ActiveUserRecord> notTried;  // time ran out, or the run was stopped, first
    bool stopped = false;                    // the progress callback stopped the run
};

// Called before each disconnect with how many are done and how many there are; false stops the
// run (what is left counts as not tried).
using DisconnectProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Asks the server for its users now and disconnects those that match, in the server's order.
// Touches nothing but the factory and the clock, so it runs on any thread. Without a clock there
// is no time budget (each call is still bounded).
DisconnectOutcome DisconnectMatchingUsers(AutomationFactory& factory, const ActiveUserMatch& match,
                                          Clock* clock, const DisconnectProgress& progress = {});

inline constexpr std::u16string_view DisconnectReportCaption = u"Warning";
inline constexpr std::u16string_view UsersNotListedText =
    u"The media server did not answer when asked for its users; nobody was disconnected.";
inline constexpr std::u16string_view UsersNotDisconnectedText =
    u"These users could not be disconnected:";
// After the list when some were not even tried.
inline constexpr std::u16string_view DisconnectTimeRanOutText =
    u"The media server answered too slowly; the rest were not tried.";
inline constexpr std::u16string_view DisconnectStoppedText =
    u"Disconnecting was stopped; the rest were not tried.";
// The progress of a run, followed by the resource's name and "...".
inline constexpr std::u16string_view DisconnectingUsersText = u"Disconnecting users of ";
std::u16string DisconnectProgressText(std::u16string_view resource);

// The message that tells what could not be done; empty when there is nothing to tell (all done,
// nobody matched, or the server's object cannot be reached, which is the server not running).
// Each user is a line "user at address on resource".
std::u16string DisconnectOutcomeMessage(const DisconnectOutcome& outcome);

// The users of a resource that is being disabled or deleted, on this thread (vantorctl).
DisconnectOutcome DisconnectResourceUsers(AutomationFactory& factory, const std::u16string& name,
                                          bool isFolder);

}  // namespace vantor
