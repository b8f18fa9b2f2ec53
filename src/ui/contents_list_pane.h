#pragma once

#include <memory>
#include <string>

#include <QString>
#include <QWidget>

class QModelIndex;
class QTreeView;

namespace vantor {

class CatalogueItem;
class ContentsFolder;
class ContentsList;
class ContentsListItemModel;
class DirectoryReader;
class MediaInfoWorker;
class MediaProbe;

// The list beside the resource tree: four columns "Name", "Path", "Accessibility",
// "Description" over a ContentsList model. A virtual folder's directory is listed through a
// ContentsFolder, whose media summaries a background worker fills in.
class ContentsListPane : public QWidget {
    Q_OBJECT
public:
    // Lists folders through reader and summarises media with probe; both outlive the pane.
    ContentsListPane(MediaProbe& probe, DirectoryReader& reader, QWidget* parent = nullptr);
    ~ContentsListPane() override;

    ContentsList& Contents();
    ContentsFolder& Folder();
    // Ends the media worker; called when the main window closes. The pane lists on, without
    // summaries.
    void StopWorker();
    QTreeView* View() const;
    // The four columns, each a quarter of the pane's width. Called before the pane is shown,
    // the widths are set again once it is laid out and shown.
    void InsertColumns();

signals:
    // A double click on a row that stands for a tree item.
    void TreeItemActivated(vantor::CatalogueItem* item);
    // A double click on the row of a selected live broadcast.
    void LiveBroadcastRowActivated();
    // A double click on a file of a folder listing: open it with the desktop's program. The
    // path is the bytes the directory gave, which a QString could not always hold.
    void FileOpenRequested(const std::string& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnDoubleClicked(const QModelIndex& index);
    void OnClicked(const QModelIndex& index);
    void ApplyMediaResults();
    void SizeColumns();

    std::unique_ptr<ContentsList> contents_;
    std::unique_ptr<MediaInfoWorker> worker_;
    std::unique_ptr<ContentsFolder> folder_;
    ContentsListItemModel* model_ = nullptr;
    QTreeView* view_ = nullptr;
    bool columnsPending_ = false;  // InsertColumns came before the pane had its real width
};

}  // namespace vantor
