#include "ui/contents_list.h"

#include <utility>

namespace vantor {

void ContentsList::Clear() {
    Replace({});
}

void ContentsList::Replace(std::vector<ContentsRow> rows) {
    if (observer_ != nullptr) {
        observer_->BeforeReset();
    }
    // Swap first so the old rows are freed after the view has let go of them.
    rows_.swap(rows);
    ++listing_;
    if (observer_ != nullptr) {
        observer_->AfterReset();
    }
}

void ContentsList::Append(ContentsRow row) {
    if (observer_ != nullptr) {
        observer_->BeforeInsert(rows_.size(), 1);
    }
    rows_.push_back(std::move(row));
    if (observer_ != nullptr) {
        observer_->AfterInsert();
    }
}

bool ContentsList::SetText(std::uint64_t listing, std::size_t row, ContentsColumn column,
                           std::u16string text) {
    if (listing != listing_ || row >= rows_.size() ||
        static_cast<std::size_t>(column) >= ContentsColumnCount) {
        return false;
    }
    rows_[row].Text(column) = std::move(text);
    if (observer_ != nullptr) {
        observer_->TextChanged(row, column);
    }
    return true;
}

}  // namespace vantor
