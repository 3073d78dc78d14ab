#pragma once
// Settings the main window and the card lists read.

#include "core/prefs/profile_keys.h"

namespace tessaline::prefs {

// Section "Internet Preferences"
inline constexpr const char* kAutomaticSaveCheck = "Automatic Save Check";  // int, default 0
inline constexpr const char* kAutomaticSave = "Automatic Save";             // text, default "10"
inline constexpr const char* kAutomaticSaveDefault = "10";
inline constexpr const char* kShowPasswordAlways = "ShowPasswordAlways";  // int, default 0

// Section "Start Up Preferences"
inline constexpr const char* kCheckOpenFiles = "Check Open Files";  // int, default 0

// Section "General Preferences"
inline constexpr const char* kLastSelectedCatg = "LastSelectedCatg";  // text, default ""
// 1 once the installed browsers were looked for (the first start).
inline constexpr const char* kBrowsersDetected = "Browsers Detected";  // int, default 0
// Minutes without use after which encrypted documents lock; 0 = never.
inline constexpr const char* kLockAfterMinutes = "Lock After Minutes";  // int, default 10
inline constexpr int kLockAfterMinutesDefault = 10;
inline constexpr int kLockAfterMinutesMax = 1440;
// The key derivation settings for files sealed from now on (Argon2id operations and
// memory); values out of range mean the defaults, 3 and 262144 KiB (256 MiB).
inline constexpr const char* kSealedKeyOperations = "Sealed Key Operations";  // int
inline constexpr const char* kSealedKeyMemoryKiB = "Sealed Key Memory KiB";   // int
inline constexpr int kSealedKeyOperationsDefault = 3;
inline constexpr int kSealedKeyOperationsMin = 1;
inline constexpr int kSealedKeyOperationsMax = 10;
inline constexpr int kSealedKeyMemoryKiBDefault = 262144;
inline constexpr int kSealedKeyMemoryKiBMin = 8;
inline constexpr int kSealedKeyMemoryKiBMax = 1048576;

}  // namespace tessaline::prefs
