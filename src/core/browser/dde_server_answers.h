#pragma once
// What Tessaline answers when a browser sends a "WWW_" request or poke to one of its DDE
// names (progress reports, alerts, viewer queries).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaline {

// The little the answers need from the system.
class IDdeServerEnvironment {
public:
    virtual ~IDdeServerEnvironment() = default;
    // Seconds since 1970; serves as a transaction id.
    virtual std::uint32_t NowSeconds() = 0;
    // Creates a fresh, empty temporary file whose name starts with `prefix` and gives
    // its full name, or none.
    virtual std::optional<std::string> MakeTempFileName(const std::string& prefix) = 0;
};

// The system's clock and temporary folder ($TMPDIR, else /tmp); the file is created
// readable by its owner only. The files it made are removed when it ends (the program's
// one lives until the program ends): what a browser put there for its viewer stays no
// longer than Tessaline.
class SystemDdeServerEnvironment : public IDdeServerEnvironment {
public:
    SystemDdeServerEnvironment() = default;
    ~SystemDdeServerEnvironment() override;
    SystemDdeServerEnvironment(const SystemDdeServerEnvironment&) = delete;
    SystemDdeServerEnvironment& operator=(const SystemDdeServerEnvironment&) = delete;

    std::uint32_t NowSeconds() override;
    std::optional<std::string> MakeTempFileName(const std::string& prefix) override;

private:
    std::vector<std::string> madeFiles_;
};

// The name given for a viewer's file when no temporary file can be made.
inline constexpr const char* kFallbackViewerFile = "/delme.nst";

// The reply data for a request on the topic with that index, item = the request's
// argument string (none when it came without an item). None: the request gets no data.
std::optional<std::vector<std::uint8_t>> AnswerDdeRequest(int topicIndex,
                                                          const std::optional<std::string>& item,
                                                          IDdeServerEnvironment& environment);

// Whether a poke on that topic is acknowledged. Its arguments are read and not used.
bool AcceptDdePoke(int topicIndex, const std::optional<std::string>& item);

}  // namespace tessaline
