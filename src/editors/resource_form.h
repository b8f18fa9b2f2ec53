#pragma once

#include <string>

#include "config/resource_record.h"
#include "editors/limits_panel.h"  // LimitSetting

namespace vantor {

// The settings every resource editor holds alike: name, description, access, delivery and the
// connection limits. The folder and broadcast forms add their own.
struct ResourceForm {
    std::u16string name;         // after OK, the accepted name
    std::u16string openingName;  // the name the editor was opened with
    std::u16string description;
    AuthMethod method = AuthMethod::InheritDefault;
    UserGroups groups = AllUsers;
    bool unicast = true;
    bool multicast = true;
    std::u16string groupText;  // the multicast group held by the editor
    bool assignedAutomatically = false;
    bool playerOption = true;  // allowMmsPlayers
    LimitSetting maxConnections;
    LimitSetting maxConnectionsPerUser;
    LimitSetting maxThroughputKBps;

    bool operator==(const ResourceForm&) const = default;
};

// The shared settings of an existing resource; a limit is on when not 0.
void ReadResourceForm(const ResourceRecord& record, ResourceForm& form);
// Copies the shared settings of an accepted form into the record.
void WriteResourceForm(const ResourceForm& form, ResourceRecord& record);

}  // namespace vantor
