#pragma once

#include <string>

#include <QWidget>

class QTreeView;

#include "config/resource_record.h"

namespace vantor {

class CatalogueItem;
class CatalogueItemModel;
class ConfigStore;
class ContentsListPane;

// The resource tree on the left of the main window: the catalogue of a ConfigStore shown through
// a CatalogueItemModel. Selecting an item lists it in the contents pane.
class ResourceTreePane : public QWidget {
    Q_OBJECT
public:
    ResourceTreePane(ConfigStore& store, const AuthMethod& defaultAuthMethod,
                     ContentsListPane& contents, QWidget* parent = nullptr);
    ~ResourceTreePane() override;

    // Reads the configuration file into the tree and expands the root and both branches.
    void LoadConfiguration();
    // Selects the root and gives the tree the keyboard focus.
    void SelectRoot();
    void SelectItem(CatalogueItem& item);
    CatalogueItem* SelectedItem() const;
    // The line the frame copies into its message pane on every tick ("OK" when nothing to say).
    const std::u16string& StatusText() const { return statusText_; }
    QTreeView* View() const;

signals:
    // A frame command with its parameter (for instance 205 with -1: edit the selected broadcast).
    void CommandRequested(int command, int parameter);

private:
    void ShowSelection();

    ConfigStore& store_;
    const AuthMethod& defaultAuthMethod_;
    ContentsListPane& contents_;
    CatalogueItemModel* model_ = nullptr;
    QTreeView* view_ = nullptr;
    std::u16string statusText_ = u"OK";
};

}  // namespace vantor
