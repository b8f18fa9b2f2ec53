#pragma once

#include <QString>

class QTextStream;

namespace vantor {

// The variable that makes this program answer for ssh as its SSH_ASKPASS: set by a window that
// administers another machine, for the ssh it starts, so that a passphrase, a password or an
// unknown host key is asked in a dialog on the user's desktop and never kept.
inline constexpr char AskpassVariable[] = "VANTOR_ASKPASS";

// Asks what ssh's prompt asks: a yes/no question (an unknown host key, with its fingerprint in
// the prompt) as Yes and No buttons, anything else as a masked text. Writes the answer and a
// newline to out and returns 0; returns 1, writing nothing, when the user cancelled.
int RunSshAskpass(const QString& prompt, QTextStream& out);

}  // namespace vantor
