#include "monitor/activity_page_item_model.h"

namespace vantor {

namespace {

QString FromModel(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ActivityPageItemModel::ActivityPageItemModel(const ActivityMonitorModel& model, ActivityPage page,
                                             QObject* parent)
    : QAbstractTableModel(parent), model_(model), page_(page), icons_(StripIcons()) {}

void ActivityPageItemModel::Reset() {
    beginResetModel();
    endResetModel();
}

int ActivityPageItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(model_.Rows(page_).size());
}

int ActivityPageItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ActivityColumns(page_).size());
}

QVariant ActivityPageItemModel::data(const QModelIndex& index, int role) const {
    const auto& rows = model_.Rows(page_);
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows.size()) {
        return {};
    }
    const ActivityRow& row = rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return column < row.cells.size() ? FromModel(row.cells[column]) : QString();
        case Qt::DecorationRole:
            if (column == 0 && row.icon >= 0 &&
                static_cast<std::size_t>(row.icon) < icons_.size()) {
                return icons_[static_cast<std::size_t>(row.icon)];
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ActivityPageItemModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    const auto columns = ActivityColumns(page_);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= columns.size()) {
        return {};
    }
    return FromModel(columns[static_cast<std::size_t>(section)].title);
}

Qt::ItemFlags ActivityPageItemModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

}  // namespace vantor
