#pragma once
// The settings the automation browser finds in its profile before it starts: it saves no
// passwords, addresses or payment cards and sends no password to be checked for leaks.
// The browser's own Preferences file keeps every other setting it holds.

#include <QString>
#include <QStringList>

namespace tessaline::devtools {

// The settings written, as dotted paths into the Preferences file; each is false.
QStringList NoSavingPreferenceNames();

// The Preferences file of the profile in that folder ("Default/Preferences").
QString PreferencesFilePath(const QString& profileFolder);

// Merges the settings into the profile's Preferences file (created readable by its owner
// only when there is none), keeping every other entry. A file that is no JSON object is
// moved aside to "Preferences.unreadable" first, as the browser would not read it either.
// False when the file could not be written: the browser must not start then.
bool WriteNoSavingPreferences(const QString& profileFolder);

}  // namespace tessaline::devtools
