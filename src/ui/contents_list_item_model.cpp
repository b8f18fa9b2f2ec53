#include "ui/contents_list_item_model.h"

#include <QString>

namespace vantor {

ContentsListItemModel::ContentsListItemModel(ContentsList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), icons_(StripIcons()) {
    list_.SetObserver(this);
}

ContentsListItemModel::~ContentsListItemModel() {
    list_.SetObserver(nullptr);
}

int ContentsListItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.RowCount());
}

int ContentsListItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ContentsColumnCount);
}

QVariant ContentsListItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= list_.RowCount() ||
        static_cast<std::size_t>(index.column()) >= ContentsColumnCount) {
        return {};
    }
    const ContentsRow& row = list_.Row(static_cast<std::size_t>(index.row()));
    const auto column = static_cast<ContentsColumn>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:  // label tips: the whole text of a cut-off cell
            return QString::fromStdU16String(row.Text(column));
        case Qt::DecorationRole:
            if (column == ContentsColumn::Name && row.imageIndex < icons_.size()) {
                return icons_[row.imageIndex];
            }
            return {};
        default:
            return {};
    }
}

QVariant ContentsListItemModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= ContentsColumnCount) {
        return {};
    }
    const std::u16string_view title = ContentsColumnTitles[static_cast<std::size_t>(section)];
    return QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::ItemFlags ContentsListItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ContentsListItemModel::BeforeReset() {
    beginResetModel();
}

void ContentsListItemModel::AfterReset() {
    endResetModel();
}

void ContentsListItemModel::BeforeInsert(std::size_t first, std::size_t count) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void ContentsListItemModel::AfterInsert() {
    endInsertRows();
}

void ContentsListItemModel::TextChanged(std::size_t row, ContentsColumn column) {
    const QModelIndex changed = index(static_cast<int>(row), static_cast<int>(column));
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
}

}  // namespace vantor
