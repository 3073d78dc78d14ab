#include "core/platform/handheld_users.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tessaline {

namespace {

std::string ProcessEnvironment(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string ProcessLoginName() {
    if (passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    std::string user = ProcessEnvironment("USER");
    return user.empty() ? ProcessEnvironment("LOGNAME") : user;
}

}  // namespace

JPilotHandheldUsers::JPilotHandheldUsers()
    : JPilotHandheldUsers(ProcessEnvironment, ProcessLoginName()) {}

JPilotHandheldUsers::JPilotHandheldUsers(Environment environment, std::string loginName)
    : environment_(std::move(environment)), loginName_(std::move(loginName)) {}

std::string JPilotHandheldUsers::JPilotFolder() const {
    std::string base = environment_("JPILOT_HOME");
    if (base.empty())
        base = environment_("HOME");
    if (base.empty())
        return {};
    return (std::filesystem::path(base) / ".jpilot").string();
}

bool JPilotHandheldUsers::HasUser(int index) const {
    if (index != 0 || loginName_.empty())
        return false;
    const std::string folder = JPilotFolder();
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

int JPilotHandheldUsers::UserName(int index, std::string& name) {
    if (!HasUser(index))
        return 0;
    name = loginName_;
    return static_cast<int>(name.size());
}

int JPilotHandheldUsers::UserDirectory(int index, std::string& folder) {
    if (!HasUser(index))
        return 0;
    folder = JPilotFolder();
    return static_cast<int>(folder.size());
}

}  // namespace tessaline
