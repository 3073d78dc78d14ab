#include "platform/qt_profile.h"

#include <QSettings>

namespace tessaline {

namespace {
QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}
}  // namespace

QtProfile::QtProfile()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("Quillmar"), QStringLiteral("Tessaline"))) {}

QtProfile::QtProfile(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtProfile::~QtProfile() = default;

int QtProfile::GetInt(const std::string& section, const std::string& name, int def) const {
    const QVariant v = settings_->value(Key(section, name));
    if (!v.isValid())
        return def;
    bool ok = false;
    const int value = v.toInt(&ok);
    // A value that is not a number reads as missing, as the registry does for an int
    // asked of a text.
    return ok ? value : def;
}

std::string QtProfile::GetText(const std::string& section, const std::string& name,
                               const std::string& def) const {
    const QVariant v = settings_->value(Key(section, name));
    if (!v.isValid())
        return def;
    return v.toString().toStdString();
}

void QtProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    settings_->setValue(Key(section, name), value);
}

void QtProfile::WriteText(const std::string& section, const std::string& name,
                          const std::string& value) {
    settings_->setValue(Key(section, name), QString::fromStdString(value));
}

void QtProfile::Sync() {
    settings_->sync();
}

}  // namespace tessaline
