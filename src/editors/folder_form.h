#pragma once

#include <string>

#include "config/resource_record.h"
#include "editors/limits_panel.h"  // LimitSetting

namespace vantor {

// The virtual folder editor's own copy of a folder's settings. The record is touched only when
// the editor was accepted and the command commits the form.
struct FolderForm {
    std::u16string path;
    std::u16string name;         // after OK, the accepted name
    std::u16string openingName;  // the name the editor was opened with
    std::u16string description;
    AuthMethod method = AuthMethod::InheritDefault;
    UserGroups groups = AllUsers;
    bool unicast = true;
    bool multicast = true;
    std::u16string groupText;  // the multicast group held by the editor
    bool assignedAutomatically = false;
    bool playlist = true;
    bool randomOrder = false;
    bool playerOption = true;  // allowMmsPlayers
    LimitSetting maxConnections;
    LimitSetting maxConnectionsPerUser;
    LimitSetting maxThroughputKBps;

    bool operator==(const FolderForm&) const = default;
};

// The form of an existing folder: every field from its record; a limit is on when not 0.
FolderForm FolderFormFromRecord(const ResourceRecord& record);

// Copies an accepted form into a folder's record and sets the fields a folder always has.
// enabled and the metadata fields are left as they are.
void ApplyFolderForm(const FolderForm& form, ResourceRecord& record);

}  // namespace vantor
