// Reading the two older formats ("Version1.001" and "Version1.002"). They are never
// written: a file opened in one of them is saved in the current format.

#include <cstring>

#include "cards/card_collection.h"
#include "file/blowfish.h"
#include "file/byte_io.h"
#include "file/data_file.h"
#include "file/file_messages.h"
#include "file/password_check.h"
#include "file/reader_internal.h"
#include "platform/user_answers.h"
#include "prefs/date_format.h"

namespace tessaline {

namespace {

constexpr std::size_t kPreambleSize = 21;

bool ReadShortText(ByteCursor& in, std::string& out) {
    std::uint8_t n;
    return in.ReadU8(n) && in.ReadText(n, out);
}

// One old record: texts with their own lengths, no terminators. False when cut off.
bool ReadOldRecord(ByteCursor& in, CCard& card) {
    std::string category, date, name, address, user, password, note;
    std::uint16_t noteLength;
    std::uint8_t automatic, newWindow;
    if (!ReadShortText(in, category) || !ReadShortText(in, date) || !ReadShortText(in, name) ||
        !ReadShortText(in, address) || !ReadShortText(in, user) || !ReadShortText(in, password) ||
        !in.ReadU16(noteLength) || !in.ReadText(noteLength, note) || !in.ReadU8(automatic) ||
        !in.ReadU8(newWindow)) {
        return false;
    }
    card.SetCategoryNameText(category);
    card.SetDateText(date);
    card.SetModificationTime(CardTimeOfOldDateText(date));
    card.SetName(std::move(name));
    card.SetAddress(std::move(address));
    card.SetUserId(std::move(user));
    card.SetPassword(std::move(password));
    card.SetNote(std::move(note));
    card.SetAutomaticAccess(automatic != 0);
    card.SetNewBrowserWindow(newWindow != 0);
    return true;
}

// The category an old card goes to: "WWW Pages" is the old name of WWW Sites, the
// current names keep their category, and every other name (the retired "Password
// Manager" among them) goes to Miscellaneous, so that no card is lost.
int OldCategoryCode(const std::string& name) {
    if (name == kOldWwwPagesName)
        return kWwwSites;
    const int code = CategoryCodeOfName(name);
    return code >= 0 ? code : kMiscellaneous;
}

void ReadOldRecords(ByteCursor& in, CCardCollection& cards, ReadResult& result) {
    while (in.Remaining() > 8) {
        const std::size_t start = in.Position();
        CCard card;
        if (!ReadOldRecord(in, card)) {
            result.stoppedEarly = true;
            result.unreadBytes = in.Remaining() + (in.Position() - start);
            return;
        }
        const int code = OldCategoryCode(card.CategoryNameText());
        card.SetCategory(static_cast<std::uint8_t>(code));
        cards.AddCardToCategory(code, cards.Adopt(std::move(card)));
    }
    result.unreadBytes = in.Remaining();
}

}  // namespace

ReadResult ReadOldFormat(std::span<const std::uint8_t> data, FileFormat format,
                         const ReadRequest& request, CCardCollection& cards,
                         FileCipherState& state) {
    ReadResult result;
    result.format = format;
    const bool v1001 = format == FileFormat::Version1001;
    const std::size_t skip = v1001 ? 3 : kCheckValueSize;
    const bool encrypted = std::memcmp(data.data(), "ENCRYPTED", 9) == 0;

    std::vector<std::uint8_t> d(data.begin() + kPreambleSize, data.end());
    struct Wipe {
        std::vector<std::uint8_t>& b;
        ~Wipe() { SecureWipe(b.data(), b.size()); }
    } wipe{d};

    if (encrypted) {
        SecretText password;
        if (!AskFilePassword(request, password))
            return result;
        if (!password.Get().empty()) {
            Blowfish cipher;
            MakeKey(cipher, password.Get(), false);
            cipher.DecipherBuffer(d.data(), d.size() / 8);
        }
        bool match = false;
        if (!password.Get().empty()) {
            match = v1001 ? d.size() >= 3 && std::memcmp(d.data(), "XYZ", 3) == 0
                          : d.size() >= kCheckValueSize && VerifyPassword(password.Get(), d.data());
        }
        if (!match) {
            Tell(request.ui, v1001 ? msg::kPasswordNotCorrectOld : msg::kPasswordNotCorrect);
            result.wrongPassword = true;
            return result;
        }
        state.encryptionPassword = password.Get();
        state.encryptOnSave = true;
        if (!v1001)
            state.checkValue = PasswordCheckValue(password.Get());
    }
    ByteCursor in(d, skip);
    ReadOldRecords(in, cards, result);
    result.ok = true;
    return result;
}

}  // namespace tessaline
