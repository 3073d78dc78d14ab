// Writes the seed files of the reader fuzz target into the folder named on the command
// line. Run once by hand when the seeds need to change; the files are checked in.
//
//   fuzz_make_corpus fuzz/corpus/read_data_file

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/blowfish.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/sealed_file.h"
#include "core/file/sealed_payload.h"
#include "fuzz_input.h"
#include "quiet_answers.h"

namespace {

using namespace tessaline;
using Bytes = std::vector<std::uint8_t>;

struct CardFields {
    std::uint8_t category;
    std::uint8_t attributes;
    std::uint8_t sync;
    std::uint32_t time;
    std::uint32_t recordId;
    const char* texts[5];
};

// A few cards of several kinds: filed, deleted, code 100 and an unknown code.
constexpr CardFields kCards[] = {
    {0, 3, 0, 3800000000u, 7, {"Example", "https://example.org/", "jo", "s3cret!", "home"}},
    {5, 0, 4, 3600000000u, 0, {"Mail login", "", "jo@example.org", "pa:ss@w/rd", "a\r\nb"}},
    {3, 0, 2, 0, 12, {"N", "", "", "", ""}},
    {100, 0, 0, 1, 0, {"Old", "x", "y", "z", ""}},
    {15, 0, 0, 2, 0, {"Nowhere", "", "", "", "dropped when read"}},
    {14, 1, 0, 4000000000u, 99, {"", "", "", "", ""}},
};

void FileCard(CCardCollection& cards, const CardFields& from) {
    CCard card;
    card.SetCategory(from.category);
    card.SetAttributes(from.attributes);
    card.SetSyncByte(from.sync);
    card.SetModificationTime(from.time);
    card.SetRecordId(from.recordId);
    card.SetName(from.texts[0]);
    card.SetAddress(from.texts[1]);
    card.SetUserId(from.texts[2]);
    card.SetPassword(from.texts[3]);
    card.SetNote(from.texts[4]);
    CCard* kept = cards.Adopt(std::move(card));
    if (from.sync & CCard::kDeletedBit || from.category >= kCategoryCount) {
        cards.AddToDeletedList(kept);
    } else {
        cards.AddCardToCategory(from.category, kept);
    }
}

Bytes CurrentFile(bool encrypted, std::string_view password, std::uint32_t value18,
                  bool sealed = false) {
    CCardCollection cards;
    for (const CardFields& card : kCards)
        FileCard(cards, card);
    FileCipherState state;
    state.encryptOnSave = encrypted;
    state.sealed = sealed;
    state.seal = SealSettings{1, kSealMemMin};  // the fuzz target reads only small settings
    state.encryptionPassword = password;
    state.headerValue18 = value18;
    fuzz::QuietAnswers ui;
    return BuildDataFileWithUser(cards, state, ui).value();
}

// The cards with what only the second sealed layout keeps: earlier versions, optional
// fields, the recycle bin and tombstones.
void AddSealed2Extras(CCardCollection& cards) {
    CCard* first = cards.List(0).Count() > 0 ? cards.List(0).CardAt(0) : nullptr;
    if (first) {
        CCard earlier = *first;
        earlier.SetPassword("older");
        first->SetHistory({earlier, earlier});
        first->SetTags({"work", "t\xC3\xA4g"});
        first->SetExpiresMs(1'900'000'000'000);
        first->SetOtpUri("otpauth://totp/x?secret=JBSWY3DP");
        first->SetCustomFields({{"PIN", "1234", true}});
    }
    CCard* binned = cards.Adopt(CCard{});
    binned->SetName("binned");
    binned->SetRecycledMs(1'800'000'000'000);
    cards.RecycleBin().AddCard(binned);
    cards.Tombstones().push_back({{7, 7, 7}, 4'000'000'000'000});
}

Bytes Sealed2File(std::string_view password) {
    CCardCollection cards;
    for (const CardFields& card : kCards)
        FileCard(cards, card);
    AddSealed2Extras(cards);
    FileCipherState state;
    state.encryptOnSave = true;
    state.sealed = true;
    state.seal = SealSettings{1, kSealMemMin};
    state.encryptionPassword = password;
    fuzz::QuietAnswers ui;
    return BuildDataFileWithUser(cards, state, ui).value();
}

// Payloads of the second sealed layout, for the payload's own fuzz target.
Bytes Sealed2Payload(bool extras) {
    CCardCollection cards;
    for (const CardFields& card : kCards)
        FileCard(cards, card);
    if (extras)
        AddSealed2Extras(cards);
    const LockedBytes payload = EncodePayload(cards, PayloadSettings{6, 0x0BADF00D}, 0);
    return Bytes(payload.begin(), payload.end());
}

// A revision-5 file: the same layout, enciphered with the zero-table key schedule.
Bytes Revision5File(std::string_view password) {
    Bytes plain = CurrentFile(false, {}, 0);
    Bytes data(plain.begin(), plain.begin() + kHeaderSize);
    data[1] = kZeroTableRevision;
    data[12] = 1;
    const Sha1Digest check = PasswordCheckValue(password);
    Bytes block(check.begin(), check.end());
    block.insert(block.end(), plain.begin() + kHeaderSize, plain.end());
    block.resize((block.size() + 7) / 8 * 8, 0);
    Blowfish cipher;
    MakeKey(cipher, password, true);
    cipher.EncipherBuffer(block.data(), block.size() / 8);
    data.insert(data.end(), block.begin(), block.end());
    return data;
}

void PutShortText(Bytes& out, std::string_view text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

struct OldCard {
    const char* category;
    const char* date;
    const char* texts[5];
    bool automatic;
    bool newWindow;
};

constexpr OldCard kOldCards[] = {
    {"WWW Pages", "97/03/14", {"Old site", "http://old.example/", "me", "pw1", "n"}, true, false},
    {"Email Accounts", "01-12-1998", {"Mail", "", "me@old", "pw2", "note\r\n2"}, false, true},
    {"Password Manager", "", {"Retired", "", "", "", ""}, false, false},
    {"Membership Numbers", "99/1x/02", {"Club", "", "42", "", ""}, true, true},
};

Bytes OldRecords() {
    Bytes out;
    for (const OldCard& card : kOldCards) {
        PutShortText(out, card.category);
        PutShortText(out, card.date);
        for (int i = 0; i < 5; ++i) {
            const std::string_view text = card.texts[i];
            if (i == 4) {
                PutU16(out, static_cast<std::uint16_t>(text.size()));
                out.insert(out.end(), text.begin(), text.end());
            } else {
                PutShortText(out, text);
            }
        }
        out.push_back(card.automatic ? 1 : 0);
        out.push_back(card.newWindow ? 1 : 0);
    }
    return out;
}

Bytes OldFile(bool v1001, bool encrypted, std::string_view password) {
    const std::string_view marker = encrypted ? "ENCRYPTED" : "NTENCRYPT";
    const std::string_view version = v1001 ? "Version1.001" : "Version1.002";
    Bytes out(marker.begin(), marker.end());
    out.insert(out.end(), version.begin(), version.end());

    Bytes d;
    if (v1001) {
        d = {'X', 'Y', 'Z'};
    } else {
        const Sha1Digest check = PasswordCheckValue(password);
        d.assign(check.begin(), check.end());
    }
    const Bytes records = OldRecords();
    d.insert(d.end(), records.begin(), records.end());
    if (encrypted) {
        d.resize((d.size() + 7) / 8 * 8, 0);
        Blowfish cipher;
        MakeKey(cipher, password, false);
        cipher.EncipherBuffer(d.data(), d.size() / 8);
    }
    out.insert(out.end(), d.begin(), d.end());
    return out;
}

Bytes WithControl(std::uint8_t control, const Bytes& file) {
    Bytes out{control};
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

Bytes WithPassword(std::string_view password, const Bytes& file) {
    Bytes out{fuzz::ControlByte(fuzz::kAnswerFromInput, 0),
              static_cast<std::uint8_t>(password.size())};
    out.insert(out.end(), password.begin(), password.end());
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

bool Write(const std::filesystem::path& folder, const char* name, const Bytes& bytes) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", name);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER [PAYLOAD-OUTPUT-FOLDER]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    const std::string_view fixed = fuzz::kFixedPassword;
    const auto fixedAnswer = [](int dateFormat) {
        return fuzz::ControlByte(fuzz::kAnswerFixed, dateFormat);
    };

    const Bytes plain = CurrentFile(false, {}, 0x12345678);
    const Bytes encrypted = CurrentFile(true, fixed, 0);
    Bytes truncated(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(plain.size() - 7));
    Bytes badFlag = plain;
    badFlag[12] = 2;
    Bytes badCreator = plain;
    badCreator[15] ^= 0x20;
    Bytes unterminated = plain;  // the first card's block loses its last terminator
    unterminated[kHeaderSize + kCardHeaderSize + GetU32(plain.data() + kHeaderSize + 20) - 1] = 'x';
    const Bytes headerOnly(plain.begin(), plain.begin() + kHeaderSize);

    bool ok = true;
    ok &= Write(folder, "empty", WithControl(fixedAnswer(0), {}));
    ok &= Write(folder, "plain_cards", WithControl(fixedAnswer(0), plain));
    ok &= Write(folder, "plain_cards_date_format_1", WithControl(fixedAnswer(1), plain));
    ok &= Write(folder, "plain_cards_date_format_9", WithControl(fixedAnswer(9), plain));
    ok &= Write(folder, "plain_header_only", WithControl(fixedAnswer(0), headerOnly));
    ok &= Write(folder, "plain_truncated", WithControl(fixedAnswer(0), truncated));
    ok &= Write(folder, "plain_unterminated_text", WithControl(fixedAnswer(0), unterminated));
    ok &= Write(folder, "bad_encryption_flag", WithControl(fixedAnswer(0), badFlag));
    ok &= Write(folder, "bad_creator", WithControl(fixedAnswer(0), badCreator));
    ok &= Write(folder, "encrypted_cards", WithControl(fixedAnswer(4), encrypted));
    ok &= Write(folder, "encrypted_cancel",
                WithControl(fuzz::ControlByte(fuzz::kAnswerCancel, 0), encrypted));
    ok &= Write(folder, "encrypted_empty_password",
                WithControl(fuzz::ControlByte(fuzz::kAnswerEmpty, 0), encrypted));
    ok &= Write(folder, "encrypted_own_password",
                WithPassword("hunter22", CurrentFile(true, "hunter22", 7)));
    ok &= Write(folder, "encrypted_no_cards", WithControl(fixedAnswer(0), [&] {
                    CCardCollection none;
                    FileCipherState state;
                    state.encryptOnSave = true;
                    state.encryptionPassword = fixed;
                    fuzz::QuietAnswers ui;
                    return BuildDataFileWithUser(none, state, ui).value();
                }()));
    // The first sealed layout, which is read but no longer written: a plain file sealed.
    const Bytes sealed =
        SealBytes(CurrentFile(false, {}, 0x0BADF00D), fixed, SealSettings{1, kSealMemMin}).value();
    ok &= Write(folder, "sealed_cards", WithControl(fixedAnswer(2), sealed));
    ok &= Write(folder, "sealed_wrong_password", WithPassword("hunter22", sealed));
    ok &= Write(folder, "sealed_truncated",
                WithControl(fixedAnswer(0), Bytes(sealed.begin(), sealed.begin() + 80)));
    Bytes sealedBadSettings = sealed;
    sealedBadSettings[31] = 0x40;  // a memory limit far beyond 1 GiB
    ok &= Write(folder, "sealed_bad_settings", WithControl(fixedAnswer(0), sealedBadSettings));
    ok &= Write(folder, "encrypted_revision5", WithControl(fixedAnswer(0), Revision5File(fixed)));
    ok &= Write(folder, "old_1001_plain", WithControl(fixedAnswer(0), OldFile(true, false, fixed)));
    ok &= Write(folder, "old_1001_encrypted",
                WithControl(fixedAnswer(0), OldFile(true, true, fixed)));
    ok &=
        Write(folder, "old_1002_plain", WithControl(fixedAnswer(0), OldFile(false, false, fixed)));
    ok &= Write(folder, "old_1002_encrypted",
                WithControl(fixedAnswer(0), OldFile(false, true, fixed)));
    Bytes oldTruncated = OldFile(false, false, fixed);
    oldTruncated.resize(oldTruncated.size() - 5);
    ok &= Write(folder, "old_1002_truncated", WithControl(fixedAnswer(0), oldTruncated));
    const Bytes sealed2 = Sealed2File(fixed);
    ok &= Write(folder, "sealed2_cards", WithControl(fixedAnswer(0), sealed2));
    ok &= Write(folder, "sealed2_wrong_password", WithPassword("hunter22", sealed2));
    Bytes sealed2Damaged = sealed2;
    sealed2Damaged[100] ^= 0x01;
    ok &= Write(folder, "sealed2_damaged", WithControl(fixedAnswer(0), sealed2Damaged));
    if (argc == 3) {
        const std::filesystem::path payloads(argv[2]);
        std::filesystem::create_directories(payloads);
        ok &= Write(payloads, "cards", Sealed2Payload(false));
        ok &= Write(payloads, "cards_with_history", Sealed2Payload(true));
        ok &= Write(payloads, "version_only", Bytes{0xA1, 0x00, 0x01});
    }
    return ok ? 0 : 1;
}
