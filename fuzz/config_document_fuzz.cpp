// Feeds arbitrary text to the configuration document reader as `vantorctl apply` reads a
// document. Read in stretches on two threads, it must read exactly as read in one. Whatever
// reads without an error must also survive being written as `dump` writes it and read again,
// with the same records and settings.

#include <algorithm>
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

bool Same(const vantor::DocumentReading& a, const vantor::DocumentReading& b) {
    const auto sameError = [](const vantor::DocumentError& x, const vantor::DocumentError& y) {
        return x.line == y.line && x.column == y.column && x.message == y.message;
    };
    const auto sameResource = [](const vantor::DocumentResource& x,
                                 const vantor::DocumentResource& y) {
        return x.record == y.record && x.given == y.given && x.type == y.type && x.line == y.line;
    };
    const vantor::ConfigDocument& x = a.document;
    const vantor::ConfigDocument& y = b.document;
    return std::equal(a.errors.begin(), a.errors.end(), b.errors.begin(), b.errors.end(),
                      sameError) &&
           std::equal(x.folders.begin(), x.folders.end(), y.folders.begin(), y.folders.end(),
                      sameResource) &&
           std::equal(x.live.begin(), x.live.end(), y.live.begin(), y.live.end(), sameResource) &&
           x.server.has_value() == y.server.has_value() &&
           (!x.server ||
            (x.server->config == y.server->config &&
             x.server->defaultAuthMethod == y.server->defaultAuthMethod &&
             x.server->given == y.server->given && x.server->line == y.server->line)) &&
           x.restrictions.has_value() == y.restrictions.has_value() &&
           (!x.restrictions ||
            (*x.restrictions == *y.restrictions && x.restrictions->line == y.restrictions->line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vantor::DocumentReading reading =
        vantor::ReadConfigDocument(text, vantor::DocumentReadingWork{.threads = 1});
    for (const vantor::DocumentError& error : reading.errors) {
        Require(!error.message.empty(), "an error without a message");
    }
    Require(Same(vantor::ReadConfigDocument(text, vantor::DocumentReadingWork{2, 16}), reading),
            "read in stretches, the document reads otherwise");
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
