#pragma once

#include <array>
#include <cstddef>

#include <QAbstractTableModel>
#include <QIcon>

#include "ui/contents_list.h"
#include "ui/qt_icons.h"

namespace vantor {

// The contents list as a four-column Qt table: "Name" (with the row's picture), "Path",
// "Accessibility", "Description". The model is the list's observer for as long as it lives.
class ContentsListItemModel : public QAbstractTableModel, private ContentsListObserver {
    Q_OBJECT
public:
    explicit ContentsListItemModel(ContentsList& list, QObject* parent = nullptr);
    ~ContentsListItemModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void BeforeReset() override;
    void AfterReset() override;
    void BeforeInsert(std::size_t first, std::size_t count) override;
    void AfterInsert() override;
    void TextChanged(std::size_t row, ContentsColumn column) override;

    ContentsList& list_;
    std::array<QIcon, StripImageCount> icons_;
};

}  // namespace vantor
