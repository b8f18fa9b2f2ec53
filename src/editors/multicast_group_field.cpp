#include "editors/multicast_group_field.h"

#include <utility>

#include "config/multicast_table.h"

namespace vantor {

std::u16string CheckGroupText(std::u16string_view typed) {
    if (typed.empty()) {
        return std::u16string(EmptyMulticastGroupMessage);
    }
    if (typed.find(u':') == std::u16string_view::npos) {
        return std::u16string(NoMulticastPortMessage);
    }
    return {};
}

MulticastGroupField::MulticastGroupField(MulticastTable& table, std::u16string& groupText,
                                         bool& assignedAutomatically, ControlState& edit)
    : table_(table),
      groupText_(groupText),
      assignedAutomatically_(assignedAutomatically),
      edit_(edit) {}

std::u16string MulticastGroupField::AssignIfEmpty() {
    if (!groupText_.empty()) {
        return {};
    }
    std::u16string message;
    if (!table_.Register(groupText_, message)) {
        return message;
    }
    assignedAutomatically_ = true;
    return {};
}

void MulticastGroupField::Show(bool shown) {
    edit_.text = shown ? groupText_ : u"";
    edit_.enabled = shown;
}

std::u16string MulticastGroupField::Apply(bool multicast) {
    if (!multicast) {
        if (!groupText_.empty()) {
            table_.Unregister(groupText_);
            groupText_.clear();
        }
        return {};
    }
    std::u16string typed = edit_.text;
    if (std::u16string message = CheckGroupText(typed); !message.empty()) {
        return message;
    }
    // An unchanged group is not checked again, even if it never made it into the table.
    if (typed == groupText_) {
        return {};
    }
    std::u16string message;
    if (!table_.Register(typed, message)) {
        edit_.text = groupText_;
        return message;
    }
    table_.Unregister(groupText_);
    groupText_ = std::move(typed);
    return {};
}

void MulticastGroupField::ReleaseAssigned() {
    if (assignedAutomatically_) {
        table_.Unregister(groupText_);
        groupText_.clear();
    }
}

}  // namespace vantor
