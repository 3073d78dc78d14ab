#include "platform/devtools/browser_profile_prefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "platform/devtools/devtools_client.h"

namespace tessaline::devtools {

namespace {

// Sets the entry at a dotted path ("profile.password_manager_enabled") to `value`,
// making the objects on the way where they are missing or not objects.
void SetPath(QJsonObject& object, QStringView path, const QJsonValue& value) {
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        object.insert(path.toString(), value);
        return;
    }
    const QString key = path.left(dot).toString();
    QJsonObject inner = object.value(key).toObject();
    SetPath(inner, path.mid(dot + 1), value);
    object.insert(key, inner);
}

}  // namespace

QStringList NoSavingPreferenceNames() {
    return {
        // Saving passwords and offering to: the password manager as a whole.
        QStringLiteral("credentials_enable_service"),
        QStringLiteral("profile.password_manager_enabled"),
        // Signing in with a saved password by itself.
        QStringLiteral("credentials_enable_autosignin"),
        // Sending a hash of a typed password to be checked against leaked ones.
        QStringLiteral("profile.password_manager_leak_detection"),
        // Saving and filling addresses and payment cards.
        QStringLiteral("autofill.profile_enabled"),
        QStringLiteral("autofill.credit_card_enabled"),
    };
}

QString PreferencesFilePath(const QString& profileFolder) {
    return QDir(profileFolder).filePath(QStringLiteral("Default/Preferences"));
}

bool WriteNoSavingPreferences(const QString& profileFolder) {
    const QString path = PreferencesFilePath(profileFolder);
    if (!MakePrivateFolder(QFileInfo(path).absolutePath()))
        return false;
    QJsonObject preferences;
    if (QFile existing(path); existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = existing.readAll();
        existing.close();
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error == QJsonParseError::NoError && document.isObject()) {
            preferences = document.object();
        } else {
            const QString aside = path + QStringLiteral(".unreadable");
            QFile::remove(aside);
            if (!QFile::rename(path, aside))
                return false;
        }
    }
    for (const QString& name : NoSavingPreferenceNames())
        SetPath(preferences, name, false);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write(QJsonDocument(preferences).toJson(QJsonDocument::Compact));
    return file.commit();
}

}  // namespace tessaline::devtools
