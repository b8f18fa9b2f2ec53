#pragma once

#include <string>

namespace vantor {

// The locale the user sorts text in, chosen from the environment as the C library's
// setlocale(LC_COLLATE, "") chooses it: LC_ALL, else LC_COLLATE, else LANG, the first that is
// set and not empty; "C" when none is. Reading it changes nothing in the process.
std::string LinuxCollationLocaleName();

}  // namespace vantor
