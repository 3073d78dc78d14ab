#pragma once
// Data files: a 22-byte header, then the card records, plain or enciphered under the
// file password; the sealed file, which holds a whole plain data file sealed under a key
// derived from the password; and the two older formats, which are read but never written.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/message.h"
#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/file/locked_memory.h"
#include "core/file/sealed_file.h"
#include "core/file/sha1.h"

namespace tessaline {

class CCard;

inline constexpr std::size_t kHeaderSize = 22;
inline constexpr std::size_t kCardHeaderSize = 24;
inline constexpr std::size_t kCheckValueSize = 20;
// A card record with five empty texts: no file may yield more cards than its size in
// such records, whatever its layout.
inline constexpr std::size_t kSmallestCardRecord = kCardHeaderSize + 5;
inline constexpr std::uint8_t kFormatRevision = 6;
inline constexpr std::uint8_t kZeroTableRevision = 5;
// An encrypted file's check value and cards must stay below 64 KiB.
inline constexpr std::size_t kEncryptedLimit = 65536;
// A text and its terminator must fit a signed 16-bit count (not in the second sealed
// layout, which has no such limit).
inline constexpr std::size_t kMaxTextLength = 32766;

// The document's file password state.
struct FileCipherState {
    LockedText encryptionPassword;
    bool encryptOnSave = false;
    // Which encrypted layout a save writes: the sealed one, or the one older readers
    // understand. A file read keeps its own; the document picks sealed for new encryption.
    bool sealed = false;
    SealSettings seal{};  // the key derivation settings of the next seal
    // Which sealed layout the file read has (1 or 2; 0 when it is not sealed). A save
    // always writes the second.
    int readSealedLayout = 0;
    // The second layout's payload version read (0 for any other layout).
    std::uint64_t payloadVersion = 0;
    std::uint32_t headerValue18 = 0;  // kept from the file opened, written back unchanged
    // The header's revision byte of the file read, kept in the second sealed layout (an
    // older layout always writes the current revision, which its cipher key depends on).
    std::uint8_t revision = kFormatRevision;
    Sha1Digest checkValue{};

    FileCipherState() = default;
    FileCipherState(const FileCipherState&) = default;
    FileCipherState& operator=(const FileCipherState&) = default;
    ~FileCipherState() { SecureWipe(encryptionPassword); }
};

enum class FileFormat { Version1001, Version1002, MacSyncVersion, NotTessaline, Empty, Sealed };
// "Version 1.001", "Version 1.002", "MACSyncVersion", "Not a Tessaline File", "Empty File",
// "Sealed".
const char* FormatName(FileFormat format);

struct HeaderFacts {
    FileFormat format = FileFormat::NotTessaline;
    bool encrypted = false;
    int revision = -1;        // header byte 1 (current format only)
    int encryptionByte = -1;  // header byte 12 (current format only)
    std::uint32_t headerValue18 = 0;
};
// Looks at the first bytes only; shows nothing.
HeaderFacts InspectHeader(std::span<const std::uint8_t> data);

// Asks for the password of an encrypted file under the dialog title given, the field
// starting with prefill. std::nullopt = Cancel.
using PasswordQuestion =
    std::function<std::optional<std::string>(const std::string& title, const std::string& prefill)>;
// Runs work that takes a noticeable time (deriving a key), telling the user what goes on.
// Empty: the work just runs.
using BusyRunner = std::function<void(const std::string& what, const std::function<void()>& work)>;
inline void RunMaybeBusy(const BusyRunner& runner, const std::string& what,
                         const std::function<void()>& work) {
    if (runner)
        runner(what, work);
    else
        work();
}

struct ReadRequest {
    PasswordQuestion askPassword;  // empty: every encrypted file is cancelled
    int dateFormat = 0;            // the "Date Format" index for the cards' date texts
    std::string fileTitle;         // in the password dialog's title
    std::string passwordPrefill;   // what the password field starts with
    BusyRunner whileBusy;
};

struct ReadResult {
    bool ok = false;
    FileFormat format = FileFormat::NotTessaline;
    bool stoppedEarly = false;    // a damaged record ended the reading
    std::size_t unreadBytes = 0;  // bytes after the last card read
    bool wrongPassword = false;   // the password did not open the file (not a Cancel)
    bool cancelled = false;       // the user cancelled the password prompt
    // Bytes after the last card that are not the zero fill of an encrypted file.
    bool trailingData = false;
    std::size_t droppedCards = 0;   // records of an unknown category: read, not kept
    std::uint64_t unkeptBytes = 0;  // their bytes, and bytes after the texts in a record
    // A newer program wrote the file: what this version read may not be all it holds.
    bool writtenByNewer = false;
    // What the user is to be told, in order, once the reading is done (each with OK).
    std::vector<MessageRequest> messages;
    // The cards read, never null; empty (their texts wiped) when the reading failed.
    std::unique_ptr<CCardCollection> cards = std::make_unique<CCardCollection>();
    // The file's password state as read: its password, layout and header value.
    FileCipherState state;

    // Part of the file could not be read (damage, unknown categories, bytes not kept).
    bool ReadDamaged() const {
        return stoppedEarly || trailingData || droppedCards > 0 || unkeptBytes > 0;
    }
    // Writing the cards read back over the file would lose part of what it holds.
    bool ReadInPart() const { return ReadDamaged() || writtenByNewer; }
};

// Reads a whole data file: its cards and cipher state, asking for the password through the
// request; shows nothing itself.
ReadResult ReadDataFile(std::span<const std::uint8_t> data, const ReadRequest& request);

struct WriteRequest {
    // Asks a Yes/No question whose answer decides what the writer does next (sealing a
    // file too large for the compatible layout); true = Yes. Empty: always No.
    std::function<bool(const MessageRequest&)> confirm;
    BusyRunner whileBusy;
};

struct WriteResult {
    // The bytes of the file, or nothing when nothing is to be written.
    std::optional<std::vector<std::uint8_t>> bytes;
    // Why not, in the order the user is to be told (each with OK).
    std::vector<MessageRequest> messages;
};

// The bytes of a data file for the collection, plain or encrypted by
// state.encryptOnSave, sealed (the second sealed layout) or compatible by state.sealed.
// state.checkValue receives the check value written (compatible layout). When the cards are too
// many for the compatible layout the request's confirm is asked whether to seal; yes sets
// state.sealed.
WriteResult BuildDataFile(const CCardCollection& cards, FileCipherState& state,
                          const WriteRequest& request = {});

// A deleted card stays in the file for the handheld's sync with its record ID, category,
// marks and name; the writer never writes the address, user ID, password and note of a
// card on the deleted-card list, and this clears them when the user deletes the card.
void ClearDeletedCardSecrets(CCard& card);

// Messages for the cases the writer refuses before anything is written.
// The question when the cards are too many for the compatible layout: seal instead?
std::string TooLargeOfferSealingMessage(std::uint64_t storedSize);
std::string TextTooLongMessage(const std::string& cardName);
// Whether a data file of fileSize bytes can be opened again: the writer refuses to write
// any larger one, with this message saying the limit and the size.
bool ReadableFileSize(std::uint64_t fileSize);
std::string TooLargeToReadMessage(std::uint64_t fileSize);

}  // namespace tessaline
