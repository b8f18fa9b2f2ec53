#include "editors/config_check.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

#include "config/ascii_case.h"
#include "config/config_file.h"
#include "config/decimal_reader.h"
#include "config/multicast_table.h"
#include "config/text_codec.h"
#include "editors/access_panel.h"
#include "editors/broadcast_form.h"
#include "editors/delegate_editor_model.h"
#include "editors/folder_editor_model.h"
#include "editors/limits_panel.h"
#include "editors/live_editor_model.h"
#include "editors/multicast_group_field.h"
#include "editors/remote_link.h"
#include "editors/resource_rules.h"
#include "platform/directory_reader.h"
#include "server/server_properties_model.h"

namespace vantor {
namespace {

constexpr std::u16string_view DynamicPrefix = u"0@";
constexpr std::size_t HashTextLength = 40;

// The dialogs show stored numbers as signed decimals and read them back from that text.
std::u16string ShownNumber(std::uint32_t value) {
    return DecimalText(static_cast<std::int32_t>(value));
}

bool IsHashText(std::u16string_view text) {
    return text.size() == HashTextLength && std::ranges::all_of(text, [](char16_t c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

std::u16string FoldedName(std::u16string_view name) {
    std::u16string folded(name);
    std::ranges::transform(folded, folded.begin(), AsciiLower);
    return folded;
}

// Collects the findings of one subject.
class FindingList {
public:
    FindingList(std::vector<ConfigFinding>& findings, FindingSubject subject,
                std::u16string_view name)
        : findings_(findings), subject_(subject), name_(name) {}

    void Add(std::u16string message) {
        if (!message.empty()) {
            findings_.push_back({subject_, std::u16string(name_), std::move(message)});
        }
    }

private:
    std::vector<ConfigFinding>& findings_;
    FindingSubject subject_;
    std::u16string_view name_;
};

class ConfigChecker {
public:
    ConfigChecker(const ConfigFileContents& contents, DirectoryReader& directories)
        : contents_(contents), directories_(directories) {}

    std::vector<ConfigFinding> Run() {
        CheckServer();
        for (const ResourceRecord& record : contents_.records) {
            CheckResource(record);
        }
        return std::move(findings_);
    }

private:
    void CheckServer() {
        const ServerConfig& server = contents_.server;
        FindingList list(findings_, FindingSubject::Server, {});
        list.Add(CheckServerPorts(server.playerPort, server.liveSourcePort));
        const struct {
            ServerLimit limit;
            bool enabled;
            std::uint32_t value;
        } limits[] = {
            {ServerLimit::TotalConnections, server.limitConnections, server.maxConnections},
            {ServerLimit::ConnectionsPerUser, server.limitConnectionsPerUser,
             server.maxConnectionsPerUser},
            {ServerLimit::AnonymousConnections, server.limitAnonymousConnections,
             server.maxAnonymousConnections},
            {ServerLimit::Throughput, server.limitThroughput, server.maxThroughputKBps},
        };
        for (const auto& each : limits) {
            if (each.enabled) {
                list.Add(ReadServerLimitText(each.limit, ShownNumber(each.value)).message);
            }
        }
    }

    void CheckResource(const ResourceRecord& record) {
        const bool folder = record.kind == ResourceKind::VirtualFolder;
        FindingList list(findings_,
                         folder ? FindingSubject::VirtualFolder : FindingSubject::LiveBroadcast,
                         record.name);
        CheckName(record.name, folder, list);
        if (folder) {
            CheckFolderPath(record.source, list);
        } else {
            CheckLiveSource(record.source, list);
        }
        // The panels show only the three group boxes, so other bits read back as none.
        list.Add(AccessPanel::CheckGroups(record.authMethod, record.userGroups & AllUsers,
                                          contents_.defaultAuthMethod));
        if (!folder && record.playTimeLimit != -1) {
            list.Add(
                LimitsPanel::ReadPairText(LimitPair::PlayTime, DecimalText(record.playTimeLimit))
                    .message);
        }
        list.Add(CheckDelivery(record.unicast, record.multicast));
        if (record.multicast) {
            CheckMulticastGroup(record.multicastGroup, list);
        }
        const std::pair<LimitPair, std::uint32_t> limits[] = {
            {LimitPair::TotalConnections, record.maxConnections},
            {LimitPair::ConnectionsPerUser, record.maxConnectionsPerUser},
            {LimitPair::Throughput, record.maxThroughputKBps},
        };
        for (const auto& [pair, value] : limits) {
            if (value != 0) {  // 0 is no limit
                list.Add(LimitsPanel::ReadPairText(pair, ShownNumber(value)).message);
            }
        }
    }

    void CheckName(const std::u16string& name, bool folder, FindingList& list) {
        const NameMessages messages = folder ? NameMessages{FolderEditorModel::kNoNameMessage,
                                                            FolderEditorModel::kBadNameMessage}
                                             : NameMessages{BroadcastSettings::kNoNameMessage,
                                                            BroadcastSettings::kBadNameMessage};
        if (std::u16string message = CheckNameText(name, messages); !message.empty()) {
            list.Add(std::move(message));
            return;
        }
        // The first resource stored under a name keeps it; the ones after it clash.
        if (!names_.insert(FoldedName(name)).second) {
            list.Add(std::u16string(NameExistsMessage));
        }
    }

    void CheckFolderPath(const std::u16string& path, FindingList& list) {
        if (path.empty()) {
            list.Add(std::u16string(FolderEditorModel::kNoPathMessage));
            return;
        }
        const std::string folder = Utf16ToUtf8(path);
        if (!directories_.ReadDirectory(folder)) {
            const bool exists = directories_.Exists(folder);
            list.Add(std::u16string(exists ? FolderUnreadableMessage : FolderMissingMessage) +
                     path);
        }
    }

    void CheckLiveSource(const std::u16string& source, FindingList& list) {
        switch (LiveTypeOfSource(source)) {
            case LiveType::Static:
                CheckStaticSource(source, list);
                return;
            case LiveType::MmsRebroadcast:
                list.Add(LiveEditorModel::CheckSourceFields(LiveType::MmsRebroadcast, source, -1,
                                                            source));
                return;
            case LiveType::Dynamic:
                CheckDynamicPassword(source, list);
                return;
            case LiveType::Delegate:
                CheckRemoteLink(source, list);
                return;
        }
    }

    static void CheckStaticSource(std::u16string_view source, FindingList& list) {
        // A link that is not "mms://" reads as a static source; it is a mistyped link.
        if (source.find(u"://") != std::u16string_view::npos) {
            list.Add(std::u16string(LiveEditorModel::kBadMmsLinkMessage));
            return;
        }
        const LiveEditorModel::StaticSourceFields fields =
            LiveEditorModel::SplitStaticSource(source);
        list.Add(LiveEditorModel::CheckSourceFields(LiveType::Static, fields.address,
                                                    fields.idIndex, source));
    }

    static void CheckDynamicPassword(std::u16string_view source, FindingList& list) {
        // The dialog only asks for a password to have been set; the server needs its hash.
        const std::u16string_view hash =
            source.starts_with(DynamicPrefix) ? source.substr(DynamicPrefix.size()) : u"";
        if (hash.empty()) {
            list.Add(LiveEditorModel::CheckSourceFields(LiveType::Dynamic, {}, -1, hash));
        } else if (!IsHashText(hash)) {
            list.Add(std::u16string(BadPasswordHashMessage));
        }
    }

    static void CheckRemoteLink(std::u16string_view link, FindingList& list) {
        const RemoteLinkParts parts = DelegateEditorModel::ShownRemoteLink(link);
        if (std::u16string message =
                DelegateEditorModel::CheckRemoteFields(parts.alias, parts.address, parts.port);
            !message.empty()) {
            list.Add(std::move(message));
            return;
        }
        // What the dialog shows would be saved back differently: the server reads it otherwise.
        if (ComposeRemoteLink(parts.alias, parts.address, parts.port, parts.protocol) != link) {
            list.Add(std::u16string(BadRemoteLinkMessage));
        }
    }

    void CheckMulticastGroup(const std::u16string& group, FindingList& list) {
        if (std::u16string message = CheckGroupText(group); !message.empty()) {
            list.Add(std::move(message));
            return;
        }
        std::u16string registered = group;
        std::u16string message;
        if (!multicast_.Register(registered, message)) {
            list.Add(std::move(message));
        }
    }

    const ConfigFileContents& contents_;
    DirectoryReader& directories_;
    std::vector<ConfigFinding> findings_;
    std::unordered_set<std::u16string> names_;  // ASCII letters folded to lower case
    MulticastTable multicast_;                  // the groups of the resources checked so far
};

}  // namespace

std::vector<ConfigFinding> CheckConfiguration(const ConfigFileContents& contents,
                                              DirectoryReader& directories) {
    return ConfigChecker(contents, directories).Run();
}

}  // namespace vantor
