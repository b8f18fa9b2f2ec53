#include "editors/broadcast_form.h"

#include "editors/remote_link.h"

namespace vantor {
namespace {

void FillFromRecord(const ResourceRecord& record, BroadcastForm& form) {
    form.description = record.description;
    form.name = record.name;
    form.openingName = record.name;
    form.source = record.source;
    form.method = record.authMethod;
    form.groups = record.userGroups;
    form.unicast = record.unicast;
    form.multicast = record.multicast;
    form.groupText = record.multicastGroup;
    form.assignedAutomatically = false;
    form.allowDelegates = record.allowDelegates;
    form.playTime = record.playTimeLimit;
    form.playerOption = record.allowMmsPlayers;
    form.metadata = {record.metaAuthor, record.metaTitle, record.metaCopyright};
    form.notifyArchival = record.notifyArchival;
    form.maxConnections = LimitFromRecord(record.maxConnections);
    form.maxConnectionsPerUser = LimitFromRecord(record.maxConnectionsPerUser);
    form.maxThroughputKBps = LimitFromRecord(record.maxThroughputKBps);
}

}  // namespace

LiveType LiveTypeOfSource(std::u16string_view source) {
    if (source.starts_with(RemoteLinkScheme)) {
        return LiveType::Delegate;
    }
    if (source.starts_with(u'0')) {
        return LiveType::Dynamic;
    }
    return source.starts_with(MmsLinkScheme) ? LiveType::MmsRebroadcast : LiveType::Static;
}

LiveForm NewLiveForm(LiveType type) {
    LiveForm form;
    form.mms = type == LiveType::MmsRebroadcast;
    form.addressed = type == LiveType::Static || form.mms;
    return form;
}

LiveType LiveTypeOf(const LiveForm& form) {
    if (!form.addressed) {
        return LiveType::Dynamic;
    }
    return form.mms ? LiveType::MmsRebroadcast : LiveType::Static;
}

LiveForm LiveFormFromRecord(const ResourceRecord& record) {
    LiveForm form = NewLiveForm(LiveTypeOfSource(record.source));
    FillFromRecord(record, form);
    return form;
}

DelegateForm DelegateFormFromRecord(const ResourceRecord& record) {
    DelegateForm form;
    FillFromRecord(record, form);
    return form;
}

void ApplyBroadcastForm(const BroadcastForm& form, ResourceRecord& record) {
    record.kind = ResourceKind::LiveBroadcast;
    record.imageIndex = LiveBroadcastImage;
    record.authMethod = form.method;
    record.userGroups = form.groups;
    record.name = form.name;
    record.description = form.description;
    record.source = form.source;
    record.unicast = form.unicast;
    record.multicast = form.multicast;
    record.multicastGroup = form.groupText;
    record.playTimeLimit = form.playTime;
    record.allowDelegates = form.allowDelegates;
    record.allowMmsPlayers = form.playerOption;
    record.metaTitle = form.metadata.title;
    record.metaAuthor = form.metadata.author;
    record.metaCopyright = form.metadata.copyright;
    record.notifyArchival = form.notifyArchival;
    record.maxConnections = LimitToRecord(form.maxConnections);
    record.maxConnectionsPerUser = LimitToRecord(form.maxConnectionsPerUser);
    record.maxThroughputKBps = LimitToRecord(form.maxThroughputKBps);
}

}  // namespace vantor
