#include "editors/broadcast_form.h"

#include "editors/remote_link.h"

namespace vantor {
namespace {

void FillFromRecord(const ResourceRecord& record, BroadcastForm& form) {
    ReadResourceForm(record, form);
    form.source = record.source;
    form.allowDelegates = record.allowDelegates;
    form.playTime = record.playTimeLimit;
    form.metadata = {record.metaAuthor, record.metaTitle, record.metaCopyright};
    form.notifyArchival = record.notifyArchival;
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
    WriteResourceForm(form, record);
    record.source = form.source;
    record.playTimeLimit = form.playTime;
    record.allowDelegates = form.allowDelegates;
    record.metaTitle = form.metadata.title;
    record.metaAuthor = form.metadata.author;
    record.metaCopyright = form.metadata.copyright;
    record.notifyArchival = form.notifyArchival;
}

}  // namespace vantor
