#pragma once

#include <string>

#include "config/resource_record.h"

namespace vantor {

class Catalogue;
class CatalogueItem;

// Where an item of the tree is, by what it shows rather than by the item itself, so that the
// place can be found again after the catalogue was read anew from the file.
struct TreePosition {
    ResourceKind kind = ResourceKind::ServerRoot;
    std::u16string name;  // a resource's; empty for the fixed items

    bool operator==(const TreePosition&) const = default;
};

TreePosition PositionOf(const CatalogueItem& item);
// The item at that place: the resource of exactly that name, else (it is gone) its branch.
CatalogueItem& ItemAt(Catalogue& catalogue, const TreePosition& position);

}  // namespace vantor
