#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class CatalogueItem;

// What a row of the contents list stands for. The numbers are the row data of the folder view
// and of the selected live broadcast; a row for a child of the root or of a branch carries its
// tree item instead.
enum class ContentsRowKind : std::uint32_t {
    TreeItem = 0,
    File = 1,
    Subfolder = 2,
    Up = 3,
    SelectedLiveBroadcast = 4,
};

enum class ContentsColumn : std::size_t {
    Name = 0,
    Path = 1,
    Accessibility = 2,
    Description = 3,
};
inline constexpr std::size_t ContentsColumnCount = 4;
inline constexpr std::array<std::u16string_view, ContentsColumnCount> ContentsColumnTitles = {
    u"Name", u"Path", u"Accessibility", u"Description"};

struct ContentsRow {
    ContentsRowKind kind = ContentsRowKind::TreeItem;
    CatalogueItem* item = nullptr;  // only for TreeItem rows
    std::uint32_t imageIndex = 0;
    std::array<std::u16string, ContentsColumnCount> texts;

    const std::u16string& Text(ContentsColumn column) const {
        return texts[static_cast<std::size_t>(column)];
    }
    std::u16string& Text(ContentsColumn column) { return texts[static_cast<std::size_t>(column)]; }
};

// Told about every change of the rows, so a view (a Qt item model) can follow the list. Each
// Before* call is followed by the matching After* call once the change is made.
class ContentsListObserver {
public:
    virtual ~ContentsListObserver() = default;
    virtual void BeforeReset() = 0;
    virtual void AfterReset() = 0;
    virtual void BeforeInsert(std::size_t first, std::size_t count) = 0;
    virtual void AfterInsert() = 0;
    virtual void TextChanged(std::size_t row, ContentsColumn column) = 0;
};

// The rows of the list beside the resource tree. Touched on the user-interface thread only; a
// background result names the listing it was computed for (Listing()), and a result for an
// older listing is dropped.
class ContentsList {
public:
    std::size_t RowCount() const { return rows_.size(); }
    const ContentsRow& Row(std::size_t row) const { return rows_[row]; }
    const std::vector<ContentsRow>& Rows() const { return rows_; }
    // Counts the listings: every Clear or Replace starts a new one.
    std::uint64_t Listing() const { return listing_; }

    void Clear();
    // All rows at once, announced as one reset so that a long listing fills quickly.
    void Replace(std::vector<ContentsRow> rows);
    void Append(ContentsRow row);
    // Writes one cell of the current listing; false (nothing written) for a row that is not
    // there or a listing that has been replaced since.
    bool SetText(std::uint64_t listing, std::size_t row, ContentsColumn column,
                 std::u16string text);

    void SetObserver(ContentsListObserver* observer) { observer_ = observer; }

private:
    std::vector<ContentsRow> rows_;
    std::uint64_t listing_ = 0;
    ContentsListObserver* observer_ = nullptr;
};

}  // namespace vantor
