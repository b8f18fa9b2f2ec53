#include "monitor/add_address_model.h"

#include <utility>

namespace vantor {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

}  // namespace

std::u16string TrimAddress(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return std::u16string(text.substr(begin, end - begin));
}

AddAddressModel::AddAddressModel() {
    add_.text = kAddText;
    add_.enabled = false;
}

void AddAddressModel::SetEditText(std::u16string text) {
    edit_.text = std::move(text);
    add_.enabled = !Address().empty();
}

}  // namespace vantor
