#include "cli/config_report.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "config/resource_texts.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

using Json = nlohmann::ordered_json;

std::string U8(const std::u16string& text) {
    return Utf16ToUtf8(text);
}

Json ServerConfigJson(const ServerConfig& c, AuthMethod defaultAuthMethod) {
    return Json{
        {"playerPort", U8(c.playerPort)},
        {"liveSourcePort", U8(c.liveSourcePort)},
        {"limitConnections", c.limitConnections},
        {"maxConnections", c.maxConnections},
        {"limitConnectionsPerUser", c.limitConnectionsPerUser},
        {"maxConnectionsPerUser", c.maxConnectionsPerUser},
        {"limitAnonymousConnections", c.limitAnonymousConnections},
        {"maxAnonymousConnections", c.maxAnonymousConnections},
        {"limitThroughput", c.limitThroughput},
        {"maxThroughputKBps", c.maxThroughputKBps},
        {"loggingMode", c.loggingMode},
        {"loggingProgId", U8(c.loggingProgId)},
        {"defaultAuthMethod", static_cast<std::int32_t>(defaultAuthMethod)},
        {"archivalPassword", U8(c.archivalPassword)},
        {"networkInterface", U8(c.networkInterface)},
        {"archivalServerAddress", U8(c.archivalServerAddress)},
        {"archivalServerPort", U8(c.archivalServerPort)},
    };
}

Json ResourceJson(const CatalogueItem& item) {
    const ResourceRecord& r = item.Record();
    return Json{
        {"kind", static_cast<std::uint32_t>(r.kind)},
        {"enabled", r.enabled},
        {"authMethod", static_cast<std::int32_t>(r.authMethod)},
        {"userGroups", r.userGroups},
        {"name", U8(r.name)},
        {"source", U8(r.source)},
        {"description", U8(r.description)},
        {"imageIndex", r.imageIndex},
        {"unicast", r.unicast},
        {"multicast", r.multicast},
        {"multicastGroup", U8(r.multicastGroup)},
        {"playlist", r.playlist},
        {"playlistOrder", r.playlistOrder},
        {"playTimeLimit", r.playTimeLimit},
        {"allowDelegates", r.allowDelegates},
        {"allowMmsPlayers", r.allowMmsPlayers},
        {"metaTitle", U8(r.metaTitle)},
        {"metaAuthor", U8(r.metaAuthor)},
        {"metaCopyright", U8(r.metaCopyright)},
        {"maxConnections", r.maxConnections},
        {"maxConnectionsPerUser", r.maxConnectionsPerUser},
        {"maxThroughputKBps", r.maxThroughputKBps},
        {"notifyArchival", r.notifyArchival},
        {"displayText", U8(item.Text())},
    };
}

// A limit shown as its value when in force, "none" otherwise.
std::string Limit(std::uint32_t value) {
    return value == 0 ? "none" : std::to_string(value);
}

std::string Delivery(const ResourceRecord& r) {
    std::string text;
    if (r.unicast) {
        text = "unicast";
    }
    if (r.multicast) {
        text += text.empty() ? "" : "+";
        text += "multicast " + U8(r.multicastGroup);
    }
    return text.empty() ? "-" : text;
}

// Left-aligned columns padded by display width in code points, which is good enough for a
// terminal table of names and paths.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    auto width = [](const std::string& s) {
        return std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; });
    };
    std::vector<std::ptrdiff_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], width(row[i]));
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - width(row[i]) + 2, ' ');
            }
        }
        out << "  " << line << '\n';
    }
}

}  // namespace

nlohmann::ordered_json ConfigReportJson(const ConfigStore& store, AuthMethod defaultAuthMethod) {
    Json resources = Json::array();
    for (const CatalogueItem* branch :
         {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            resources.push_back(ResourceJson(*child));
        }
    }
    Json report;
    report["version"] = store.LoadedVersion() ? Json(*store.LoadedVersion()) : Json(nullptr);
    report["serverConfig"] = ServerConfigJson(store.Server(), defaultAuthMethod);
    report["resources"] = std::move(resources);
    return report;
}

std::string ConfigReportText(const ConfigStore& store, AuthMethod defaultAuthMethod) {
    const ServerConfig& c = store.Server();
    std::ostringstream out;
    out << "File: " << (store.ConfigPath().empty() ? "(not located)" : store.ConfigPath()) << '\n';
    out << "Version: "
        << (store.LoadedVersion() ? std::to_string(*store.LoadedVersion()) : "none (no file read)")
        << "\n\nServer settings\n";
    auto limitText = [](bool on, std::uint32_t value) {
        return on ? std::to_string(value) : std::string("none");
    };
    PrintTable(
        out,
        {
            {"Player port", U8(c.playerPort)},
            {"Live source port", U8(c.liveSourcePort)},
            {"Network interface", U8(c.networkInterface)},
            {"Max connections", limitText(c.limitConnections, c.maxConnections)},
            {"Max connections per user",
             limitText(c.limitConnectionsPerUser, c.maxConnectionsPerUser)},
            {"Max anonymous connections",
             limitText(c.limitAnonymousConnections, c.maxAnonymousConnections)},
            {"Max throughput (kB/s)", limitText(c.limitThroughput, c.maxThroughputKBps)},
            {"Logging mode", std::to_string(c.loggingMode)},
            {"Logging component", c.loggingProgId.empty() ? "none" : U8(c.loggingProgId)},
            {"Default authentication",
             U8(AccessibilityText(defaultAuthMethod, AllUsers, defaultAuthMethod))},
            {"Archival password", c.archivalPassword.empty() ? "not set" : "set"},
            {"Archival server", c.archivalServerAddress.empty()
                                    ? "none"
                                    : U8(c.archivalServerAddress) + ":" + U8(c.archivalServerPort)},
        });
    for (const CatalogueItem* branch :
         {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
        out << '\n' << U8(branch->Text()) << " (" << branch->Children().size() << ")\n";
        if (branch->Children().empty()) {
            continue;
        }
        std::vector<std::vector<std::string>> rows{{"Name", "Path", "Accessibility", "Delivery",
                                                    "Limits (conn/user/kB/s)", "Description"}};
        for (const auto& child : branch->Children()) {
            const ResourceRecord& r = child->Record();
            rows.push_back({U8(child->Text()), U8(SourceText(r)),
                            U8(AccessibilityText(r.authMethod, r.userGroups, defaultAuthMethod)),
                            Delivery(r),
                            Limit(r.maxConnections) + "/" + Limit(r.maxConnectionsPerUser) + "/" +
                                Limit(r.maxThroughputKBps),
                            U8(r.description)});
        }
        PrintTable(out, rows);
    }
    return out.str();
}

}  // namespace vantor
