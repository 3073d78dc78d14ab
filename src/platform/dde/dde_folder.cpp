#include "platform/dde/dde_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tessaline::dde {

std::string SocketFolderPath() {
    if (const char* folder = std::getenv("TESSALINE_DDE_FOLDER"); folder && *folder)
        return folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        struct stat st {};
        if (stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid())
            return std::string(runtime) + "/tessaline-dde";
    }
    return "/tmp/tessaline-dde-" + std::to_string(getuid());
}

std::optional<std::string> EnsurePrivateSocketFolder() {
    const std::string folder = SocketFolderPath();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return std::nullopt;
    if ((st.st_mode & 0077) != 0) {
        if (chmod(folder.c_str(), 0700) != 0)
            return std::nullopt;
        if (lstat(folder.c_str(), &st) != 0 || (st.st_mode & 0077) != 0)
            return std::nullopt;
    }
    return folder;
}

}  // namespace tessaline::dde
