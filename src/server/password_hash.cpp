#include "server/password_hash.h"

#include <memory>
#include <string>

#include <openssl/evp.h>

#include "config/text_codec.h"

namespace vantor {

bool HashPassword(std::u16string_view password, std::u16string& hashText) {
    hashText.clear();
    const std::string bytes = Utf16ToAnsi(password);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestSize = 0;
    if (context == nullptr || EVP_DigestInit_ex(context.get(), EVP_sha1(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest, &digestSize) != 1) {
        return false;
    }
    constexpr char16_t kHexDigits[] = u"0123456789abcdef";
    hashText.reserve(2 * digestSize);
    for (unsigned int i = 0; i < digestSize; ++i) {
        hashText += kHexDigits[digest[i] >> 4];
        hashText += kHexDigits[digest[i] & 0x0f];
    }
    return true;
}

}  // namespace vantor
