#pragma once
// The user's settings kept with QSettings under organisation "Quillmar" and application
// "Tessaline": section "Internet Preferences" value "Date Format" is the key
// "Internet Preferences/Date Format". Ints are stored as ints and texts as texts.

#include <QString>
#include <memory>

#include "core/platform/profile.h"

class QSettings;

namespace tessaline {

class QtProfile : public IProfile {
public:
    // The user's own settings.
    QtProfile();
    // Settings kept in one INI file (tests, portable set-ups).
    explicit QtProfile(const QString& iniPath);
    ~QtProfile() override;
    QtProfile(const QtProfile&) = delete;
    QtProfile& operator=(const QtProfile&) = delete;

    int GetInt(const std::string& section, const std::string& name, int def) const override;
    std::string GetText(const std::string& section, const std::string& name,
                        const std::string& def) const override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;
    void WriteText(const std::string& section, const std::string& name,
                   const std::string& value) override;

    // Writes pending changes to disk.
    void Sync();

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tessaline
