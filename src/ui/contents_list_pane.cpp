#include "ui/contents_list_pane.h"

#include <QHeaderView>
#include <QShowEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include "monitor/media_info_worker.h"
#include "ui/contents_folder.h"
#include "ui/contents_list.h"
#include "ui/contents_list_item_model.h"
#include "ui/qt_view_style.h"

namespace vantor {
namespace {

// Results written per turn of the event loop: a few hundred cells take well under a frame.
constexpr std::size_t kResultsPerTurn = 256;

}  // namespace

ContentsListPane::ContentsListPane(MediaProbe& probe, DirectoryReader& reader, QWidget* parent)
    : QWidget(parent), contents_(std::make_unique<ContentsList>()) {
    // Called on the worker's thread: only a queued call crosses to this one, and it is dropped
    // if the pane is gone by then.
    worker_ = std::make_unique<MediaInfoWorker>(probe, [this] {
        QMetaObject::invokeMethod(
            this, [this] { ApplyMediaResults(); }, Qt::QueuedConnection);
    });
    folder_ = std::make_unique<ContentsFolder>(*contents_, reader, worker_.get());
    model_ = new ContentsListItemModel(*contents_, this);
    view_ = new QTreeView(this);
    // A flat report list: no tree decoration, one row selected at a time across all columns.
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);  // lets a long listing lay out without measuring rows
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setAllColumnsShowFocus(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setDragDropMode(QAbstractItemView::NoDragDrop);
    view_->setTextElideMode(Qt::ElideRight);
    view_->setFrameShadow(QFrame::Sunken);
    view_->header()->setStretchLastSection(false);
    view_->header()->setSectionsMovable(false);
    KeepSelectionVisibleWhenInactive(*view_);
    view_->setModel(model_);
    // It has no caption on screen; a screen reader still says what it is.
    view_->setAccessibleName(QStringLiteral("Contents"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(view_, &QTreeView::doubleClicked, this, &ContentsListPane::OnDoubleClicked);
    connect(view_, &QTreeView::clicked, this, &ContentsListPane::OnClicked);
    worker_->Start();
}

ContentsListPane::~ContentsListPane() {
    StopWorker();
    // The view and the model go before the list they read.
    delete view_;
    delete model_;
}

ContentsList& ContentsListPane::Contents() {
    return *contents_;
}

ContentsFolder& ContentsListPane::Folder() {
    return *folder_;
}

void ContentsListPane::StopWorker() {
    worker_->Stop();
}

void ContentsListPane::ApplyMediaResults() {
    folder_->ApplyResults(kResultsPerTurn);
}

void ContentsListPane::OnClicked(const QModelIndex& index) {
    if (index.isValid()) {
        folder_->Click(static_cast<std::size_t>(index.row()));
    }
}

QTreeView* ContentsListPane::View() const {
    return view_;
}

void ContentsListPane::InsertColumns() {
    columnsPending_ = !isVisible();
    SizeColumns();
}

void ContentsListPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (columnsPending_) {
        columnsPending_ = false;
        SizeColumns();
    }
}

void ContentsListPane::SizeColumns() {
    // The list's client area, so that four quarters fit without a horizontal scroll bar.
    const int quarter = view_->viewport()->width() / static_cast<int>(ContentsColumnCount);
    for (int column = 0; column < static_cast<int>(ContentsColumnCount); ++column) {
        view_->header()->resizeSection(column, quarter);
    }
}

void ContentsListPane::OnDoubleClicked(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    // Decided before anything is emitted: selecting a tree item refills this list.
    const ContentsActivation activation = folder_->Activate(static_cast<std::size_t>(index.row()));
    switch (activation.action) {
        case ContentsActivation::Action::OpenFile:
            emit FileOpenRequested(activation.path);
            break;
        case ContentsActivation::Action::SelectItem:
            emit TreeItemActivated(activation.item);
            break;
        case ContentsActivation::Action::Command:
            emit LiveBroadcastRowActivated();
            break;
        case ContentsActivation::Action::None:
            break;
    }
}

}  // namespace vantor
