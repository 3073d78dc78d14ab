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

// Settings.
inline constexpr const char* kInternetSection = "Internet Preferences";
inline constexpr const char* kGeneralSection = "General Preferences";
inline constexpr const char* kAutomaticSaveCheck = "Automatic Save Check";  // int, default 0
inline constexpr const char* kLastSelectedCatg = "LastSelectedCatg";        // text, default ""

}  // namespace tessaline::docmsg
