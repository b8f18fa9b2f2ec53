#pragma once

#include <memory>

#include <QWidget>

class QModelIndex;
class QTreeView;

namespace vantor {

class CatalogueItem;
class ContentsList;
class ContentsListItemModel;

// The list beside the resource tree: four columns "Name", "Path", "Accessibility",
// "Description" over a ContentsList model.
class ContentsListPane : public QWidget {
    Q_OBJECT
public:
    explicit ContentsListPane(QWidget* parent = nullptr);
    ~ContentsListPane() override;

    ContentsList& Contents();
    QTreeView* View() const;
    // The four columns, each a quarter of the pane's width. Called before the pane is shown,
    // the widths are set again once it is laid out and shown.
    void InsertColumns();

signals:
    // A double click on a row that stands for a tree item.
    void TreeItemActivated(vantor::CatalogueItem* item);
    // A double click on the row of a selected live broadcast.
    void LiveBroadcastRowActivated();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnDoubleClicked(const QModelIndex& index);
    void SizeColumns();

    std::unique_ptr<ContentsList> contents_;
    ContentsListItemModel* model_ = nullptr;
    QTreeView* view_ = nullptr;
    bool columnsPending_ = false;  // InsertColumns came before the pane had its real width
};

}  // namespace vantor
