#pragma once

#include <array>

#include <QAbstractTableModel>
#include <QIcon>

#include "monitor/activity_monitor_model.h"
#include "ui/qt_icons.h"

namespace vantor {

// One page of the activity monitor as a Qt table over the model's rows, so that thousands of
// users fill a page without a widget or an item per row. Sorting is the model's: the view's
// header clicks go to the model and the page is refetched.
class ActivityPageItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ActivityPageItemModel(const ActivityMonitorModel& model, ActivityPage page,
                          QObject* parent = nullptr);

    ActivityPage Page() const { return page_; }
    // The model's rows for this page changed as a whole.
    void Reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ActivityMonitorModel& model_;
    ActivityPage page_;
    std::array<QIcon, StripImageCount> icons_;
};

}  // namespace vantor
