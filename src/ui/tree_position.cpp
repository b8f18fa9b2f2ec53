#include "ui/tree_position.h"

#include "config/catalogue.h"
#include "config/resource_texts.h"

namespace vantor {

TreePosition PositionOf(const CatalogueItem& item) {
    const ResourceRecord& record = item.Record();
    if (IsFixedKind(record.kind)) {
        return {record.kind, {}};
    }
    return {record.kind, record.name};
}

CatalogueItem& ItemAt(Catalogue& catalogue, const TreePosition& position) {
    switch (position.kind) {
        case ResourceKind::FileResourcesBranch:
            return catalogue.FileResources();
        case ResourceKind::LiveBroadcastsBranch:
            return catalogue.LiveBroadcasts();
        case ResourceKind::VirtualFolder:
        case ResourceKind::LiveBroadcast:
            break;
        default:
            return catalogue.Root();
    }
    CatalogueItem& branch = *catalogue.BranchFor(position.kind);
    for (const auto& child : branch.Children()) {
        if (child->Record().name == position.name) {
            return *child;
        }
    }
    return branch;
}

}  // namespace vantor
