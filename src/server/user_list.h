#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/name_collator.h"

namespace vantor {

// User groups as the server numbers them, and the names it gives them in its records.
inline constexpr std::u16string_view BasicGroupText = u"Basic";
inline constexpr std::u16string_view MediumGroupText = u"Medium";
inline constexpr std::u16string_view AdvancedGroupText = u"Advanced";
inline constexpr std::int32_t BasicGroup = 1;
inline constexpr std::int32_t MediumGroup = 2;
inline constexpr std::int32_t AdvancedGroup = 3;

// 2 for exactly "Medium", 3 for exactly "Advanced", 1 for anything else (other letter cases too).
std::int32_t UserGroupNumber(std::u16string_view groupText);
// The group of the dialogs' three radios: 2 when "Medium" is checked, 3 when "Advanced" is,
// otherwise 1.
std::int32_t CheckedUserGroup(bool mediumChecked, bool advancedChecked);

// One user as the list shows it.
struct UserRow {
    std::u16string name;
    std::u16string group;
    std::u16string information;

    bool operator==(const UserRow&) const = default;
};

// Splits a record of the server's GetUsers: the name up to the first space, the group up to the
// next, the rest (spaces and all) is the information. Without a second space the rest is the
// information and the group is empty; without any space the whole record is the name.
UserRow ParseUserRecord(std::u16string_view record);

enum class UserColumn { Name, Group, Information };
inline constexpr std::size_t UserColumnCount = 3;
inline constexpr std::array<std::u16string_view, UserColumnCount> UserColumnTitles = {
    u"Username", u"Group", u"Information"};
// Shares of the list's width, in quarters.
inline constexpr std::array<int, UserColumnCount> UserColumnQuarters = {1, 1, 2};

const std::u16string& ColumnText(const UserRow& row, UserColumn column);

// The users list of the server properties: rows in the server's order until a column is sorted,
// the selected row, and the row to scroll into view after a command.
class UserList {
public:
    const std::vector<UserRow>& Rows() const { return rows_; }
    std::size_t Size() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }

    // Empties the list; nothing is selected.
    void Clear();
    // Appends one row per record, in the given order.
    void Append(const std::vector<std::u16string>& records);

    // Ascending by the column's text in the collator's order (letter case ignored, by default
    // the user's collation locale); rows that compare equal keep their order. The selected row
    // stays selected where it moves to.
    void SortBy(UserColumn column, const NameCollator& collator = NameCollator());

    const std::optional<std::size_t>& Selected() const { return selected_; }
    // A row index past the end selects nothing.
    void Select(std::optional<std::size_t> row);

    // The row a command wants brought into view; taken once by the view.
    std::optional<std::size_t> TakeRowToShow();
    void ShowRow(std::size_t row) { rowToShow_ = row; }

private:
    std::vector<UserRow> rows_;
    std::optional<std::size_t> selected_;
    std::optional<std::size_t> rowToShow_;
};

}  // namespace vantor
