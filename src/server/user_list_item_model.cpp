#include "server/user_list_item_model.h"

#include "editors/qt_control_state.h"

namespace vantor {

UserListItemModel::UserListItemModel(const UserList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

void UserListItemModel::Reload() {
    beginResetModel();
    endResetModel();
}

int UserListItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.Size());
}

int UserListItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(UserColumnCount);
}

QVariant UserListItemModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= list_.Size()) {
        return {};
    }
    const UserRow& row = list_.Rows()[static_cast<std::size_t>(index.row())];
    return ToQString(ColumnText(row, static_cast<UserColumn>(index.column())));
}

QVariant UserListItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(UserColumnCount)) {
        return {};
    }
    return ToQString(UserColumnTitles[static_cast<std::size_t>(section)]);
}

}  // namespace vantor
