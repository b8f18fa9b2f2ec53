#pragma once

#include <array>
#include <cstddef>

#include <QAbstractItemModel>
#include <QIcon>

#include "config/catalogue.h"
#include "ui/qt_icons.h"

namespace vantor {

// The catalogue as a one-column Qt tree model: each index carries its CatalogueItem. The model
// is the catalogue's observer for as long as it lives.
class CatalogueItemModel : public QAbstractItemModel, private CatalogueObserver {
    Q_OBJECT
public:
    explicit CatalogueItemModel(Catalogue& catalogue, QObject* parent = nullptr);
    ~CatalogueItemModel() override;

    // The item of an index of this model; nullptr for an invalid index.
    static CatalogueItem* ItemOf(const QModelIndex& index);
    // The index of an item of the catalogue (a search among its siblings).
    QModelIndex IndexOf(const CatalogueItem& item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void BeforeInsert(const CatalogueItem& parent, std::size_t row) override;
    void AfterInsert() override;
    void BeforeRemove(const CatalogueItem& parent, std::size_t row) override;
    void AfterRemove() override;
    void TextChanged(const CatalogueItem& item) override;
    void BeforeReset() override;
    void AfterReset() override;

    Catalogue& catalogue_;
    std::array<QIcon, StripImageCount> icons_;
};

}  // namespace vantor
