#include "cli/password_command.h"

#include <iostream>
#include <istream>
#include <ostream>
#include <string>
#include <utility>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "config/text_codec.h"

namespace vantor {

std::u16string ReadPasswordLine(std::istream& in) {
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return Utf8ToUtf16(line);
}

int RunPassword(std::istream& in, std::ostream& out, std::ostream& err, PasswordHasher hasher) {
    SetPasswordModel model(std::move(hasher));
    model.SetPasswordText(ReadPasswordLine(in));
    model.SetConfirmText(ReadPasswordLine(in));
    const PasswordMessage message = model.OnOk();
    if (!message.text.empty()) {
        err << Utf16ToUtf8(message.text) << '\n';
        return ExitFailure;
    }
    out << Utf16ToUtf8(model.HashText()) << '\n';
    return ExitOk;
}

void AddPasswordCommand(CommandTable& table) {
    table.Add("password",
              "Read a password and its confirmation as two lines on standard input; print its "
              "hash text",
              [] { return RunPassword(std::cin, std::cout, std::cerr); });
}

}  // namespace vantor
