#include "core/prefs/password_generator.h"

#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/base/secure_wipe.h"

namespace tessaline {

namespace {

void AppendRange(std::string& out, char from, char to) {
    for (char c = from; c <= to; ++c)
        out.push_back(c);
}

}  // namespace

bool FillSecureRandom(std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = getrandom(data, size, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string PasswordAlphabet(const PasswordClasses& classes) {
    std::string alphabet;
    if (classes.upper)
        AppendRange(alphabet, 'A', 'Z');
    if (classes.lower)
        AppendRange(alphabet, 'a', 'z');
    if (classes.numbers)
        AppendRange(alphabet, '0', '9');
    if (classes.others) {
        AppendRange(alphabet, 33, 47);
        AppendRange(alphabet, 58, 64);
        AppendRange(alphabet, 91, 96);
        AppendRange(alphabet, 123, 126);
    }
    return alphabet;
}

std::optional<std::string> GenerateRandomPassword(const PasswordClasses& classes, int length) {
    const std::string alphabet = PasswordAlphabet(classes);
    if (alphabet.empty())
        return std::nullopt;
    length = std::clamp(length, 0, kMaxGeneratedLength);
    const auto g = static_cast<unsigned>(alphabet.size());
    // Bytes at or above the largest multiple of g are drawn again, so that every
    // character of the alphabet is equally likely.
    const unsigned limit = 256 - 256 % g;
    std::string password;
    password.reserve(static_cast<std::size_t>(length));
    std::uint8_t pool[64];
    std::size_t used = sizeof pool;
    while (static_cast<int>(password.size()) < length) {
        if (used == sizeof pool) {
            if (!FillSecureRandom(pool, sizeof pool)) {
                SecureWipe(pool, sizeof pool);
                SecureWipe(password);
                return std::nullopt;
            }
            used = 0;
        }
        const unsigned r = pool[used++];
        if (r < limit)
            password.push_back(alphabet[r % g]);
    }
    SecureWipe(pool, sizeof pool);
    return password;
}

}  // namespace tessaline
