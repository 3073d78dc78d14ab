#pragma once
// The texts the data file code and the document show, in one place.

namespace tessaline::msg {

// Reading and writing a data file.
inline constexpr const char* kEmptyFile = "Empty File !";
inline constexpr const char* kNotTessalineFile = "This is not a Tessaline file.";
inline constexpr const char* kOutOfMemory = "Out of memory.";
inline constexpr const char* kMustEnterPassword = "You must enter a password!";
inline constexpr const char* kPasswordNotCorrect = "Password not correct, please try again.";
inline constexpr const char* kPasswordNotCorrectOld = "Password not correct,try again.";
// A sealed file that does not open: a wrong password and a changed byte look the same.
inline constexpr const char* kPasswordOrDamage =
    "The password is not correct, or the file was changed or damaged.";
inline constexpr const char* kPasswordNotSet = "The encryption password is not set.";
inline constexpr const char* kMemoryAllocationFailed = "Memory Allocation failed";
inline constexpr const char* kWriteCardBytesError = "Write Card Bytes Error";
// The password prompt's title names the file: "Password for mine.tse".
inline constexpr const char* kDecryptionPasswordTitle = "Password";
inline constexpr const char* kForFile = " for ";

// The sealed file.
inline constexpr const char* kSealedUnreadable =
    "This file was sealed with settings this version cannot read.";
inline constexpr const char* kSealSettingsUnusable =
    "The key settings for sealing are out of range (operations 1 to 10, memory 8 KiB to "
    "1 GiB). The file was not saved.";
// Shown while the key is derived, which takes about half a second.
inline constexpr const char* kOpeningSealed = "Opening the sealed file...";
inline constexpr const char* kSealing = "Sealing the file...";

// Accepting a new password.
inline constexpr const char* kEntriesDiffer = "Password not correct, try again!";
inline constexpr const char* kPasswordTooShort = "Password to short, please use more characters!";
// OK with Encrypt On Save ticked, both entries empty and no password to keep.
inline constexpr const char* kNoPasswordEntered =
    "Enter a password in both fields, or clear Encrypt On Save to save without encryption.";
// Under the entries of the File Encryption dialog when the document has a password.
inline constexpr const char* kKeepPasswordHint = "Leave both empty to keep the current password";
inline constexpr const char* kPasswordHasZeroByte =
    "A password cannot contain a zero character (NUL); no data file could be opened with it.";

// Shown after a list in which a card could not be written, in the writer's list order
// (codes 0..14, then the deleted cards).
inline constexpr const char* kErrorWritingList[16] = {
    "Error Writing WWW Sites",       "Error Writing WWW Forms",      "Error Writing FTP Servers",
    "Error Writing News Groups",     "Error Writing Online Banking", "Error Writing Login Accounts",
    "Error Writing EMail Accounts",  "Error Writing BankAccounts",   "Error Writing CreditCards",
    "Error Writing ATMPinCards",     "Error Writing PersonalData",   "Error Writing SoftwareKeys",
    "Error Writing SerialNumbers",   "Error Writing MemberShip",     "Error Writing Miscelleneous",
    "Error Writing DeleteCategories"};

// The document.
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

// A document without encryption about to be saved under a ".tse" name. %1: that name,
// %2: the same name ending in ".tsf".
inline constexpr const char* kPlainUnderEncryptedName =
    "%1 is the name of an encrypted file, but this document is not encrypted. Encrypt it, "
    "or save it without encryption as %2?";
inline constexpr const char* kEncryptItButton = "Encrypt it";
inline constexpr const char* kSaveAsButton = "Save as %1";
inline constexpr const char* kCancelButton = "Cancel";
inline constexpr const char* kAutoSaveLeftPlainUnderTse =
    "%1 is not encrypted; automatic save does not write it under an encrypted file's name. "
    "Save it to encrypt it or to save it as %2.";

// The status bar: how the open file is stored.
inline constexpr const char* kLayoutPlain = "Not encrypted";
inline constexpr const char* kLayoutCompatible = "Encrypted (compatible)";
inline constexpr const char* kLayoutSealed = "Sealed";
inline constexpr const char* kCompatibleNote =
    "This file uses the older, weaker encryption. Set Password can seal it.";

}  // namespace tessaline::msg
