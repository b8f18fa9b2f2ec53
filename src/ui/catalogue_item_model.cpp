#include "ui/catalogue_item_model.h"

#include <QString>

namespace vantor {

CatalogueItemModel::CatalogueItemModel(Catalogue& catalogue, QObject* parent)
    : QAbstractItemModel(parent), catalogue_(catalogue), icons_(StripIcons()) {
    catalogue_.SetObserver(this);
}

CatalogueItemModel::~CatalogueItemModel() {
    catalogue_.SetObserver(nullptr);
}

CatalogueItem* CatalogueItemModel::ItemOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<CatalogueItem*>(index.internalPointer()) : nullptr;
}

QModelIndex CatalogueItemModel::IndexOf(const CatalogueItem& item) const {
    // Row() searches the siblings; that is linear only for a resource item, and this is called
    // once per edit or selection, never per row painted.
    return createIndex(static_cast<int>(item.Row()), 0, const_cast<CatalogueItem*>(&item));
}

QModelIndex CatalogueItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row == 0 ? createIndex(0, 0, &catalogue_.Root()) : QModelIndex();
    }
    const CatalogueItem* parentItem = ItemOf(parent);
    const auto& children = parentItem->Children();
    if (static_cast<std::size_t>(row) >= children.size()) {
        return {};
    }
    return createIndex(row, 0, children[static_cast<std::size_t>(row)].get());
}

QModelIndex CatalogueItemModel::parent(const QModelIndex& child) const {
    const CatalogueItem* item = ItemOf(child);
    if (item == nullptr || item->Parent() == nullptr) {
        return {};
    }
    // The parent is the root or a branch, whose rows are found among at most two siblings.
    return IndexOf(*item->Parent());
}

int CatalogueItemModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return 1;
    }
    if (parent.column() != 0) {
        return 0;
    }
    return static_cast<int>(ItemOf(parent)->Children().size());
}

int CatalogueItemModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CatalogueItemModel::data(const QModelIndex& index, int role) const {
    const CatalogueItem* item = ItemOf(index);
    if (item == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdU16String(item->Text());
        case Qt::DecorationRole: {
            const std::uint32_t image = item->Record().imageIndex;
            return image < icons_.size() ? QVariant(icons_[image]) : QVariant();
        }
        default:
            return {};
    }
}

Qt::ItemFlags CatalogueItemModel::flags(const QModelIndex& index) const {
    const CatalogueItem* item = ItemOf(index);
    if (item == nullptr) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Resources never have children; saying so spares the view a question per row.
    if (item->Parent() != nullptr && item->Parent()->Parent() != nullptr) {
        flags |= Qt::ItemNeverHasChildren;
    }
    return flags;
}

void CatalogueItemModel::BeforeInsert(const CatalogueItem& parent, std::size_t row) {
    beginInsertRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void CatalogueItemModel::AfterInsert() {
    endInsertRows();
}

void CatalogueItemModel::BeforeRemove(const CatalogueItem& parent, std::size_t row) {
    beginRemoveRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
}

void CatalogueItemModel::AfterRemove() {
    endRemoveRows();
}

void CatalogueItemModel::TextChanged(const CatalogueItem& item) {
    const QModelIndex changed = IndexOf(item);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void CatalogueItemModel::BeforeReset() {
    beginResetModel();
}

void CatalogueItemModel::AfterReset() {
    endResetModel();
}

}  // namespace vantor
