#pragma once
// Section and value names of the settings, and their defaults.

namespace tessaline::prefs {

inline constexpr const char* kInternetSection = "Internet Preferences";
inline constexpr const char* kStartUpSection = "Start Up Preferences";
inline constexpr const char* kPrintSection = "Print Preferences";
inline constexpr const char* kGeneralSection = "General Preferences";

inline constexpr const char* kDateFormat = "Date Format";  // int, default 0
inline constexpr int kDateFormatDefault = 0;

// Section "General Preferences": 1 = a login form that Load Web Page or Fill Login fills
// for a card with Automatic Access is submitted too; default 0 (only filled).
inline constexpr const char* kSubmitLoginForms = "Submit Login Forms";
inline constexpr int kSubmitLoginFormsDefault = 0;
// Section "General Preferences": 1 = the search box finds cards by their password too;
// default 0 (a search typed where others can see it never tells what a password holds).
inline constexpr const char* kSearchPasswords = "Search Passwords";
inline constexpr int kSearchPasswordsDefault = 0;

}  // namespace tessaline::prefs
