#include "server/user_list.h"

#include <algorithm>
#include <numeric>

namespace vantor {
std::int32_t UserGroupNumber(std::u16string_view groupText) {
    if (groupText == MediumGroupText) {
        return MediumGroup;
    }
    if (groupText == AdvancedGroupText) {
        return AdvancedGroup;
    }
    return BasicGroup;
}

std::int32_t CheckedUserGroup(bool mediumChecked, bool advancedChecked) {
    return mediumChecked ? MediumGroup : advancedChecked ? AdvancedGroup : BasicGroup;
}

UserRow ParseUserRecord(std::u16string_view record) {
    UserRow row;
    const std::size_t nameEnd = record.find(u' ');
    row.name = record.substr(0, nameEnd);
    if (nameEnd == std::u16string_view::npos) {
        return row;
    }
    const std::u16string_view rest = record.substr(nameEnd + 1);
    const std::size_t groupEnd = rest.find(u' ');
    if (groupEnd == std::u16string_view::npos) {
        row.information = rest;
        return row;
    }
    row.group = rest.substr(0, groupEnd);
    row.information = rest.substr(groupEnd + 1);
    return row;
}

const std::u16string& ColumnText(const UserRow& row, UserColumn column) {
    switch (column) {
        case UserColumn::Group:
            return row.group;
        case UserColumn::Information:
            return row.information;
        case UserColumn::Name:
            break;
    }
    return row.name;
}

void UserList::Clear() {
    rows_.clear();
    selected_.reset();
    rowToShow_.reset();
}

void UserList::Append(const std::vector<std::u16string>& records) {
    rows_.reserve(rows_.size() + records.size());
    for (const std::u16string& record : records) {
        rows_.push_back(ParseUserRecord(record));
    }
}

void UserList::SortBy(UserColumn column, const NameCollator& collator) {
    // A collation key once per row rather than a collation per comparison: the list may hold
    // thousands.
    std::vector<std::string> keys(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        collator.AppendSortKey(ColumnText(rows_[row], column), keys[row]);
    }
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });

    std::vector<UserRow> sorted;
    sorted.reserve(rows_.size());
    std::optional<std::size_t> selected;
    for (std::size_t at = 0; at < order.size(); ++at) {
        if (selected_ == order[at]) {
            selected = at;
        }
        sorted.push_back(std::move(rows_[order[at]]));
    }
    rows_ = std::move(sorted);
    selected_ = selected;
    rowToShow_.reset();
}

void UserList::Select(std::optional<std::size_t> row) {
    selected_ = row && *row < rows_.size() ? row : std::nullopt;
}

std::optional<std::size_t> UserList::TakeRowToShow() {
    std::optional<std::size_t> row = rowToShow_;
    rowToShow_.reset();
    return row;
}

}  // namespace vantor
