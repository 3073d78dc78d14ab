#include "core/prefs/preferences.h"

#include <cstdint>

#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/frame_keys.h"
#include "core/prefs/profile_keys.h"

namespace tessaline {

using namespace prefs;

Preferences LoadPreferences(const IProfile& p) {
    Preferences r;
    r.printAtm = p.GetInt(kPrintSection, kPrintAtm, 1);
    r.printNotes = p.GetInt(kPrintSection, kPrintNotes, 1);
    r.launchEmail = p.GetInt(kStartUpSection, kStartUpEmail, 0);
    r.launchFtp = p.GetInt(kStartUpSection, kLaunchFtp, 0);
    r.launchNews = p.GetInt(kStartUpSection, kLaunchNewsReader, 0);
    r.launchTelnet = p.GetInt(kStartUpSection, kLaunchTelNet, 0);
    r.launchWebBrowser = p.GetInt(kStartUpSection, kLaunchWebBrowser, 0);
    r.checkOpenFiles = p.GetInt(kStartUpSection, kCheckOpenFiles, 0);
    r.chooseWebBrowser = p.GetInt(kInternetSection, kChooseWebBrowser, 1);
    r.automaticSaveCheck = p.GetInt(kInternetSection, kAutomaticSaveCheck, 0);
    r.automaticSave = p.GetText(kInternetSection, kAutomaticSave, kAutomaticSaveDefault);
    r.dateFormat = p.GetInt(kInternetSection, kDateFormat, kDateFormatDefault);
    r.showPasswordAlways = p.GetInt(kInternetSection, kShowPasswordAlways, 0);
    r.netscapePath = p.GetText(kInternetSection, kNetscapeFilePath, "");
    r.explorerPath = p.GetText(kInternetSection, kExplorerFilePath, "");
    r.mailPath = p.GetText(kInternetSection, kMailProgFilePath, "");
    r.newsPath = p.GetText(kInternetSection, kNewsProgFilePath, "");
    r.helpPath = p.GetText(kInternetSection, kHelpProgFilePath, "");
    r.ftpPath = p.GetText(kInternetSection, kFtpFilePath, "");
    r.telnetPath = p.GetText(kInternetSection, kTelnetFilePath, "");
    r.lockAfterMinutes = p.GetInt(kGeneralSection, kLockAfterMinutes, kLockAfterMinutesDefault);
    r.clearClipboardSeconds = ClearClipboardSeconds(p);
    r.submitLoginForms =
        p.GetInt(kGeneralSection, kSubmitLoginForms, kSubmitLoginFormsDefault) == 1 ? 1 : 0;
    r.searchPasswords =
        p.GetInt(kGeneralSection, kSearchPasswords, kSearchPasswordsDefault) == 1 ? 1 : 0;
    const int ops = p.GetInt(kGeneralSection, kSealedKeyOperations, kSealedKeyOperationsDefault);
    r.sealedKeyOperations = ops >= kSealedKeyOperationsMin && ops <= kSealedKeyOperationsMax
                                ? ops
                                : kSealedKeyOperationsDefault;
    const int kib = p.GetInt(kGeneralSection, kSealedKeyMemoryKiB, kSealedKeyMemoryKiBDefault);
    r.sealedKeyMemoryKiB = kib >= kSealedKeyMemoryKiBMin && kib <= kSealedKeyMemoryKiBMax
                               ? kib
                               : kSealedKeyMemoryKiBDefault;
    return r;
}

void SavePreferences(IProfile& p, const Preferences& r) {
    p.WriteInt(kPrintSection, kPrintAtm, r.printAtm);
    p.WriteInt(kPrintSection, kPrintNotes, r.printNotes);
    p.WriteInt(kStartUpSection, kStartUpEmail, r.launchEmail);
    p.WriteInt(kStartUpSection, kLaunchFtp, r.launchFtp);
    p.WriteInt(kStartUpSection, kLaunchNewsReader, r.launchNews);
    p.WriteInt(kStartUpSection, kLaunchTelNet, r.launchTelnet);
    p.WriteInt(kStartUpSection, kLaunchWebBrowser, r.launchWebBrowser);
    p.WriteInt(kStartUpSection, kCheckOpenFiles, r.checkOpenFiles);
    p.WriteInt(kInternetSection, kChooseWebBrowser, r.chooseWebBrowser);
    p.WriteInt(kInternetSection, kAutomaticSaveCheck, r.automaticSaveCheck);
    p.WriteText(kInternetSection, kAutomaticSave, r.automaticSave);
    p.WriteInt(kInternetSection, kDateFormat, r.dateFormat);
    p.WriteInt(kInternetSection, kShowPasswordAlways, r.showPasswordAlways);
    p.WriteText(kInternetSection, kNetscapeFilePath, r.netscapePath);
    p.WriteText(kInternetSection, kExplorerFilePath, r.explorerPath);
    p.WriteText(kInternetSection, kMailProgFilePath, r.mailPath);
    p.WriteText(kInternetSection, kNewsProgFilePath, r.newsPath);
    p.WriteText(kInternetSection, kHelpProgFilePath, r.helpPath);
    p.WriteText(kInternetSection, kFtpFilePath, r.ftpPath);
    p.WriteText(kInternetSection, kTelnetFilePath, r.telnetPath);
    p.WriteInt(kGeneralSection, kLockAfterMinutes, r.lockAfterMinutes);
    p.WriteInt(kGeneralSection, kClearClipboardSeconds, r.clearClipboardSeconds);
    p.WriteInt(kGeneralSection, kSubmitLoginForms, r.submitLoginForms);
    p.WriteInt(kGeneralSection, kSearchPasswords, r.searchPasswords);
    p.WriteInt(kGeneralSection, kSealedKeyOperations, r.sealedKeyOperations);
    p.WriteInt(kGeneralSection, kSealedKeyMemoryKiB, r.sealedKeyMemoryKiB);
}

PrintFlags LoadPrintFlags(const IProfile& p) {
    return PrintFlags{p.GetInt(kPrintSection, kPrintAtm, 1) != 0,
                      p.GetInt(kPrintSection, kPrintNotes, 1) != 0};
}

int AutoSaveSpinPosition(const std::string& minutesText) {
    std::uint32_t value = 0;
    for (char c : minutesText) {
        if (c < '0' || c > '9')
            break;
        // Only the low 16 bits of the number count; keep it small while reading.
        value = (value * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFFFFu;
    }
    const int v = static_cast<int>(value);
    return v > kAutoSaveSpinMax ? kAutoSaveSpinMax : v;
}

std::array<std::string, 12> DateFormatSamples(std::uint32_t stamp) {
    std::array<std::string, 12> out;
    for (int i = 0; i < kDateFormatCount; ++i)
        out[static_cast<std::size_t>(i)] = FormatCardDate(stamp, i);
    return out;
}

int DateFormatListSelection(int storedIndex) {
    return storedIndex >= 0 && storedIndex < kDateFormatCount ? storedIndex : -1;
}

int ClearClipboardSeconds(const IProfile& p) {
    const int s = p.GetInt(kGeneralSection, kClearClipboardSeconds, kClearClipboardSecondsDefault);
    return s < 0 ? 0 : s;
}

}  // namespace tessaline
