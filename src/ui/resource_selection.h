#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "config/resource_record.h"
#include "ui/contents_list.h"
#include "ui/context_menu.h"

namespace vantor {

class CatalogueItem;

// The tree pane's status line after a new selection, until a multicast status replaces it.
inline constexpr std::u16string_view SelectionStatusText = u"OK";

// The row that lists a resource or fixed item: bare name (without " (disabled)"), source text,
// accessibility, description and the record's picture.
ContentsRow RecordRow(const ResourceRecord& record, AuthMethod defaultAuthMethod);

// The rows that list a selected tree item: one per child, in tree order, for the root and the
// branches; the record alone, as the selected live broadcast, for a live broadcast. A virtual
// folder lists its folder on disk instead, which is not done here, so it gets no rows.
std::vector<ContentsRow> SelectionRows(CatalogueItem& selected, AuthMethod defaultAuthMethod);

// Refills the list for the tree's new selection (nothing selected: empty).
void ShowSelection(CatalogueItem* selected, AuthMethod defaultAuthMethod, ContentsList& list);

// What a double click on a row of the list asks for.
struct RowActivation {
    enum class Action {
        None,        // not a row this list handles (for instance a row of a folder listing)
        SelectItem,  // select item in the tree, which lists it in turn
        Command,     // send command with parameter to the frame (the selected live
                     // broadcast's row: edit it)
    };
    Action action = Action::None;
    CatalogueItem* item = nullptr;
    int command = 0;
    int parameter = 0;
};
RowActivation ActivateRow(const ContentsList& list, std::size_t row);

}  // namespace vantor
