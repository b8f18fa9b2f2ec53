#pragma once

// Another program (a vantorctl run, say) writing the same configuration file: a store of its own
// over the same files, changing one resource per save as the commands do.

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "cli/headless_services.h"
#include "config/catalogue.h"
#include "config/config_store.h"
#include "config/multicast_table.h"

namespace vantor::test {

struct OtherProgram {
    OtherProgram(FileStore& files, std::string path)
        : store(authMethod, multicast, state, files, automation, prompter, std::move(path)) {
        store.LoadConfiguration();
    }
    CatalogueItem& Item(std::u16string_view name) {
        for (CatalogueItem* branch :
             {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
            for (const auto& child : branch->Children()) {
                if (child->Record().name == name) {
                    return *child;
                }
            }
        }
        throw std::runtime_error("no such resource");
    }
    void Add(std::u16string name, ResourceKind kind = ResourceKind::VirtualFolder) {
        ResourceRecord record;
        record.kind = kind;
        record.name = std::move(name);
        record.source = u"/srv/" + record.name;
        record.userGroups = AllUsers;
        CatalogueItem* added = store.Resources().InsertResourceItem(std::move(record));
        store.SaveConfiguration({.before = std::nullopt, .after = added->Record()});
    }
    void Edit(std::u16string_view name, const std::function<void(ResourceRecord&)>& edit) {
        CatalogueItem& item = Item(name);
        ResourceChange change{.before = item.Record(), .after = std::nullopt};
        edit(item.Record());
        change.after = item.Record();
        store.Resources().SetItemText(item, item.Record().name);
        store.SaveConfiguration(change);
    }
    void Delete(std::u16string_view name) {
        CatalogueItem& item = Item(name);
        ResourceChange change{.before = item.Record(), .after = std::nullopt};
        store.Resources().RemoveItem(item);
        store.SaveConfiguration(change);
    }

    AuthMethod authMethod = AuthMethod::Anonymous;
    MulticastTable multicast;
    ServerState state = ServerState::Stopped;
    NoAutomation automation;
    std::ostringstream messages;
    StreamPrompter prompter{messages};
    ConfigStore store;
};

}  // namespace vantor::test
