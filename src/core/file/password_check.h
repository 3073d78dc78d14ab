#pragma once
// The file password: it is the Blowfish key itself, and its SHA-1 digest, stored at the
// start of the enciphered data, tells a right password from a wrong one.

#include <cstdint>
#include <string_view>

#include "core/file/sha1.h"

namespace tessaline {

class Blowfish;

inline constexpr std::size_t kMinPasswordLength = 8;

Sha1Digest PasswordCheckValue(std::string_view password);
// True when the 20 bytes equal the check value of the entered password.
bool VerifyPassword(std::string_view entered, const std::uint8_t* first20);
// Keys the cipher with the password's bytes. password must not be empty.
void MakeKey(Blowfish& cipher, std::string_view password, bool zeroTables);

enum class NewPasswordVerdict {
    Accepted,
    EntriesDiffer,
    TooShort,
    HasZeroByte,
    Missing,      // both entries empty and no password to keep
    KeepCurrent,  // both entries empty: the password set before stays
};
// The rules a new password must meet: both entries equal (case-sensitive), then at
// least eight characters, and no zero byte.
NewPasswordVerdict AcceptNewPassword(std::string_view first, std::string_view second);
// The File Encryption dialog's entries with its box ticked: both left empty keep the
// password the document has (KeepCurrent), or are refused when it has none (Missing);
// anything typed follows AcceptNewPassword.
NewPasswordVerdict JudgeEncryptionEntries(std::string_view first, std::string_view second,
                                          bool hasPassword);
// The message for a refusal; nullptr for Accepted and KeepCurrent.
const char* NewPasswordMessage(NewPasswordVerdict verdict);

}  // namespace tessaline
