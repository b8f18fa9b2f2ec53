// Feeds arbitrary bytes to the restrictions file reader as the dialog opens a file: load, then
// read the mode and both lists. Whatever loads must also survive being written and loaded again
// with the same content, as OK writes it back.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "monitor/restrictions_document.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "restrictions_reader_fuzz: %s\n", what);
        std::abort();
    }
}

struct Rows : vantor::RestrictionsReceiver {
    void SetMode(vantor::DelegateAccessMode mode) override {
        lines.push_back(u"mode" + Mode(mode));
    }
    void AddRow(int list, std::u16string address) override {
        lines.push_back(std::u16string(1, static_cast<char16_t>(u'0' + list)) + address);
    }
    static std::u16string Mode(vantor::DelegateAccessMode mode) {
        return std::u16string(1, static_cast<char16_t>(u'0' + vantor::ListNumber(mode)));
    }
    std::vector<std::u16string> lines;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantor::RestrictionsDocument document;
    if (vantor::Failed(document.Parse(std::span(data, size)))) {
        return 0;
    }
    Rows first;
    const vantor::HResult read = document.Read(first);

    vantor::RestrictionsDocument again;
    Require(vantor::Succeeded(again.Parse(document.Serialize())), "written file does not load");
    Rows second;
    Require(again.Read(second) == read, "read result changed");
    Require(second.lines == first.lines, "content changed");
    return 0;
}
