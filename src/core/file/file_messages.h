#pragma once
// The texts the data file code shows.

namespace tessaline::msg {

inline constexpr const char* kEmptyFile = "Empty File !";
inline constexpr const char* kNotTessalineFile = "This is not a Tessaline file.";
inline constexpr const char* kOutOfMemory = "Out of memory.";
inline constexpr const char* kMustEnterPassword = "You must enter a password!";
inline constexpr const char* kPasswordNotCorrect = "Password not correct, please try again.";
inline constexpr const char* kPasswordNotCorrectOld = "Password not correct,try again.";
inline constexpr const char* kPasswordNotSet = "The encryption password is not set.";
inline constexpr const char* kMemoryAllocationFailed = "Memory Allocation failed";
inline constexpr const char* kWriteCardBytesError = "Write Card Bytes Error";
inline constexpr const char* kDecryptionPasswordTitle = "Decryption Password";
inline constexpr const char* kForFile = " for file: ";

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

}  // namespace tessaline::msg
