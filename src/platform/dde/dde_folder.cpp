#include "platform/dde/dde_folder.h"

#include <pwd.h>
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
    // Never a shared place such as /tmp, where another user could take the name first:
    // the user's own cache folder.
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return std::string(cache) + "/tessaline-dde";
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment && *fromEnvironment)
        home = fromEnvironment;
    else if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
        home = user->pw_dir;
    return home.empty() ? std::string() : home + "/.cache/tessaline-dde";
}

namespace {

// Creates the parents of `folder` that are missing, readable by their owner only.
void MakeParents(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
}

}  // namespace

std::optional<std::string> EnsurePrivateSocketFolder() {
    const std::string folder = SocketFolderPath();
    if (folder.empty())
        return std::nullopt;
    MakeParents(folder);
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
