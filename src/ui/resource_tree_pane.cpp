#include "ui/resource_tree_pane.h"

#include <optional>
#include <utility>

#include <QAbstractItemDelegate>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "config/config_store.h"
#include "editors/delegate_editor_dialog.h"
#include "editors/live_editor_dialog.h"
#include "editors/live_type_chooser_dialog.h"
#include "editors/metadata_dialog.h"
#include "editors/qt_control_state.h"
#include "monitor/disconnect_progress_dialog.h"
#include "monitor/resource_disconnect.h"
#include "platform/linux_window_thread_wait.h"
#include "platform/prompter.h"
#include "platform/rebroadcast_support.h"
#include "ui/catalogue_item_model.h"
#include "ui/contents_folder.h"
#include "ui/contents_list_pane.h"
#include "ui/qt_save_file_dialog.h"
#include "ui/qt_view_style.h"
#include "ui/tree_position.h"

namespace vantor {

namespace {

// How long the pane lets a burst of changes to the data folder settle before it looks, and how
// often it looks again while a dialog or a menu is open.
constexpr int kFollowSettleMs = 150;
constexpr int kFollowRetryMs = 300;

// A tree drawn with dotted lines joining each item to its parent and siblings, and a boxed
// plus or minus on items with children, whatever the widget style: the hierarchy of a large
// catalogue stays readable at a glance.
class LinedTreeView : public QTreeView {
public:
    using QTreeView::QTreeView;

    // How far the item's picture and text reach from the left of its cell.
    int LabelWidth(const QModelIndex& index) const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        return itemDelegateForIndex(index)->sizeHint(option, index).width();
    }

protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override {
        const int indent = indentation();
        if (indent <= 0 || rect.width() < indent) {
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        QPen dots(palette().color(QPalette::Mid), 1, Qt::CustomDashLine);
        dots.setDashPattern({1, 1});
        painter->setPen(dots);

        // The item's own cell, right before its text: a connector from the line of its
        // siblings to the item.
        QRect cell(rect.right() + 1 - indent, rect.top(), indent, rect.height());
        const QPoint middle = cell.center();
        const QModelIndex parent = index.parent();
        const bool hasNext = index.row() + 1 < model()->rowCount(parent);
        const bool firstAtTop = !parent.isValid() && index.row() == 0;
        painter->drawLine(middle.x(), firstAtTop ? middle.y() : cell.top(), middle.x(),
                          hasNext ? cell.bottom() : middle.y());
        painter->drawLine(middle.x(), middle.y(), cell.right(), middle.y());

        // Ancestors that have siblings below carry their line on down past this item.
        QRect ancestorCell = cell.translated(-indent, 0);
        for (QModelIndex ancestor = parent;
             ancestor.isValid() && ancestorCell.left() >= rect.left();
             ancestor = ancestor.parent(), ancestorCell.translate(-indent, 0)) {
            if (ancestor.row() + 1 < model()->rowCount(ancestor.parent())) {
                const int x = ancestorCell.center().x();
                painter->drawLine(x, ancestorCell.top(), x, ancestorCell.bottom());
            }
        }

        if (model()->rowCount(index) > 0) {
            const int half = 4;
            const QRect box(middle.x() - half, middle.y() - half, 2 * half, 2 * half);
            painter->setPen(palette().color(QPalette::Dark));
            painter->setBrush(palette().color(QPalette::Base));
            painter->drawRect(box);
            painter->setPen(palette().color(QPalette::Text));
            painter->drawLine(box.left() + 2, middle.y(), box.right() - 2, middle.y());
            if (!isExpanded(index)) {
                painter->drawLine(middle.x(), box.top() + 2, middle.x(), box.bottom() - 2);
            }
        }
        painter->restore();
    }
};

}  // namespace

ResourceTreePane::ResourceTreePane(ConfigStore& store, const ServerState& serverState,
                                   const AppServices& services, ContentsListPane& contents,
                                   QWidget* parent)
    : QWidget(parent),
      store_(store),
      defaultAuthMethod_(services.defaultAuthMethod),
      multicastTable_(services.multicastTable),
      automation_(services.automation),
      prompter_(services.prompter),
      contents_(contents),
      commands_(std::make_unique<ResourceCommands>(store, serverState, automation_, prompter_,
                                                   static_cast<ResourceCommandHost&>(*this))),
      exports_(services.userFiles, services.hostAddress, prompter_),
      saveFileDialog_(QtSaveFileDialog(this)) {
    broadcastSubDialogs_.metadata = MetadataSubDialog(this);
    model_ = new CatalogueItemModel(store_.Resources(), this);
    view_ = new LinedTreeView(this);
    view_->setHeaderHidden(true);
    view_->setRootIsDecorated(true);  // buttons and lines down to the root
    view_->setItemsExpandable(true);
    view_->setUniformRowHeights(true);  // a branch of many thousand resources lays out at once
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setDragDropMode(QAbstractItemView::NoDragDrop);
    view_->setDragEnabled(false);
    view_->setAcceptDrops(false);
    view_->setFrameShadow(QFrame::Sunken);
    KeepSelectionVisibleWhenInactive(*view_);
    view_->setModel(model_);
    // It has no caption on screen; a screen reader still says what it is.
    view_->setAccessibleName(QStringLiteral("Resources"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        ShowSelection();
        commands_->OnSelectionChanged();
        emit SelectionChanged();
    });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowContextMenu(pos); });
    // From the keyboard the menu belongs to the selected item wherever its text ends: the
    // system sends the Menu key as a context menu event, Shift+F10 comes as a plain key.
    view_->installEventFilter(this);

    // The list shows the selected item's children or the selected broadcast itself, so it is
    // refilled when they change. A reset drops the view's current item without telling, and
    // leaves the list pointing at items that are gone.
    auto showsChildrenOf = [this](const QModelIndex& parent) {
        const CatalogueItem* selected = SelectedItem();
        return selected != nullptr && CatalogueItemModel::ItemOf(parent) == selected;
    };
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this, showsChildrenOf](const QModelIndex& parent) {
                if (showsChildrenOf(parent)) {
                    ShowSelection();
                }
            });
    connect(model_, &QAbstractItemModel::rowsRemoved, this,
            [this, showsChildrenOf](const QModelIndex& parent) {
                if (showsChildrenOf(parent)) {
                    ShowSelection();
                }
            });
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this, showsChildrenOf](const QModelIndex& changed) {
                const CatalogueItem* selected = SelectedItem();
                if (selected != nullptr && (CatalogueItemModel::ItemOf(changed) == selected ||
                                            showsChildrenOf(changed.parent()))) {
                    ShowSelection();
                }
            });
    // The file was read anew (another program changed it, or a save made its change on the
    // new content): the items are new, the place is kept by name.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { RememberPosition(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { RestorePosition(); });

    followTimer_ = new QTimer(this);
    followTimer_->setSingleShot(true);
    connect(followTimer_, &QTimer::timeout, this, [this] { FollowFile(); });

    connect(&contents_, &ContentsListPane::TreeItemActivated, this, [this](CatalogueItem* item) {
        if (item != nullptr) {
            SelectItem(*item);
        }
    });
    connect(&contents_, &ContentsListPane::LiveBroadcastRowActivated, this, [this] {
        emit CommandRequested(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
    });
}

ResourceTreePane::~ResourceTreePane() {
    // The view goes before the model it shows.
    delete view_;
    view_ = nullptr;
}

void ResourceTreePane::LoadConfiguration() {
    store_.LoadConfiguration();
    Catalogue& catalogue = store_.Resources();
    view_->expand(model_->IndexOf(catalogue.Root()));
    view_->expand(model_->IndexOf(catalogue.LiveBroadcasts()));
    view_->expand(model_->IndexOf(catalogue.FileResources()));
    WatchFolder();
}

void ResourceTreePane::WatchFolder() {
    const QString path = QString::fromStdString(store_.ConfigPath());
    if (path.isEmpty() || watcher_ != nullptr) {
        return;
    }
    // The folder, not the file: a save renames a new file over the old one, which a watch on
    // the file itself loses.
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(QFileInfo(path).absolutePath());
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this] { followTimer_->start(kFollowSettleMs); });
}

void ResourceTreePane::StopWatchingFolder() {
    delete watcher_;
    watcher_ = nullptr;
}

bool ResourceTreePane::FollowFile(bool unchanged) {
    // A dialog or a menu works on the items as they are; the new ones come when it closes.
    // So does a call to another machine that the window waits for.
    if (QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr || WindowThreadWaiting()) {
        followTimer_->start(kFollowRetryMs);
        return false;
    }
    if (!unchanged && !store_.FileChangedOnDisk()) {
        return false;
    }
    store_.LoadConfiguration();
    return true;
}

void ResourceTreePane::RememberPosition() {
    Catalogue& catalogue = store_.Resources();
    const CatalogueItem* selected = SelectedItem();
    selectedBeforeReset_ =
        selected != nullptr ? std::make_optional(PositionOf(*selected)) : std::nullopt;
    const CatalogueItem* fixed[] = {&catalogue.Root(), &catalogue.FileResources(),
                                    &catalogue.LiveBroadcasts()};
    for (std::size_t i = 0; i < expandedBeforeReset_.size(); ++i) {
        expandedBeforeReset_[i] = view_->isExpanded(model_->IndexOf(*fixed[i]));
    }
}

void ResourceTreePane::RestorePosition() {
    Catalogue& catalogue = store_.Resources();
    const CatalogueItem* fixed[] = {&catalogue.Root(), &catalogue.FileResources(),
                                    &catalogue.LiveBroadcasts()};
    for (std::size_t i = 0; i < expandedBeforeReset_.size(); ++i) {
        view_->setExpanded(model_->IndexOf(*fixed[i]), expandedBeforeReset_[i]);
    }
    if (!selectedBeforeReset_) {
        ShowSelection();
        return;
    }
    CatalogueItem& item = ItemAt(catalogue, *selectedBeforeReset_);
    selectedBeforeReset_.reset();
    // Selecting lists the item and asks for its status, as any selection does.
    const QModelIndex index = model_->IndexOf(item);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
}

void ResourceTreePane::SelectRoot() {
    SelectItem(store_.Resources().Root());
    view_->setFocus();
}

void ResourceTreePane::SelectItem(CatalogueItem& item) {
    const QModelIndex index = model_->IndexOf(item);
    // A new resource in a collapsed branch shows up all the same.
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        view_->expand(parent);
    }
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
}

CatalogueItem* ResourceTreePane::SelectedItem() const {
    if (view_ == nullptr) {
        return nullptr;
    }
    return CatalogueItemModel::ItemOf(view_->currentIndex());
}

QTreeView* ResourceTreePane::View() const {
    return view_;
}

void ResourceTreePane::ShowSelection() {
    contents_.Folder().ShowSelection(SelectedItem(), defaultAuthMethod_);
}

bool ResourceTreePane::RunFolderExport(int command) {
    if (command != ExportFolderInfoCommand && command != GeneratePlaylistCommand) {
        return false;
    }
    const CatalogueItem* selected = SelectedItem();
    if (selected == nullptr || selected->Record().kind != ResourceKind::VirtualFolder) {
        return true;
    }
    const std::u16string& port = store_.Server().playerPort;
    if (command == ExportFolderInfoCommand) {
        exports_.ExportWebPage(selected->Record(), contents_.Folder(), port, saveFileDialog_);
    } else {
        exports_.GeneratePlaylist(selected->Record(), contents_.Folder(), port, saveFileDialog_);
    }
    return true;
}

CatalogueItem* ResourceTreePane::ItemWithLabelAt(const QPoint& pos) const {
    const QModelIndex index = view_->indexAt(pos);
    if (!index.isValid()) {
        return nullptr;
    }
    // The row reaches across the pane; only its picture and text count as the item, as the
    // blank to their right belongs to the tree.
    const QRect cell = view_->visualRect(index);
    const int labelWidth = static_cast<const LinedTreeView*>(view_)->LabelWidth(index);
    if (pos.x() < cell.left() || pos.x() >= cell.left() + labelWidth) {
        return nullptr;
    }
    return CatalogueItemModel::ItemOf(index);
}

void ResourceTreePane::ShowContextMenu(const QPoint& pos) {
    CatalogueItem* item = ItemWithLabelAt(pos);
    if (item == nullptr) {
        return;
    }
    SelectItem(*item);
    RunContextMenu(*item, pos);
}

void ResourceTreePane::ShowContextMenuForSelection() {
    CatalogueItem* item = SelectedItem();
    if (item == nullptr) {
        return;
    }
    const QModelIndex index = model_->IndexOf(*item);
    view_->scrollTo(index);
    // Just under the item's picture, where a menu opened by the mouse would cover nothing of it.
    const QRect cell = view_->visualRect(index);
    RunContextMenu(*item, QPoint(cell.left() + cell.height() / 2, cell.bottom()));
}

bool ResourceTreePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) {
        return QWidget::eventFilter(watched, event);
    }
    const bool menuKey =
        event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    const bool shiftF10 =
        event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->keyCombination() ==
                                                 QKeyCombination(Qt::ShiftModifier, Qt::Key_F10);
    if (menuKey || shiftF10) {
        ShowContextMenuForSelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ResourceTreePane::RunContextMenu(CatalogueItem& item, const QPoint& pos) {
    std::unique_ptr<QMenu> menu = ContextMenuFor(item);
    QAction* chosen = menu->exec(view_->viewport()->mapToGlobal(pos));
    if (chosen != nullptr) {
        const int menuId = chosen->data().toInt();
        menu.reset();  // the command may open dialogs of its own
        OnContextMenuCommand(menuId);
    }
}

std::unique_ptr<QMenu> ResourceTreePane::ContextMenuFor(CatalogueItem& item) {
    auto menu = std::make_unique<QMenu>(this);
    for (const ContextMenuEntry& entry : commands_->ContextMenuItems(item)) {
        if (entry.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ToQString(entry.text));
        action->setData(entry.id);
    }
    return menu;
}

void ResourceTreePane::OnContextMenuCommand(int menuId) {
    const std::optional<RoutedCommand> command = TranslateMenuCommand(menuId);
    if (!command) {
        return;
    }
    if (command->route == CommandRoute::Frame) {
        emit CommandRequested(command->id, command->parameter);
    } else if (!RunFolderExport(command->id)) {
        commands_->OnCommand(command->id, command->parameter);
    }
}

void ResourceTreePane::RefreshSelection() {
    ShowSelection();
}

bool ResourceTreePane::RunFolderEditor(FolderForm& form, bool updateMode) {
    return EditFolder(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create, form,
                      multicastTable_, store_.Resources(), defaultAuthMethod_, prompter_,
                      folderBrowser_, window());
}

bool ResourceTreePane::ChooseLiveType(LiveType& type) {
    return ChooseLiveTypeWithDialog(MmsRebroadcastSupported(), type, window());
}

bool ResourceTreePane::RunLiveEditor(LiveForm& form, bool updateMode) {
    return EditLiveBroadcast(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                             multicastTable_, store_.Resources(), defaultAuthMethod_,
                             broadcastSubDialogs_, prompter_, window());
}

bool ResourceTreePane::RunDelegateEditor(DelegateForm& form, bool updateMode) {
    return EditDelegateBroadcast(
        updateMode ? DelegateEditorMode::Update : DelegateEditorMode::Create, form, multicastTable_,
        store_.Resources(), defaultAuthMethod_, broadcastSubDialogs_, prompter_, window());
}

void ResourceTreePane::DisconnectResourceUsers(const std::u16string& name, bool isFolder) {
    // One call per user to a server that may hang: they run off this thread, and what could not
    // be done is told when they end.
    DisconnectProgressDialog::Start(
        automation_, *this, UsersOfResource(name, isFolder), DisconnectProgressText(name),
        [this](const DisconnectOutcome& outcome) {
            if (const std::u16string message = DisconnectOutcomeMessage(outcome);
                !message.empty()) {
                prompter_.ShowMessage(message, std::u16string(DisconnectReportCaption),
                                      MessageIcon::Warning);
            }
        });
}

}  // namespace vantor
