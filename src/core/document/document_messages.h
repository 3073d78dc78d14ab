#pragma once
// The texts the document shows, and the settings it reads and writes.

namespace tessaline::docmsg {

inline constexpr const char* kFailedToOpen = "Failed to open document.";
inline constexpr const char* kFailedToSave = "Failed to save document.";
inline constexpr const char* kAskToEncrypt =
    "Password was not set! Do you want to encrypt the file?";
inline constexpr const char* kWillNotEncrypt = "File will not be encrypted!";
inline constexpr const char* kFileEncryptionCaption = "File Encryption";
inline constexpr const char* kSaveChangesTo = "Save changes to %1?";
inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kSaveAsFilter =
    "Encrypted Data (*.tse)|*.tse|Non Encrypted Data (*.tsf)|*.tsf||";
inline constexpr const char* kEncryptedExtension = "tse";
inline constexpr const char* kPlainExtension = "tsf";

// A file read only in part, and what saving does with it. %1, %2: as marked.
inline constexpr const char* kReadInPart =
    "Only %1 of the cards in %2 could be read; the rest of the file is damaged. The file is "
    "opened read-only; use Save As to keep what was read.";
inline constexpr const char* kDamagedNotReplaced =
    "%1 could be read only in part, so it is not replaced. Choose another name to keep what "
    "was read.";
// Another program changed the file since the document read or wrote it.
inline constexpr const char* kChangedOnDisk =
    "%1 was changed by another program since it was opened. Replace it with your version?";
inline constexpr const char* kAutoSaveLeftChangedFile =
    "%1 was changed by another program; automatic save did not replace it.";
// A name the chooser did not ask about (an extension added or changed after it closed).
inline constexpr const char* kAlreadyExists = "%1 already exists.\nDo you want to replace it?";

// The status bar: how the open file is stored.
inline constexpr const char* kLayoutPlain = "Not encrypted";
inline constexpr const char* kLayoutCompatible = "Encrypted (compatible)";
inline constexpr const char* kLayoutSealed = "Sealed";
inline constexpr const char* kCompatibleNote =
    "This file uses the older, weaker encryption. Set Password can seal it.";

// Settings.
inline constexpr const char* kInternetSection = "Internet Preferences";
inline constexpr const char* kGeneralSection = "General Preferences";
inline constexpr const char* kAutomaticSaveCheck = "Automatic Save Check";  // int, default 0
inline constexpr const char* kLastSelectedCatg = "LastSelectedCatg";        // text, default ""
// The key derivation settings for files sealed from now on (Argon2id operations and
// memory); values out of range mean the defaults, 3 and 262144 KiB (256 MiB).
inline constexpr const char* kSealedKeyOperations = "Sealed Key Operations";  // int
inline constexpr const char* kSealedKeyMemoryKiB = "Sealed Key Memory KiB";   // int

}  // namespace tessaline::docmsg
