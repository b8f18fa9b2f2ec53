#include "cli/document_commands.h"

#include <algorithm>
#include <fstream>
#include <future>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/document_restrictions.h"
#include "cli/headless_services.h"
#include "cli/linux_session_platform.h"
#include "cli/live_commands.h"
#include "cli/restrictions_command.h"
#include "config/ascii_case.h"
#include "config/catalogue.h"
#include "config/config_document.h"
#include "config/resource_texts.h"
#include "config/text_codec.h"
#include "editors/delegate_editor_model.h"
#include "editors/folder_editor_model.h"
#include "editors/live_editor_model.h"
#include "editors/live_type_chooser_model.h"
#include "editors/resource_rules.h"
#include "monitor/add_address_model.h"
#include "monitor/delegate_restrictions_model.h"
#include "monitor/resource_disconnect.h"
#include "monitor/restrictions_document.h"
#include "platform/linux_whole_file.h"
#include "platform/rebroadcast_support.h"
#include "server/installation_paths.h"
#include "server/server_properties_model.h"
#include "ui/resource_commands.h"

namespace vantor {
namespace {

// What applying one resource of the document comes to.
struct ResourceStep {
    const DocumentResource* source = nullptr;  // nothing for a prune
    CatalogueItem* item = nullptr;             // the resource as it is; nothing for a new one
    ResourceRecord after;
    std::vector<DocumentField> changed;
};

struct Refusal {
    std::size_t line = 0;  // 0: on no line (a resource the document leaves out)
    std::u16string name;
    std::u16string message;
};

std::string Quoted(const std::u16string& name) {
    ResourceRecord record;
    record.name = name;
    return FieldValueText(record, DocumentField::Name);
}

std::string KindWord(const ResourceRecord& record) {
    return record.kind == ResourceKind::VirtualFolder ? "folder" : "live";
}

// The record a new resource of that kind starts from: what its editor's OK gives with nothing
// changed.
ResourceRecord NewRecord(const DocumentResource& resource) {
    ResourceRecord record;
    if (resource.record.kind == ResourceKind::VirtualFolder) {
        ApplyFolderForm(FolderForm{}, record);
    } else {
        const DocumentLiveType type = resource.type.value_or(DocumentLiveType::Static);
        if (type == DocumentLiveType::Delegate) {
            ApplyBroadcastForm(DelegateForm{}, record);
        } else {
            ApplyBroadcastForm(
                NewLiveForm(type == DocumentLiveType::Dynamic ? LiveType::Dynamic
                            : type == DocumentLiveType::Mms   ? LiveType::MmsRebroadcast
                                                              : LiveType::Static),
                record);
        }
    }
    // The editors leave the multicast group to be reserved when they open.
    record.multicastGroup.clear();
    return record;
}

std::string QuotedText(const std::u16string& text) {
    return Quoted(text);
}

class Planner {
public:
    // prune: the resources the document leaves out are to be deleted, so the planner notes
    // which it names.
    Planner(ConfigSession& session, bool rebroadcastAvailable, bool prune)
        : session_(session), rebroadcastAvailable_(rebroadcastAvailable), prune_(prune) {
        // Indexed once: a document names every resource, and a catalogue may hold 100,000. The
        // names are not copied; the catalogue stays as it is until the plan is made.
        Catalogue& catalogue = session_.Store().Resources();
        for (CatalogueItem* branch : {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
            exact_.reserve(exact_.size() + branch->Children().size());
            for (const auto& child : branch->Children()) {
                exact_.emplace(child->Record().name, child.get());
            }
        }
    }

    std::vector<ResourceStep> steps;
    std::vector<Refusal> refusals;

    void Plan(const DocumentResource& resource) {
        CatalogueItem* item = Find(resource.record.name);
        const std::u16string& name = resource.record.name;
        if (item != nullptr && item->Record().kind != resource.record.kind) {
            refusals.push_back({resource.line, name, std::u16string(NameExistsMessage)});
            return;
        }
        if (item != nullptr && prune_) {
            matched_.insert(item);
        }
        // Most resources of a large document are as the file has them: seen without a copy.
        if (item != nullptr && ChangesNothing(resource, item->Record())) {
            return;
        }
        ResourceRecord desired = item != nullptr ? item->Record() : NewRecord(resource);
        ApplyGivenFields(resource, desired);
        if (item != nullptr && desired.multicastGroup.empty()) {
            // Left empty: the group it has stays, as the editor keeps it.
            desired.multicastGroup = item->Record().multicastGroup;
        }
        if (item != nullptr && desired == item->Record()) {
            return;
        }
        if (resource.type && item != nullptr &&
            LiveTypeOfRecord(item->Record()) != *resource.type) {
            refusals.push_back({resource.line, name,
                                Utf8ToUtf16(Utf16ToUtf8(item->Record().name) + " is a " +
                                            LiveTypeWord(LiveTypeOfRecord(item->Record())) +
                                            " live broadcast, not " + LiveTypeWord(*resource.type) +
                                            TypeFixedText)});
            return;
        }
        ResourceRecord after = desired;
        if (std::u16string message = RunEditor(item, desired, resource, after); !message.empty()) {
            refusals.push_back({resource.line, name, std::move(message)});
            return;
        }
        if (item != nullptr) {
            if (after == item->Record()) {
                return;
            }
            if (std::u16string message = MulticastBlock(*item, after); !message.empty()) {
                refusals.push_back({resource.line, name, std::move(message)});
                return;
            }
        }
        ResourceStep step{
            .source = &resource, .item = item, .after = std::move(after), .changed = {}};
        if (item != nullptr) {
            step.changed = DifferentFields(item->Record(), step.after);
        }
        steps.push_back(std::move(step));
    }

    // The resources the document leaves out, deleted as the Delete command does.
    void Prune() {
        Catalogue& catalogue = session_.Store().Resources();
        for (CatalogueItem* branch : {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
            for (const auto& child : branch->Children()) {
                if (matched_.contains(child.get())) {
                    continue;
                }
                if (std::u16string message = Blocked(*child, DeleteWhileMulticastingText);
                    !message.empty()) {
                    refusals.push_back({0, child->Record().name, std::move(message)});
                    continue;
                }
                steps.push_back(
                    {.source = nullptr, .item = child.get(), .after = {}, .changed = {}});
            }
        }
    }

private:
    // As FindByName: the exact name first, else the first that differs only in ASCII case.
    CatalogueItem* Find(const std::u16string& name) const {
        if (const auto exact = exact_.find(name); exact != exact_.end()) {
            return exact->second;
        }
        if (folded_.empty()) {
            // Only a name not found as it stands needs the names told apart by case.
            Catalogue& catalogue = session_.Store().Resources();
            for (CatalogueItem* branch :
                 {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
                for (const auto& child : branch->Children()) {
                    folded_.emplace(child->Record().name, child.get());
                }
            }
        }
        const auto folded = folded_.find(name);
        return folded == folded_.end() ? nullptr : folded->second;
    }

    // Opens an editor model and presses OK: empty when it accepted the form, else the first
    // refusal, after which the editor is cancelled (giving back a group it reserved).
    template <typename Model>
    static std::u16string OpenAndAccept(Model& model) {
        std::u16string message = model.OnOpen();
        if (message.empty()) {
            message = model.OnOk();
        }
        if (!message.empty()) {
            model.OnCancel();
        }
        return message;
    }

    // Opens the resource's editor on the document's settings and presses OK; empty when it was
    // accepted, and then after holds the record the editor's form makes.
    std::u16string RunEditor(CatalogueItem* item, const ResourceRecord& desired,
                             const DocumentResource& resource, ResourceRecord& after) {
        const std::u16string openingName = item != nullptr ? item->Record().name : u"";
        MulticastTable& multicast = session_.Multicast();
        const Catalogue& catalogue = session_.Store().Resources();
        const AuthMethod& method = session_.DefaultAuthMethod();
        if (desired.kind == ResourceKind::VirtualFolder) {
            FolderForm form = FolderFormFromRecord(desired);
            form.openingName = openingName;
            FolderEditorModel model(
                item != nullptr ? FolderEditorMode::Update : FolderEditorMode::Create, form,
                multicast, catalogue, method);
            if (std::u16string message = OpenAndAccept(model); !message.empty()) {
                return message;
            }
            ApplyFolderForm(model.Form(), after);
            // The editor clears what it does not show; the document may still ask for it, as
            // a dump of a file that holds it does.
            if (resource.Has(DocumentField::PlayTimeLimit)) {
                after.playTimeLimit = desired.playTimeLimit;
            }
            if (resource.Has(DocumentField::AllowDelegates)) {
                after.allowDelegates = desired.allowDelegates;
            }
            if (resource.Has(DocumentField::NotifyArchival)) {
                after.notifyArchival = desired.notifyArchival;
            }
            return {};
        }
        const DocumentLiveType type = resource.type.value_or(LiveTypeOfRecord(desired));
        if (type == DocumentLiveType::Delegate) {
            DelegateForm form = DelegateFormFromRecord(desired);
            form.openingName = openingName;
            DelegateEditorModel model(
                item != nullptr ? DelegateEditorMode::Update : DelegateEditorMode::Create, form,
                multicast, catalogue, method, {});
            if (std::u16string message = OpenAndAccept(model); !message.empty()) {
                return message;
            }
            ApplyBroadcastForm(model.Form(), after);
            return {};
        }
        const LiveType liveType = type == DocumentLiveType::Dynamic ? LiveType::Dynamic
                                  : type == DocumentLiveType::Mms   ? LiveType::MmsRebroadcast
                                                                    : LiveType::Static;
        if (item == nullptr) {
            // A new broadcast's type is chosen first; the chooser may not offer it.
            LiveTypeChooserModel chooser(rebroadcastAvailable_);
            chooser.OnTypeSelected(liveType);
            if (chooser.OnOk() != liveType) {
                return Utf8ToUtf16(RebroadcastUnavailableText);
            }
        }
        LiveForm form = LiveFormFromRecord(desired);
        const LiveForm typed = NewLiveForm(liveType);
        form.addressed = typed.addressed;
        form.mms = typed.mms;
        form.openingName = openingName;
        LiveEditorModel model(item != nullptr ? LiveEditorMode::Update : LiveEditorMode::Create,
                              form, multicast, catalogue, method, {});
        if (std::u16string message = OpenAndAccept(model); !message.empty()) {
            return message;
        }
        ApplyBroadcastForm(model.Form(), after);
        return {};
    }

    // The warning a folder's running multicast gives a command, as the resource commands ask
    // the server; empty when nothing blocks it.
    std::u16string Blocked(const CatalogueItem& item, std::u16string_view multicastingText) {
        const ResourceRecord& record = item.Record();
        if (session_.State() != ServerState::Running ||
            record.kind != ResourceKind::VirtualFolder || !record.playlist || !record.multicast) {
            return {};
        }
        const std::optional<MulticastStatusResult> status =
            QueryFolderMulticastStatus(session_.Automation(), record.name);
        if (!status) {
            return {};
        }
        if (status->result == AutomationCallTimedOut) {
            return std::u16string(MulticastUnknownText);
        }
        return status->result == SOk ? std::u16string(multicastingText) : std::u16string();
    }

    std::u16string MulticastBlock(const CatalogueItem& item, const ResourceRecord& after) {
        const ResourceRecord& before = item.Record();
        if (after.name != before.name || after.source != before.source ||
            after.multicast != before.multicast) {
            if (std::u16string message = Blocked(item, EditWhileMulticastingText);
                !message.empty()) {
                return message;
            }
        }
        if (after.enabled != before.enabled) {
            return Blocked(item, DisableWhileMulticastingText);
        }
        return {};
    }

    ConfigSession& session_;
    bool rebroadcastAvailable_;
    bool prune_;
    // emplace keeps the first of equal keys, which is the tree's first.
    std::unordered_map<std::u16string_view, CatalogueItem*> exact_;
    mutable std::unordered_map<std::u16string_view, CatalogueItem*, AsciiCaseHash, AsciiCaseEqual>
        folded_;
    std::unordered_set<const CatalogueItem*> matched_;
};

// The server properties dialog's OK checks, in its order, on the settings the document asks
// for.
std::u16string CheckServer(const ServerConfig& server) {
    if (std::u16string message = CheckServerPorts(server.playerPort, server.liveSourcePort);
        !message.empty()) {
        return message;
    }
    const std::pair<ServerLimit, std::pair<bool, std::uint32_t>> limits[] = {
        {ServerLimit::TotalConnections, {server.limitConnections, server.maxConnections}},
        {ServerLimit::ConnectionsPerUser,
         {server.limitConnectionsPerUser, server.maxConnectionsPerUser}},
        {ServerLimit::AnonymousConnections,
         {server.limitAnonymousConnections, server.maxAnonymousConnections}},
        {ServerLimit::Throughput, {server.limitThroughput, server.maxThroughputKBps}},
    };
    for (const auto& [limit, setting] : limits) {
        if (!setting.first) {
            continue;
        }
        const LimitTextReading read =
            ReadServerLimitText(limit, Utf8ToUtf16(std::to_string(setting.second)));
        if (!read.message.empty()) {
            return read.message;
        }
    }
    return {};
}

// Output kept back until Release(), then passed straight on; dropped when never released.
class HeldOutput : public std::streambuf {
public:
    explicit HeldOutput(std::ostream& target) : target_(target) {}

    void Release() {
        released_ = true;
        target_ << held_;
        held_.clear();
    }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char ch = traits_type::to_char_type(c);
            xsputn(&ch, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (released_) {
            target_.write(text, count);
        } else {
            held_.append(text, static_cast<std::size_t>(count));
        }
        return count;
    }

private:
    std::ostream& target_;
    std::string held_;
    bool released_ = false;
};

// A limit that is off is stored as 0, so that is what the document compares with.
ServerConfig AsSaved(ServerConfig server) {
    if (!server.limitConnectionsPerUser) {
        server.maxConnectionsPerUser = 0;
    }
    if (!server.limitAnonymousConnections) {
        server.maxAnonymousConnections = 0;
    }
    return server;
}

}  // namespace

int RunDump(const DumpOptions& options, SessionPlatform& platform, std::ostream& out,
            std::ostream& err) {
    ConfigSession session(options.session, platform, err);
    if (!NamedFileExists(options.session, platform.files, err) || !session.Open()) {
        return ExitFailure;
    }
    std::optional<DocumentRestrictions> restrictions;
    if (const auto locate = RestrictionsAt(options.restrictions, options.session, platform)) {
        StreamPrompter shown(err);
        RestrictionsDialog dialog(platform.files, *locate, shown);
        if (const std::string why = dialog.Load(platform.files, false); why.empty()) {
            restrictions = RestrictionsOf(dialog.model);
        } else {
            // The configuration is still worth having; apply then leaves the file alone.
            err << "vantorctl: note: the restrictions are left out: " << why << '\n';
        }
    }
    // Written as it is made: a large document is never held whole.
    WriteConfigDocument(AsSaved(session.Store().Server()), session.DefaultAuthMethod(),
                        session.Store().Resources(), restrictions ? &*restrictions : nullptr,
                        options.format == "json" ? DocumentFormat::Json : DocumentFormat::Yaml,
                        [&out](std::string_view piece) {
                            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                        });
    return ExitOk;
}

int RunApply(const ApplyOptions& options, SessionPlatform& platform, std::istream& in,
             std::ostream& out, std::ostream& err) {
    const std::string& docName = options.document;
    // The document is read on a thread of its own while the configuration is opened: for a
    // large one each takes about as long as the other.
    std::future<DocumentReading> reading = std::async(std::launch::async, [&docName, &in] {
        if (docName == "-") {
            return ReadConfigDocument(in);
        }
        // Held whole, a large document is read on every core; a pipe is read as it comes.
        WholeFile::Status status = WholeFile::Status::Read;
        if (const auto whole = WholeFile::Read(docName, status)) {
            return ReadConfigDocument(whole->Text());
        }
        std::ifstream file(docName, std::ios::binary);
        if (status != WholeFile::Status::NotRegular || !file) {
            DocumentReading none;
            none.unreadable = true;
            return none;
        }
        return ReadConfigDocument(file);
    });
    // What opening says waits until the document is known to be readable; otherwise the
    // document's errors are all there is to say.
    HeldOutput held(err);
    std::ostream sessionErr(&held);
    ConfigSession session(options.session, platform, sessionErr);
    const bool opened = session.Open();
    std::optional<Planner> planner;
    if (opened) {
        planner.emplace(session, options.rebroadcastAvailable, options.prune);
    }
    const DocumentReading read = reading.get();
    if (read.unreadable) {
        err << "vantorctl: " << docName << ": cannot be read\n";
        return ExitUsage;
    }
    if (!read.errors.empty()) {
        for (const DocumentError& error : read.errors) {
            err << docName << ':' << error.line << ':' << error.column << ": " << error.message
                << '\n';
        }
        return ExitUsage;
    }
    held.Release();
    if (!opened) {
        return ExitFailure;
    }
    const ConfigDocument& document = read.document;
    ConfigStore& store = session.Store();
    for (const auto* list : {&document.folders, &document.live}) {
        for (const DocumentResource& resource : *list) {
            planner->Plan(resource);
        }
    }
    if (options.prune) {
        planner->Prune();
    }

    const ServerConfig serverBefore = AsSaved(store.Server());
    const AuthMethod methodBefore = session.DefaultAuthMethod();
    ServerConfig serverAfter = serverBefore;
    AuthMethod methodAfter = methodBefore;
    if (document.server) {
        ApplyGivenServerFields(*document.server, serverAfter, methodAfter);
        serverAfter = AsSaved(serverAfter);
    }
    const std::vector<ServerField> serverChanged =
        DifferentServerFields(serverBefore, methodBefore, serverAfter, methodAfter);
    if (!serverChanged.empty()) {
        if (std::u16string message = CheckServer(serverAfter); !message.empty()) {
            planner->refusals.push_back({document.server->line, u"server", std::move(message)});
        }
    }

    std::unique_ptr<RestrictionsDialog> restrictions;
    RestrictionsStep restrictionsStep;
    DocumentRestrictions restrictionsNow;
    if (document.restrictions) {
        const DocumentRestrictions& asked = *document.restrictions;
        const auto refuse = [&](std::string why) {
            planner->refusals.push_back({asked.line, u"restrictions", Utf8ToUtf16(why)});
        };
        const auto locate = RestrictionsAt(options.restrictions, options.session, platform);
        if (!locate) {
            err << RestrictionsLeftAloneText << '\n';
        } else {
            restrictions =
                std::make_unique<RestrictionsDialog>(platform.files, *locate, session.Prompter());
            if (std::string why = restrictions->Load(platform.files, true); !why.empty()) {
                refuse(std::move(why));
            } else {
                restrictionsNow = RestrictionsOf(restrictions->model);
                DocumentRestrictions wanted = asked;
                if (!asked.modeGiven) {
                    wanted.mode = restrictionsNow.mode;
                }
                if (!asked.exceptionsGiven) {
                    wanted.exceptions = restrictionsNow.exceptions;
                }
                if (!asked.allowedGiven) {
                    wanted.allowed = restrictionsNow.allowed;
                }
                // Addresses are stored trimmed, as the add dialog stores them.
                bool blank = false;
                for (auto* list : {&wanted.exceptions, &wanted.allowed}) {
                    for (std::u16string& address : *list) {
                        address = TrimAddress(address);
                        blank = blank || address.empty();
                    }
                }
                if (blank) {
                    refuse(WithoutProgramName(NoAddressText));
                } else if (wanted.mode == AllowedListModeText && wanted.allowed.empty()) {
                    refuse(WithoutProgramName(AllowedListEmptyText));
                } else {
                    restrictionsStep = PlanRestrictions(restrictionsNow, wanted);
                }
            }
        }
    }

    if (!planner->refusals.empty()) {
        for (const Refusal& refusal : planner->refusals) {
            // A resource pruned is on no line of the document.
            err << docName;
            if (refusal.line != 0) {
                err << ':' << refusal.line;
            }
            err << ": " << Utf16ToUtf8(refusal.name) << ": " << Utf16ToUtf8(refusal.message)
                << '\n';
        }
        return ExitFailure;
    }

    std::ostringstream plan;
    for (const ResourceStep& step : planner->steps) {
        if (step.source == nullptr) {
            plan << "- " << KindWord(step.item->Record()) << ' ' << Quoted(step.item->Record().name)
                 << '\n';
        } else if (step.item == nullptr) {
            plan << "+ " << KindWord(step.after) << ' ' << Quoted(step.after.name) << '\n';
        } else {
            for (const DocumentField field : step.changed) {
                plan << "~ " << KindWord(step.after) << ' ' << Quoted(step.item->Record().name)
                     << ": " << FieldKey(field) << ": "
                     << FieldValueText(step.item->Record(), field) << " -> "
                     << FieldValueText(step.after, field) << '\n';
            }
        }
    }
    for (const ServerField field : serverChanged) {
        plan << "~ server: " << ServerFieldKey(field) << ": "
             << ServerFieldValueText(serverBefore, methodBefore, field) << " -> "
             << ServerFieldValueText(serverAfter, methodAfter, field) << '\n';
    }
    for (const RestrictionsStep::Row& row : restrictionsStep.removals) {
        plan << "- restrictions: " << ListKey(row.list) << ": " << QuotedText(row.address) << '\n';
    }
    for (const RestrictionsStep::Row& row : restrictionsStep.additions) {
        plan << "+ restrictions: " << ListKey(row.list) << ": " << QuotedText(row.address) << '\n';
    }
    if (restrictionsStep.mode) {
        plan << "~ restrictions: mode: " << restrictionsNow.mode << " -> "
             << ModeText(*restrictionsStep.mode) << '\n';
    }
    const bool configChanges = !planner->steps.empty() || !serverChanged.empty();
    const bool changes = configChanges || !restrictionsStep.Empty();
    if (options.check) {
        out << plan.str();
        return changes ? ExitChangesPlanned : ExitOk;
    }
    if (!changes) {
        return ExitOk;
    }

    // Everything was accepted: memory becomes the document, then one write and one reload.
    Catalogue& catalogue = store.Resources();
    const bool running = session.State() == ServerState::Running;
    std::vector<std::pair<std::u16string, bool>> disconnects;
    for (ResourceStep& step : planner->steps) {
        if (step.source == nullptr) {
            const ResourceRecord& record = step.item->Record();
            disconnects.emplace_back(record.name, record.kind == ResourceKind::VirtualFolder);
            catalogue.RemoveItem(*step.item);
        } else if (step.item == nullptr) {
            catalogue.InsertResourceItem(std::move(step.after));
        } else {
            if (step.after.enabled != step.item->Record().enabled) {
                // As switching it on or off does: the players connected before are dropped.
                disconnects.emplace_back(step.after.name,
                                         step.after.kind == ResourceKind::VirtualFolder);
            }
            step.item->Record() = std::move(step.after);
            catalogue.SetItemText(*step.item, DisplayText(step.item->Record()));
        }
    }
    store.Server() = serverAfter;
    session.DefaultAuthMethod() = methodAfter;
    if (configChanges) {
        // As the Delete and switch commands do: the players go before the server reloads.
        if (running) {
            for (const auto& [name, isFolder] : disconnects) {
                DisconnectResourceUsers(session.Automation(), name, isFolder);
            }
        }
        const SaveOutcome outcome = store.SaveConfiguration();
        if (outcome != SaveOutcome::Saved && outcome != SaveOutcome::Merged) {
            return ExitFailure;
        }
    }
    if (!restrictionsStep.Empty()) {
        const bool saved =
            PlayRestrictions(*restrictions, restrictionsStep, ModeNamed(restrictionsNow.mode),
                             session.Automation(), err);
        if (!saved) {
            return ExitFailure;
        }
    }
    out << plan.str();
    return session.ExitCode();
}

void AddDocumentCommands(CommandTable& table) {
    auto dump = std::make_shared<DumpOptions>();
    CLI::App* dumpCommand =
        table.Add("dump", "Print the whole configuration as a YAML (or JSON) document", [dump] {
            LinuxSessionPlatform system;
            return RunDump(*dump, system.platform, std::cout, std::cerr);
        });
    dumpCommand->add_option("--format", dump->format, "yaml (default) or json")
        ->check(CLI::IsMember({"yaml", "json"}));
    dumpCommand->add_option("--file", dump->session.file,
                            "config.vtr to read (default: the located one)");
    dumpCommand->add_option("--restrictions", dump->restrictions,
                            "Restrictions file to read (default: the located one, none with "
                            "--file)");

    auto apply = std::make_shared<ApplyOptions>();
    CLI::App* applyCommand =
        table.Add("apply", "Make the configuration equal to a document, all or nothing", [apply] {
            apply->rebroadcastAvailable = MmsRebroadcastSupported();
            LinuxSessionPlatform system;
            return RunApply(*apply, system.platform, std::cin, std::cout, std::cerr);
        });
    applyCommand->add_option("DOC", apply->document, "The document, or - for standard input")
        ->required();
    applyCommand->add_flag("--check", apply->check,
                           "Print the plan and write nothing (exit 3 when changes are planned)");
    applyCommand->add_flag("--prune", apply->prune, "Delete the resources the document leaves out");
    applyCommand->add_option(
        "--file", apply->session.file,
        "config.vtr to change (default: the located one); the server is not told");
    applyCommand->add_option("--restrictions", apply->restrictions,
                             "Restrictions file to change (default: the located one, none with "
                             "--file)");
}

}  // namespace vantor
