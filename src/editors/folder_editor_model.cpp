#include "editors/folder_editor_model.h"

#include <utility>

namespace vantor {

FolderEditorModel::FolderEditorModel(FolderEditorMode mode, FolderForm form,
                                     MulticastTable& multicastTable, const Catalogue& catalogue,
                                     const AuthMethod& defaultAuthMethod)
    : mode_(mode),
      form_(std::move(form)),
      catalogue_(catalogue),
      title_(kCreateTitle),
      group_(multicastTable, form_.groupText, form_.assignedAutomatically,
             states_[static_cast<std::size_t>(FolderControl::GroupEdit)]),
      access_(false, defaultAuthMethod, states_[static_cast<std::size_t>(FolderControl::Unicast)]),
      limits_(false) {
    At(FolderControl::NameLabel).text = kNameLabelText;
    At(FolderControl::BrowseButton).text = kBrowseText;
    At(FolderControl::DescriptionLabel).text = kDescriptionLabelText;
    At(FolderControl::Unicast).text = kUnicastText;
    At(FolderControl::Multicast).text = kMulticastText;
    At(FolderControl::GroupLabel).text = kGroupLabelText;
    At(FolderControl::Playlist).text = kPlaylistText;
    At(FolderControl::OrderLabel).text = kOrderLabelText;
    At(FolderControl::Alphabetical).text = kAlphabeticalText;
    At(FolderControl::Random).text = kRandomText;
    At(FolderControl::OkButton).text = kOkText;
    At(FolderControl::CancelButton).text = kCancelText;
}

std::u16string FolderEditorModel::OnOpen() {
    At(FolderControl::NameEdit).text = form_.name;
    At(FolderControl::PathEdit).text = form_.path;
    At(FolderControl::DescriptionEdit).text = form_.description;
    At(FolderControl::Unicast).checked = form_.unicast;
    At(FolderControl::Multicast).checked = form_.multicast;
    At(FolderControl::Playlist).checked = form_.playlist;
    At(FolderControl::Alphabetical).checked = !form_.randomOrder;
    At(FolderControl::Random).checked = form_.randomOrder;
    EnableOrder(form_.playlist);

    std::u16string message;
    if (form_.multicast) {
        message = group_.AssignIfEmpty();
    }
    group_.Show(form_.multicast);

    // A new folder's form comes with the inherited method and every group.
    if (!form_.name.empty()) {
        title_ = kUpdateTitle;
    }
    access_.Load(form_.method, form_.groups, form_.playerOption);
    auto recordValue = [](const LimitSetting& limit) { return limit.enabled ? limit.value : 0; };
    limits_.Load(recordValue(form_.maxConnections), recordValue(form_.maxConnectionsPerUser),
                 recordValue(form_.maxThroughputKBps));
    return message;
}

void FolderEditorModel::OnBrowseResult(std::u16string path) {
    if (!path.empty()) {
        At(FolderControl::PathEdit).text = std::move(path);
    }
}

std::u16string FolderEditorModel::OnMulticastClicked(bool checked) {
    At(FolderControl::Multicast).checked = checked;
    std::u16string message;
    if (checked) {
        message = group_.AssignIfEmpty();
        // Multicast always plays the folder as a playlist.
        At(FolderControl::Playlist).checked = true;
        EnableOrder(true);
    }
    // Unchecked, the form keeps its group until OK releases it.
    group_.Show(checked);
    return message;
}

void FolderEditorModel::OnPlaylistClicked(bool checked) {
    At(FolderControl::Playlist).checked = checked;
    if (!checked) {
        At(FolderControl::Multicast).checked = false;
        group_.Show(false);
    }
    EnableOrder(checked);
}

void FolderEditorModel::OnUnicastClicked(bool checked) {
    At(FolderControl::Unicast).checked = checked;
    access_.OnUnicastToggled();
}

void FolderEditorModel::OnOrderSelected(bool random) {
    At(FolderControl::Alphabetical).checked = !random;
    At(FolderControl::Random).checked = random;
}

void FolderEditorModel::SetNameText(std::u16string text) {
    At(FolderControl::NameEdit).text = std::move(text);
}

void FolderEditorModel::SetDescriptionText(std::u16string text) {
    At(FolderControl::DescriptionEdit).text = std::move(text);
}

void FolderEditorModel::SetGroupText(std::u16string text) {
    At(FolderControl::GroupEdit).text = std::move(text);
}

std::u16string FolderEditorModel::OnOk() {
    std::u16string path = State(FolderControl::PathEdit).text;
    while (!path.empty() && path.back() == u'\\') {
        path.pop_back();  // a drive root is stored as "C:"
    }
    form_.path = path;
    form_.description = State(FolderControl::DescriptionEdit).text;
    const std::u16string& name = State(FolderControl::NameEdit).text;

    if (path.empty()) {
        return std::u16string(kNoPathMessage);
    }
    if (std::u16string message = CheckNameText(name, {kNoNameMessage, kBadNameMessage});
        !message.empty()) {
        return message;
    }
    if (std::u16string message = CheckNameFree(name, form_.openingName, catalogue_);
        !message.empty()) {
        return message;
    }

    form_.method = access_.ReadMethod();
    form_.groups = access_.ReadGroups();
    if (std::u16string message = access_.CheckGroups(form_.method, form_.groups);
        !message.empty()) {
        return message;
    }

    form_.playlist = State(FolderControl::Playlist).checked;
    form_.randomOrder = State(FolderControl::Random).checked;
    form_.unicast = State(FolderControl::Unicast).checked;
    form_.multicast = State(FolderControl::Multicast).checked;
    if (std::u16string message = CheckDelivery(form_.unicast, form_.multicast); !message.empty()) {
        return message;
    }
    form_.playerOption = access_.ReadPlayerOption();

    if (std::u16string message = group_.Apply(form_.multicast); !message.empty()) {
        return message;
    }

    LimitsReading limits = limits_.ReadLimits();
    if (!limits.message.empty()) {
        return limits.message;
    }
    form_.maxConnections = limits.maxConnections;
    form_.maxConnectionsPerUser = limits.maxConnectionsPerUser;
    form_.maxThroughputKBps = limits.maxThroughputKBps;

    form_.name = name;
    return {};
}

void FolderEditorModel::OnCancel() {
    group_.ReleaseAssigned();
}

void FolderEditorModel::EnableOrder(bool enabled) {
    At(FolderControl::Alphabetical).enabled = enabled;
    At(FolderControl::Random).enabled = enabled;
}

}  // namespace vantor
