#include "editors/resource_form.h"

namespace vantor {

void ReadResourceForm(const ResourceRecord& record, ResourceForm& form) {
    form.name = record.name;
    form.openingName = record.name;
    form.description = record.description;
    form.method = record.authMethod;
    form.groups = record.userGroups;
    form.unicast = record.unicast;
    form.multicast = record.multicast;
    form.groupText = record.multicastGroup;
    form.assignedAutomatically = false;
    form.playerOption = record.allowMmsPlayers;
    form.maxConnections = LimitFromRecord(record.maxConnections);
    form.maxConnectionsPerUser = LimitFromRecord(record.maxConnectionsPerUser);
    form.maxThroughputKBps = LimitFromRecord(record.maxThroughputKBps);
}

void WriteResourceForm(const ResourceForm& form, ResourceRecord& record) {
    record.name = form.name;
    record.description = form.description;
    record.authMethod = form.method;
    record.userGroups = form.groups;
    record.unicast = form.unicast;
    record.multicast = form.multicast;
    record.multicastGroup = form.groupText;
    record.allowMmsPlayers = form.playerOption;
    record.maxConnections = LimitToRecord(form.maxConnections);
    record.maxConnectionsPerUser = LimitToRecord(form.maxConnectionsPerUser);
    record.maxThroughputKBps = LimitToRecord(form.maxThroughputKBps);
}

}  // namespace vantor
