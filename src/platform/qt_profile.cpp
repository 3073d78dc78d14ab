#include "platform/qt_profile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tessaline {

namespace {
QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

// Narrows an open file or folder of this user to mode; another user's is left alone.
void NarrowToOwner(int fd, mode_t mode) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 07777) != mode)
        ::fchmod(fd, mode);
}

// The settings name recently opened files: only their owner reads them. The file is made
// 0600 before the settings first write it (they replace it keeping its mode), and a file
// made wider earlier is narrowed. Links are not followed.
void KeepFileOwnerOnly(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return;
    NarrowToOwner(fd, 0600);
    ::close(fd);
}

// The program's own settings folder (the organisation's, such as ~/.config/Quillmar): 0700,
// made so when it is missing and narrowed when it is wider.
void KeepFolderOwnerOnly(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno == ENOENT) {
        // The folders above it are the user's own configuration folders: usual modes.
        QDir().mkpath(QFileInfo(folder).absolutePath());
        ::mkdir(name.constData(), 0700);
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    NarrowToOwner(fd, 0700);
    ::close(fd);
}

}  // namespace

QtProfile::QtProfile()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("Quillmar"), QStringLiteral("Tessaline"))) {
    KeepFolderOwnerOnly(QFileInfo(settings_->fileName()).absolutePath());
    KeepFileOwnerOnly(settings_->fileName());
}

QtProfile::QtProfile(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {
    // A folder chosen by the caller may be shared (a portable set-up's): only the file.
    KeepFileOwnerOnly(settings_->fileName());
}

QtProfile::~QtProfile() {
    const QString path = settings_->fileName();
    settings_.reset();
    KeepFileOwnerOnly(path);
}

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
    KeepFileOwnerOnly(settings_->fileName());
}

}  // namespace tessaline
