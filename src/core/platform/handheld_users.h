#pragma once
// The handheld synchronisation software's users: the name of user n and that user's
// folder, each with a result greater than 0 on success.
//
// On Linux the handheld's data lives in a ".jpilot" folder: when $JPILOT_HOME/.jpilot
// (without JPILOT_HOME, ~/.jpilot) exists, user 0 is the login name and that folder is
// the user's folder. Otherwise there is no user and both calls give 0.

#include <functional>
#include <string>

namespace tessaline {

class IHandheldUsers {
public:
    virtual ~IHandheldUsers() = default;
    virtual int UserName(int index, std::string& name) = 0;
    virtual int UserDirectory(int index, std::string& folder) = 0;
};

class JPilotHandheldUsers : public IHandheldUsers {
public:
    using Environment = std::function<std::string(const char* name)>;  // "" when unset
    // The process environment and login name.
    JPilotHandheldUsers();
    JPilotHandheldUsers(Environment environment, std::string loginName);

    int UserName(int index, std::string& name) override;
    int UserDirectory(int index, std::string& folder) override;

    // The folder looked at, whether or not it exists.
    std::string JPilotFolder() const;

private:
    bool HasUser(int index) const;

    Environment environment_;
    std::string loginName_;
};

}  // namespace tessaline
