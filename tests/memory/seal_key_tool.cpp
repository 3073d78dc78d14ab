// Prints, in hexadecimal, the key that opens a sealed data file: the password is read
// from the first line of the standard input and the key derived with the file's own salt
// and settings. The memory test looks for this key in the programs' memory.
//   tessaline-seal-key FILE < password

#include <sodium.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/file/sealed_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: tessaline-seal-key FILE < password\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> data(std::istreambuf_iterator<char>(in), {});
    const std::optional<tessaline::SealedHeader> header = tessaline::ParseSealedHeader(data);
    if (!header || sodium_init() < 0) {
        std::fprintf(stderr, "tessaline-seal-key: %s is not a sealed data file\n", argv[1]);
        return 1;
    }
    std::string password;
    std::getline(std::cin, password);
    unsigned char key[tessaline::kSealKeySize];
    if (crypto_pwhash(key, sizeof key, password.data(), password.size(), header->salt.data(),
                      header->settings.opsLimit,
                      static_cast<std::size_t>(header->settings.memLimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0) {
        std::fputs("tessaline-seal-key: the key could not be derived\n", stderr);
        return 1;
    }
    for (unsigned char byte : key)
        std::printf("%02x", byte);
    std::printf("\n");
    return 0;
}
