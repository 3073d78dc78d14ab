#pragma once
// Every setting the Preferences sheet edits, with its section, value name and default,
// and how the sheet loads and stores them.

#include <array>
#include <string>

namespace tessaline {

class IProfile;

namespace prefs {
// Section "Internet Preferences"
inline constexpr const char* kChooseWebBrowser = "Choose Web Browser";  // int, default 1
inline constexpr const char* kNetscapeFilePath = "Netscape File Path";
inline constexpr const char* kExplorerFilePath = "Explorer File Path";
inline constexpr const char* kMailProgFilePath = "MailProg File Path";
inline constexpr const char* kNewsProgFilePath = "NewsProg File Path";
inline constexpr const char* kFtpFilePath = "FTP File Path";
inline constexpr const char* kTelnetFilePath = "Telnet File Path";
inline constexpr const char* kHelpProgFilePath = "HelpProg File Path";
// Section "Start Up Preferences" ("Print Notes" there is the e-mail program's switch)
inline constexpr const char* kLaunchWebBrowser = "Launch Web Browser";
inline constexpr const char* kLaunchFtp = "Launch FTP";
inline constexpr const char* kLaunchTelNet = "Launch Tel Net";
inline constexpr const char* kLaunchNewsReader = "Launch News Reader";
inline constexpr const char* kStartUpEmail = "Print Notes";
// Section "Print Preferences"
inline constexpr const char* kPrintAtm = "Print ATM";
inline constexpr const char* kPrintNotes = "Print Notes";
// Section "General Preferences": seconds until a secret put on the clipboard is
// cleared again; 0 = never.
inline constexpr const char* kClearClipboardSeconds = "Clear Clipboard Seconds";
inline constexpr int kClearClipboardSecondsDefault = 10;
}  // namespace prefs

// What the Preferences sheet shows and stores, as the sheet's pages hold it.
struct Preferences {
    // "Print Preferences" (0 when absent: that is what the sheet shows)
    // Absent print switches count as on, for the sheet as for printing itself: a page that
    // showed them clear while codes and notes still printed would mislead.
    int printAtm = 1;
    int printNotes = 1;
    // "Start Up Preferences"
    int launchEmail = 0;
    int launchFtp = 0;
    int launchNews = 0;
    int launchTelnet = 0;
    int launchWebBrowser = 0;
    int checkOpenFiles = 0;
    // "Internet Preferences"
    int chooseWebBrowser = 1;  // 0 Netscape Navigator, 1 Internet Explorer, -1 neither
    int automaticSaveCheck = 0;
    std::string automaticSave = "10";
    int dateFormat = 0;  // -1: no entry of the list chosen
    int showPasswordAlways = 0;
    // "General Preferences": encrypted documents lock after this many minutes without
    // use; 0 = never.
    int lockAfterMinutes = 10;
    std::string netscapePath;
    std::string explorerPath;  // the automation browser; empty: the first one on PATH
    std::string mailPath;
    std::string newsPath;
    std::string helpPath;
    std::string ftpPath;
    std::string telnetPath;
    // "General Preferences": seconds a copied secret stays on the clipboard, 0 = for good
    int clearClipboardSeconds = prefs::kClearClipboardSecondsDefault;
    // "General Preferences": submit login forms after filling them
    int submitLoginForms = 0;
    // "General Preferences": the search finds cards by their password too
    int searchPasswords = 0;
    // "General Preferences": the key derivation of files sealed from now on (Argon2id
    // passes and memory in KiB); a stored value out of range reads as the default
    int sealedKeyOperations = 3;
    int sealedKeyMemoryKiB = 262144;

    bool operator==(const Preferences&) const = default;
};

Preferences LoadPreferences(const IProfile& profile);
// Writes every value back, ints as ints and the minutes and paths as texts.
void SavePreferences(IProfile& profile, const Preferences& prefs);

// The two print switches as printing uses them: absent values count as on.
struct PrintFlags {
    bool printAtm = true;
    bool printNotes = true;
};
PrintFlags LoadPrintFlags(const IProfile& profile);

// The spin button's range and the position it takes from the minutes text: its leading
// decimal digits (0 when none), within the range.
inline constexpr int kAutoSaveSpinMin = 0;
inline constexpr int kAutoSaveSpinMax = 30;
int AutoSaveSpinPosition(const std::string& minutesText);

// The list of the "General" page: the date of stamp in each of the twelve formats.
std::array<std::string, 12> DateFormatSamples(std::uint32_t stamp);
// The list entry a stored date index selects, or -1 for none.
int DateFormatListSelection(int storedIndex);

// How long a secret stays on the clipboard, in seconds; 0 = until replaced.
int ClearClipboardSeconds(const IProfile& profile);
// The longest delay the General page offers (one day).
inline constexpr int kClearClipboardSecondsMax = 86400;

}  // namespace tessaline
