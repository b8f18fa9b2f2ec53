#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/config_session.h"
#include "config/config_document.h"
#include "monitor/delegate_restrictions_model.h"
#include "monitor/restrictions_document.h"

namespace vantor {

class AutomationFactory;
class FileStore;
class Prompter;

// The delegate restrictions of a configuration document, read and made through the
// restrictions dialog's model as `vantorctl restrictions` plays it.

// Where the restrictions are: the file named, else the located one unless a config file was
// named (a test configuration is not the server's).
std::optional<RestrictionsLocator> RestrictionsAt(const std::optional<std::string>& restrictions,
                                                  const ConfigSessionOptions& session,
                                                  SessionPlatform& platform);

// A message of vantorctl's without its "vantorctl: " in front, for a DOC:LINE: refusal.
std::string WithoutProgramName(std::string_view text);

// The restrictions dialog over the file; the additions it is asked for come from pending.
struct RestrictionsDialog {
    RestrictionsDialog(FileStore& files, RestrictionsLocator locate, Prompter& prompter);

    // Loads the file as the dialog opens it (forChange: under its update lock). Empty when
    // loaded; otherwise why not.
    std::string Load(FileStore& files, bool forChange);

    DelegateRestrictionsModel model;
    std::u16string pending;
};

// What the dialog shows: the mode's stored text and both lists.
DocumentRestrictions RestrictionsOf(const DelegateRestrictionsModel& model);

// The rows to remove and add and the mode to set.
struct RestrictionsStep {
    struct Row {
        DelegateAccessMode list;
        std::u16string address;
    };
    std::vector<Row> removals;
    std::vector<Row> additions;
    std::optional<DelegateAccessMode> mode;

    bool Empty() const { return removals.empty() && additions.empty() && !mode; }
};

DelegateAccessMode ModeNamed(const std::string& text);

// The lists are compared as sets of rows: the dialog appends, so order is not the document's.
RestrictionsStep PlanRestrictions(const DocumentRestrictions& now,
                                  const DocumentRestrictions& wanted);

// The document's key of a list.
std::string ListKey(DelegateAccessMode list);

// Plays the step into the dialog (the removals, the additions, the mode, then OK) and tells
// the server once; false, with the message on err, when it was not written.
bool PlayRestrictions(RestrictionsDialog& dialog, const RestrictionsStep& step,
                      DelegateAccessMode currentMode, AutomationFactory& automation,
                      std::ostream& err);

}  // namespace vantor
