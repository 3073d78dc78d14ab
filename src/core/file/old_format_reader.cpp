// Reading the two older formats ("Version1.001" and "Version1.002"). They are never
// written: a file opened in one of them is saved in the current format.

#include <cstring>

#include "core/base/message_texts.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_date.h"
#include "core/cards/card_times.h"
#include "core/file/blowfish.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/reader_internal.h"

namespace tessaline {

namespace {

constexpr std::size_t kPreambleSize = 21;

// A text ends at its first zero byte, as it always showed: what follows a zero inside an
// old text is dropped, so that no field can spill into the next when the card is saved.
std::string UpToFirstZero(std::string text) {
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        SecureWipe(text.data() + zero, text.size() - zero);
        text.resize(zero);
    }
    return text;
}

bool ReadShortText(ByteCursor& in, std::string& out) {
    std::uint8_t n;
    if (!in.ReadU8(n) || !in.ReadText(n, out))
        return false;
    out = UpToFirstZero(std::move(out));
    return true;
}

struct OldRecord {
    CCard card;
    bool flagsAreFlags = false;  // both attribute bytes hold 0 or 1, as the old writers wrote
    bool holdsText = false;      // at least one of the seven texts is not empty
};

// One old record: texts with their own lengths, no terminators. False when cut off.
bool ReadOldRecord(ByteCursor& in, OldRecord& record) {
    std::string category, date, name, address, user, password, note;
    std::uint16_t noteLength;
    std::uint8_t automatic, newWindow;
    if (!ReadShortText(in, category) || !ReadShortText(in, date) || !ReadShortText(in, name) ||
        !ReadShortText(in, address) || !ReadShortText(in, user) || !ReadShortText(in, password) ||
        !in.ReadU16(noteLength) || !in.ReadText(noteLength, note) || !in.ReadU8(automatic) ||
        !in.ReadU8(newWindow)) {
        return false;
    }
    note = UpToFirstZero(std::move(note));
    record.flagsAreFlags = automatic <= 1 && newWindow <= 1;
    record.holdsText = !category.empty() || !date.empty() || !name.empty() || !address.empty() ||
                       !user.empty() || !password.empty() || !note.empty();
    CCard& card = record.card;
    card.SetCategoryNameText(category);
    card.SetDateText(date);
    card.SetModificationTime(CardTimeOfOldDateText(date));
    TimesFromStamp(card);
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

// Reads old records while more than 8 bytes remain. A record without any text (the
// zeros of a damaged or wrongly deciphered file) ends the reading like a cut-off one, and
// no file yields more cards than its size would hold in the current format, so memory
// stays in proportion to the file. Returns whether the first record looked like one the
// old program wrote.
bool ReadOldRecords(ByteCursor& in, std::size_t cardBudget, CCardCollection& cards,
                    ReadResult& result) {
    bool firstPlausible = false;
    std::size_t read = 0;
    while (in.Remaining() > 8) {
        const std::size_t start = in.Position();
        OldRecord record;
        if (read == cardBudget || !ReadOldRecord(in, record) || !record.holdsText) {
            result.stoppedEarly = true;
            result.unreadBytes = in.Remaining() + (in.Position() - start);
            return firstPlausible;
        }
        if (read == 0)
            firstPlausible = record.flagsAreFlags;
        ++read;
        const int code = OldCategoryCode(record.card.CategoryNameText());
        record.card.SetCategory(static_cast<std::uint8_t>(code));
        cards.AddCardToCategory(code, cards.Adopt(std::move(record.card)));
    }
    result.unreadBytes = in.Remaining();
    return firstPlausible;
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

    SecretText password;
    if (encrypted) {
        if (!AskFilePassword(request, password, result))
            return result;
        const auto opens = [&](const std::string& key) {
            d.assign(data.begin() + kPreambleSize, data.end());
            Blowfish cipher;
            MakeKey(cipher, key, false);
            cipher.DecipherBuffer(d.data(), d.size() / 8);
            return v1001 ? d.size() >= 3 && std::memcmp(d.data(), "XYZ", 3) == 0
                         : d.size() >= kCheckValueSize && VerifyPassword(key, d.data());
        };
        if (!TryPasswordForms(password, opens)) {
            AddNotice(result, v1001 ? msg::kPasswordNotCorrectOld : msg::kPasswordNotCorrect);
            result.wrongPassword = true;
            return result;
        }
    }
    ByteCursor in(d, skip);
    const bool plausible = ReadOldRecords(in, d.size() / kSmallestCardRecord + 1, cards, result);
    // "Version1.001" checks a password by three known bytes only, so about one wrong
    // password in 16 million passes. What it deciphers then is noise: no card, or a first
    // record no old program wrote. That is a wrong password, never an empty file that the
    // next save would write under the wrong password.
    if (encrypted && v1001 && (cards.LiveCardCount() == 0 || !plausible)) {
        AddNotice(result, msg::kPasswordNotCorrectOld);
        return result;
    }
    if (encrypted) {
        state.encryptionPassword = password.Get();
        state.encryptOnSave = true;
        if (!v1001)
            state.checkValue = PasswordCheckValue(password.Get());
    }
    result.ok = true;
    return result;
}

}  // namespace tessaline
