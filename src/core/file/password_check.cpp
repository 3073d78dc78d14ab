#include "core/file/password_check.h"

#include "core/base/message_texts.h"
#include "core/file/blowfish.h"
#include "core/file/password_text.h"

namespace tessaline {

Sha1Digest PasswordCheckValue(std::string_view password) {
    return Sha1(password);
}

bool VerifyPassword(std::string_view entered, const std::uint8_t* first20) {
    const Sha1Digest expected = PasswordCheckValue(entered);
    unsigned diff = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        diff |= expected[i] ^ first20[i];
    return diff == 0;
}

void MakeKey(Blowfish& cipher, std::string_view password, bool zeroTables) {
    cipher.SetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(),
                  zeroTables);
}

NewPasswordVerdict AcceptNewPassword(std::string_view first, std::string_view second) {
    if (first != second)
        return NewPasswordVerdict::EntriesDiffer;
    if (first.size() < kMinPasswordLength)
        return NewPasswordVerdict::TooShort;
    if (HasZeroByte(first))
        return NewPasswordVerdict::HasZeroByte;
    return NewPasswordVerdict::Accepted;
}

NewPasswordVerdict JudgeEncryptionEntries(std::string_view first, std::string_view second,
                                          bool hasPassword) {
    if (first.empty() && second.empty())
        return hasPassword ? NewPasswordVerdict::KeepCurrent : NewPasswordVerdict::Missing;
    return AcceptNewPassword(first, second);
}

const char* NewPasswordMessage(NewPasswordVerdict verdict) {
    switch (verdict) {
        case NewPasswordVerdict::EntriesDiffer:
            return msg::kEntriesDiffer;
        case NewPasswordVerdict::TooShort:
            return msg::kPasswordTooShort;
        case NewPasswordVerdict::HasZeroByte:
            return msg::kPasswordHasZeroByte;
        case NewPasswordVerdict::Missing:
            return msg::kNoPasswordEntered;
        case NewPasswordVerdict::Accepted:
        case NewPasswordVerdict::KeepCurrent:
            break;
    }
    return nullptr;
}

}  // namespace tessaline
