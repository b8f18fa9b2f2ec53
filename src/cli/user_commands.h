#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace vantor {

class AutomationFactory;
class CommandTable;

inline constexpr char NoSuchUserText[] = "vantorctl: there is no user named ";

enum class UserAction { List, Add, Update, Passwd, Remove };

struct UserOptions {
    UserAction action = UserAction::List;
    bool json = false;                 // list
    std::optional<int> sortColumn;     // list: a click on that column's header, from 0
    std::string name;                  // add, update, passwd, remove
    std::optional<std::string> group;  // add, update: basic, medium or advanced
    std::optional<std::string> info;   // add, update
};

// `vantorctl user`: the users list of the server properties and its three commands, through the
// server's users object. add and passwd read the password and its confirmation as two lines of
// in. The dialogs' checks refuse with their messages; the server's refusals print its own text.
// update and passwd play the "Update user" dialog ("Change settings" and "Change password"),
// opened on the row of that name (the exact name first, else one differing in letter case).
// ExitFailure when any message was shown: a refusal, the users object that cannot be reached,
// the list that cannot be loaded, or a name that is not in the list.
int RunUser(const UserOptions& options, AutomationFactory& automation, std::istream& in,
            std::ostream& out, std::ostream& err);

// Adds `user list|add|update|passwd|remove`.
void AddUserCommands(CommandTable& table);

}  // namespace vantor
