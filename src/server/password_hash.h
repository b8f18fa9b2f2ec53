#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Shown when the digest cannot be computed.
inline constexpr std::u16string_view EncryptPasswordFailedText =
    u"Error encrypting password. Reinstall the program!";

// The stored form of a password: the SHA-1 digest of its Windows-1252 bytes ('?' for characters
// the code page cannot hold, no terminating zero), as 40 lowercase hexadecimal digits. hashText is
// emptied first and stays empty when a step of the digest fails (false).
bool HashPassword(std::u16string_view password, std::u16string& hashText);

}  // namespace vantor
