#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/config_session.h"

namespace vantor {

class CommandTable;

struct DumpOptions {
    std::string format = "yaml";   // yaml | json
    ConfigSessionOptions session;  // --file only
    // The delegate restrictions file; by default the located one, none with --file.
    std::optional<std::string> restrictions;
};

struct ApplyOptions {
    std::string document;                     // a path, or "-" for standard input
    bool check = false;                       // plan only, write nothing
    bool prune = false;                       // delete the resources the document leaves out
    bool rebroadcastAvailable = false;        // whether the type chooser offers MMS rebroadcasts
    ConfigSessionOptions session;             // --file only
    std::optional<std::string> restrictions;  // as DumpOptions
};

// With --file and no --restrictions the document's restrictions are not applied; said on
// standard error.
inline constexpr char RestrictionsLeftAloneText[] =
    "vantorctl: note: the restrictions are left alone with --file; give --restrictions FILE";

// `vantorctl dump`: the configuration as a document on out. ExitFailure when a named file
// cannot be read.
int RunDump(const DumpOptions& options, SessionPlatform& platform, std::ostream& out,
            std::ostream& err);

// `vantorctl apply`: makes the configuration equal to the document, each resource through its
// editor's model, all or nothing. The plan goes to out, one line per change; refusals to err as
// DOC:LINE: NAME: message. ExitOk (with --check: nothing to do), ExitChangesPlanned (--check and
// changes planned), ExitFailure (a refusal, or the save failed; nothing written) or ExitUsage
// (the document cannot be read).
int RunApply(const ApplyOptions& options, SessionPlatform& platform, std::istream& in,
             std::ostream& out, std::ostream& err);

// Adds `dump` and `apply`.
void AddDocumentCommands(CommandTable& table);

}  // namespace vantor
