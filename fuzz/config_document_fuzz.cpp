// Feeds arbitrary text to the configuration document reader as `vantorctl apply` reads a
// document. Whatever reads without an error must also survive being written as `dump` writes
// it and read again, with the same records and settings.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "config/catalogue.h"
#include "config/config_document.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "config_document_fuzz: %s\n", what);
        std::abort();
    }
}

// The records a document asks for, each field it left out at the record's default.
void Fill(const vantor::ConfigDocument& document, vantor::Catalogue& catalogue) {
    for (const auto* list : {&document.folders, &document.live}) {
        for (const vantor::DocumentResource& resource : *list) {
            vantor::ResourceRecord record;
            record.kind = resource.record.kind;
            record.imageIndex = resource.record.imageIndex;
            vantor::ApplyGivenFields(resource, record);
            catalogue.InsertResourceItem(record);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vantor::DocumentReading reading = vantor::ReadConfigDocument(text);
    for (const vantor::DocumentError& error : reading.errors) {
        Require(!error.message.empty(), "an error without a message");
    }
    if (!reading.errors.empty()) {
        return 0;
    }
    vantor::ServerConfig server;
    vantor::AuthMethod method = vantor::AuthMethod::Anonymous;
    if (reading.document.server) {
        vantor::ApplyGivenServerFields(*reading.document.server, server, method);
    }
    vantor::Catalogue catalogue;
    Fill(reading.document, catalogue);

    for (const auto format : {vantor::DocumentFormat::Yaml, vantor::DocumentFormat::Json}) {
        const vantor::DocumentReading again = vantor::ReadConfigDocument(
            vantor::WriteConfigDocument(server, method, catalogue, nullptr, format));
        Require(again.errors.empty(), "a written document does not read");
        Require(again.document.server.has_value(), "the settings were not written");
        vantor::ServerConfig serverAgain;
        vantor::AuthMethod methodAgain = vantor::AuthMethod::Anonymous;
        vantor::ApplyGivenServerFields(*again.document.server, serverAgain, methodAgain);
        Require(serverAgain == server && methodAgain == method, "the settings changed");
        vantor::Catalogue catalogueAgain;
        Fill(again.document, catalogueAgain);
        for (const bool folders : {true, false}) {
            const auto& a = folders ? catalogue.FileResources().Children()
                                    : catalogue.LiveBroadcasts().Children();
            const auto& b = folders ? catalogueAgain.FileResources().Children()
                                    : catalogueAgain.LiveBroadcasts().Children();
            Require(a.size() == b.size(), "a resource was lost");
            for (std::size_t i = 0; i < a.size(); ++i) {
                Require(a[i]->Record() == b[i]->Record(), "a record changed");
            }
        }
    }
    return 0;
}
