#include "editors/live_type_chooser_model.h"

namespace vantor {
namespace {

constexpr LiveType kTypes[] = {LiveType::Static, LiveType::Dynamic, LiveType::Delegate,
                               LiveType::MmsRebroadcast};

}  // namespace

LiveTypeChooserModel::LiveTypeChooserModel(bool rebroadcastAvailable) {
    At(LiveTypeControl::StaticRadio).text = kStaticText;
    At(LiveTypeControl::StaticText).text = kStaticExplanation;
    At(LiveTypeControl::DynamicRadio).text = kDynamicText;
    At(LiveTypeControl::DynamicText).text = kDynamicExplanation;
    At(LiveTypeControl::DelegateRadio).text = kDelegateText;
    At(LiveTypeControl::DelegateText).text = kDelegateExplanation;
    At(LiveTypeControl::RebroadcastRadio).text = kRebroadcastText;
    At(LiveTypeControl::RebroadcastRadio).enabled = rebroadcastAvailable;
    At(LiveTypeControl::OkButton).text = u"OK";
    At(LiveTypeControl::CancelButton).text = u"Cancel";
    OnTypeSelected(LiveType::Static);
}

LiveTypeControl LiveTypeChooserModel::RadioOf(LiveType type) {
    switch (type) {
        case LiveType::Dynamic:
            return LiveTypeControl::DynamicRadio;
        case LiveType::Delegate:
            return LiveTypeControl::DelegateRadio;
        case LiveType::MmsRebroadcast:
            return LiveTypeControl::RebroadcastRadio;
        default:
            return LiveTypeControl::StaticRadio;
    }
}

void LiveTypeChooserModel::OnTypeSelected(LiveType type) {
    if (!State(RadioOf(type)).enabled) {
        return;
    }
    for (LiveType each : kTypes) {
        At(RadioOf(each)).checked = each == type;
    }
}

LiveType LiveTypeChooserModel::OnOk() const {
    // Dynamic is what is left when none of the other three is selected.
    for (LiveType type : {LiveType::Static, LiveType::Delegate, LiveType::MmsRebroadcast}) {
        if (State(RadioOf(type)).checked) {
            return type;
        }
    }
    return LiveType::Dynamic;
}

}  // namespace vantor
