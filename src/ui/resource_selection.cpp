#include "ui/resource_selection.h"

#include "config/catalogue.h"
#include "config/resource_texts.h"

namespace vantor {

ContentsRow RecordRow(const ResourceRecord& record, AuthMethod defaultAuthMethod) {
    ContentsRow row;
    row.imageIndex = record.imageIndex;
    row.Text(ContentsColumn::Name) = record.name;
    row.Text(ContentsColumn::Path) = SourceText(record);
    row.Text(ContentsColumn::Accessibility) =
        AccessibilityText(record.authMethod, record.userGroups, defaultAuthMethod);
    row.Text(ContentsColumn::Description) = record.description;
    return row;
}

std::vector<ContentsRow> SelectionRows(CatalogueItem& selected, AuthMethod defaultAuthMethod) {
    std::vector<ContentsRow> rows;
    switch (selected.Record().kind) {
        case ResourceKind::LiveBroadcast: {
            ContentsRow row = RecordRow(selected.Record(), defaultAuthMethod);
            row.kind = ContentsRowKind::SelectedLiveBroadcast;
            rows.push_back(std::move(row));
            break;
        }
        case ResourceKind::ServerRoot:
        case ResourceKind::FileResourcesBranch:
        case ResourceKind::LiveBroadcastsBranch:
            rows.reserve(selected.Children().size());
            for (const auto& child : selected.Children()) {
                ContentsRow row = RecordRow(child->Record(), defaultAuthMethod);
                row.item = child.get();
                rows.push_back(std::move(row));
            }
            break;
        case ResourceKind::VirtualFolder:
        default:
            break;
    }
    return rows;
}

void ShowSelection(CatalogueItem* selected, AuthMethod defaultAuthMethod, ContentsList& list) {
    if (selected == nullptr) {
        list.Clear();
        return;
    }
    list.Replace(SelectionRows(*selected, defaultAuthMethod));
}

RowActivation ActivateRow(const ContentsList& list, std::size_t row) {
    RowActivation activation;
    if (row >= list.RowCount()) {
        return activation;
    }
    const ContentsRow& target = list.Row(row);
    switch (target.kind) {
        case ContentsRowKind::TreeItem:
            if (target.item != nullptr) {
                activation.action = RowActivation::Action::SelectItem;
                activation.item = target.item;
            }
            break;
        case ContentsRowKind::SelectedLiveBroadcast:
            activation.action = RowActivation::Action::Command;
            activation.command = NewOrEditLiveBroadcastCommand;
            activation.parameter = EditSelectedParameter;
            break;
        default:
            break;
    }
    return activation;
}

}  // namespace vantor
