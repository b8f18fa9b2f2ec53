#pragma once

#include <iosfwd>
#include <string>

#include "server/set_password_model.h"

namespace vantor {

class CommandTable;

// `vantorctl password`: reads a password and its confirmation as two lines of UTF-8 on in (never
// from the command line, where other users could see it), applies the "Set password" dialog's
// checks through its model and prints the hash text alone on its line to out: ExitOk. A refused
// password prints the dialog's message to err: ExitFailure. A missing line counts as empty.
int RunPassword(std::istream& in, std::ostream& out, std::ostream& err,
                PasswordHasher hasher = HashPassword);

// One line of in without its end, whether it ends in LF or CRLF, from UTF-8; empty when there is
// none. Every command that takes a password reads it this way.
std::u16string ReadPasswordLine(std::istream& in);

// Adds `password`.
void AddPasswordCommand(CommandTable& table);

}  // namespace vantor
