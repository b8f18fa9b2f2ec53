#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/resource_record.h"
#include "editors/resource_form.h"

namespace vantor {

// What the "MMS / Flash Metadata" dialog edits.
struct BroadcastMetadata {
    std::u16string author;
    std::u16string title;
    std::u16string copyright;

    bool operator==(const BroadcastMetadata&) const = default;
};

// A live broadcast's settings as its editors hold them, shared by the live broadcast and the
// delegate dialogs. The record is touched only when an editor was accepted and the command
// commits the form.
struct BroadcastForm : ResourceForm {
    std::u16string source;  // static, dynamic or MMS text, or the delegate's remote link
    bool allowDelegates = false;
    std::int32_t playTime = -1;  // minutes; -1 no limit
    BroadcastMetadata metadata;
    bool notifyArchival = false;

    bool operator==(const BroadcastForm&) const = default;
};

// The live broadcast dialog's form: the type is fixed when it opens.
struct LiveForm : BroadcastForm {
    bool addressed = true;  // static or MMS: the server connects to the source
    bool mms = false;       // an "mms://" link

    bool operator==(const LiveForm&) const = default;
};

// The delegate dialog's form; its source is the remote link.
struct DelegateForm : BroadcastForm {
    bool operator==(const DelegateForm&) const = default;
};

enum class LiveType { Static, Dynamic, MmsRebroadcast, Delegate };

inline constexpr std::u16string_view MmsLinkScheme = u"mms://";

// A stored broadcast's type, by its source: "vtr://" first, then '0' for dynamic, then "mms://";
// everything else, an empty source too, is static. Prefixes compare case-sensitively.
LiveType LiveTypeOfSource(std::u16string_view source);

// The form of an existing broadcast: every field from its record; a limit is on when not 0.
// The live form's type flags follow the source.
LiveForm LiveFormFromRecord(const ResourceRecord& record);
DelegateForm DelegateFormFromRecord(const ResourceRecord& record);
// A new broadcast of a chosen type (not Delegate), at the editor's defaults.
LiveForm NewLiveForm(LiveType type);
// The type a live form was opened as.
LiveType LiveTypeOf(const LiveForm& form);

// Copies an accepted form into a broadcast's record and sets what every broadcast has.
// enabled, playlist and playlistOrder are left as they are.
void ApplyBroadcastForm(const BroadcastForm& form, ResourceRecord& record);

}  // namespace vantor
