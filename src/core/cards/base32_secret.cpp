#include "core/cards/base32_secret.h"

#include <liboath/oath.h>

#include <cstdlib>

#include "core/base/secure_wipe.h"
#include "core/cards/oath_library.h"

namespace tessaline {

std::optional<std::string> DecodeBase32Secret(std::string_view base32) {
    EnsureOathLibrary();
    char* bytes = nullptr;
    std::size_t length = 0;
    const int rc = oath_base32_decode(base32.data(), base32.size(), &bytes, &length);
    if (rc != OATH_OK) {
        std::free(bytes);
        return std::nullopt;
    }
    std::optional<std::string> secret;
    if (bytes != nullptr) {
        secret.emplace(bytes, length);
        SecureWipe(bytes, length);
        std::free(bytes);
    } else {
        secret.emplace();
    }
    return secret;
}

std::string CompactBase32(std::string_view base32) {
    std::string out;
    out.reserve(base32.size());
    for (char c : base32) {
        if (c == ' ' || c == '\t')
            continue;
        out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    while (!out.empty() && out.back() == '=')
        out.pop_back();
    return out;
}

}  // namespace tessaline
