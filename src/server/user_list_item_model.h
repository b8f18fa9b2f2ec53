#pragma once

#include <QAbstractTableModel>

#include "server/user_list.h"

namespace vantor {

// The users list as a table for a QTableView: one row per user, the columns "Username",
// "Group" and "Information". The list changes only through its own model's commands; the view
// calls Reload after each.
class UserListItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit UserListItemModel(const UserList& list, QObject* parent = nullptr);

    // The list was refilled or sorted.
    void Reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const UserList& list_;
};

}  // namespace vantor
