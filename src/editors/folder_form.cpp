#include "editors/folder_form.h"

#include <cstdint>

namespace vantor {

FolderForm FolderFormFromRecord(const ResourceRecord& record) {
    FolderForm form;
    form.path = record.source;
    form.name = record.name;
    form.openingName = record.name;
    form.description = record.description;
    form.method = record.authMethod;
    form.groups = record.userGroups;
    form.unicast = record.unicast;
    form.multicast = record.multicast;
    form.groupText = record.multicastGroup;
    form.assignedAutomatically = false;
    form.playlist = record.playlist;
    // Only 0 is alphabetical; any other stored value opens as random.
    form.randomOrder = record.playlistOrder != 0;
    form.playerOption = record.allowMmsPlayers;
    form.maxConnections = LimitFromRecord(record.maxConnections);
    form.maxConnectionsPerUser = LimitFromRecord(record.maxConnectionsPerUser);
    form.maxThroughputKBps = LimitFromRecord(record.maxThroughputKBps);
    return form;
}

void ApplyFolderForm(const FolderForm& form, ResourceRecord& record) {
    record.kind = ResourceKind::VirtualFolder;
    record.imageIndex = VirtualFolderImage;
    record.authMethod = form.method;
    record.userGroups = form.groups;
    record.name = form.name;
    record.source = form.path;
    record.description = form.description;
    record.unicast = form.unicast;
    record.multicast = form.multicast;
    record.multicastGroup = form.groupText;
    record.playlist = form.playlist;
    record.playlistOrder = form.randomOrder ? 1 : 0;
    record.allowMmsPlayers = form.playerOption;
    record.maxConnections = LimitToRecord(form.maxConnections);
    record.maxConnectionsPerUser = LimitToRecord(form.maxConnectionsPerUser);
    record.maxThroughputKBps = LimitToRecord(form.maxThroughputKBps);
    // A folder has no playback limit, no delegates and no archival.
    record.playTimeLimit = -1;
    record.allowDelegates = false;
    record.notifyArchival = false;
}

}  // namespace vantor
