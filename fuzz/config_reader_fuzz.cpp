// Feeds arbitrary bytes to the config.vtr reader and checks that what it makes of them survives
// the writer: writing the contents and reading them back must give the same contents, up to what
// the format itself normalises, and writing those again must give the same bytes. The loaded
// catalogue must also come out in the order inserting the records one by one would give.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "config/catalogue.h"
#include "config/config_file.h"
#include "config/resource_texts.h"

namespace {

using vantor::ConfigFileContents;
using vantor::ResourceRecord;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "config_reader_fuzz: %s\n", what);
        std::abort();
    }
}

std::vector<std::uint8_t> Write(const ConfigFileContents& contents) {
    std::vector<const ResourceRecord*> records;
    for (const ResourceRecord& record : contents.records) {
        records.push_back(&record);
    }
    return vantor::WriteConfigFile(contents.server, contents.defaultAuthMethod, records);
}

// What reading back a file written from these contents must give. The writer always writes
// version 60 and stores a per-user or anonymous limit that is off as 0, so a default that was
// never read from the file (the header ended early) comes back as 0.
ConfigFileContents AsWritten(ConfigFileContents contents) {
    contents.version = vantor::ConfigWriteVersion;
    if (!contents.server.limitConnectionsPerUser) {
        contents.server.maxConnectionsPerUser = 0;
    }
    if (!contents.server.limitAnonymousConnections) {
        contents.server.maxAnonymousConnections = 0;
    }
    return contents;
}

void CheckRoundTrip(const ConfigFileContents& first) {
    for (const ResourceRecord& record : first.records) {
        Require(record.kind == vantor::ResourceKind::VirtualFolder ||
                    record.kind == vantor::ResourceKind::LiveBroadcast,
                "a record of another kind was kept");
    }
    const std::vector<std::uint8_t> written = Write(first);
    const ConfigFileContents second = vantor::ReadConfigFile(written);
    const ConfigFileContents expected = AsWritten(first);
    Require(second.version == expected.version, "version changed");
    Require(second.server == expected.server, "server settings changed");
    Require(second.defaultAuthMethod == expected.defaultAuthMethod, "default method changed");
    Require(second.records == expected.records, "records changed");
    Require(Write(second) == written, "writing again gave other bytes");
}

// The catalogue built from the records must list each branch in the order of a stable sort by
// display text, which is what inserting the records one by one gives; so must the file written
// from it, when viaFile.
void CheckCatalogueOrder(const ConfigFileContents& contents,
                         const std::vector<ResourceRecord>& records, bool viaFile) {
    vantor::Catalogue catalogue;
    catalogue.InsertLoaded(records);

    std::vector<const ResourceRecord*> expected;
    for (auto kind : {vantor::ResourceKind::VirtualFolder, vantor::ResourceKind::LiveBroadcast}) {
        std::vector<std::pair<std::u16string, const ResourceRecord*>> branch;
        for (const ResourceRecord& record : records) {
            if (record.kind == kind) {
                branch.emplace_back(vantor::DisplayText(record), &record);
            }
        }
        std::stable_sort(branch.begin(), branch.end(), [&catalogue](const auto& a, const auto& b) {
            return catalogue.CompareDisplayText(a.first, b.first) < 0;
        });
        for (const auto& [text, record] : branch) {
            expected.push_back(record);
        }
    }

    std::vector<const ResourceRecord*> actual;
    for (const vantor::CatalogueItem* branch :
         {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            actual.push_back(&child->Record());
        }
    }
    Require(actual.size() == expected.size(), "catalogue lost or gained records");
    for (std::size_t i = 0; i < actual.size(); ++i) {
        Require(*actual[i] == *expected[i], "catalogue order differs from a stable sort");
    }
    if (viaFile) {
        const ConfigFileContents saved = vantor::ReadConfigFile(
            vantor::WriteConfigFile(contents.server, contents.defaultAuthMethod, catalogue));
        Require(saved.records.size() == expected.size(), "saved catalogue lost records");
        for (std::size_t i = 0; i < expected.size(); ++i) {
            Require(saved.records[i] == *expected[i], "saved catalogue out of order");
        }
    }
}

// Large branches are sorted in buckets; to reach that path from small inputs, some inputs are
// also loaded many times over as virtual folders, each copy told apart by its source.
std::vector<ResourceRecord> ManyCopies(const std::vector<ResourceRecord>& records) {
    constexpr std::size_t Wanted = 4200;
    std::vector<ResourceRecord> copies;
    copies.reserve(Wanted + records.size());
    for (std::size_t round = 0; copies.size() < Wanted; ++round) {
        for (ResourceRecord record : records) {
            record.kind = vantor::ResourceKind::VirtualFolder;
            record.imageIndex = vantor::VirtualFolderImage;
            record.source += static_cast<char16_t>(round);
            copies.push_back(std::move(record));
        }
    }
    return copies;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ConfigFileContents first = vantor::ReadConfigFile(std::span(data, size));
    CheckRoundTrip(first);
    CheckCatalogueOrder(first, first.records, true);
    if (!first.records.empty() && size % 256 == 0) {
        CheckCatalogueOrder(first, ManyCopies(first.records), false);
    }
    return 0;
}
