#include "core/browser/dde_server_answers.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "core/browser/dde_arguments.h"

namespace tessaline {

SystemDdeServerEnvironment::~SystemDdeServerEnvironment() {
    for (const std::string& file : madeFiles_)
        unlink(file.c_str());
}

std::uint32_t SystemDdeServerEnvironment::NowSeconds() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

std::optional<std::string> SystemDdeServerEnvironment::MakeTempFileName(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    std::string name = folder + prefix + "XXXXXX";
    int fd = mkstemp(name.data());  // mode 0600
    if (fd < 0)
        return std::nullopt;
    close(fd);
    madeFiles_.push_back(name);
    return name;
}

namespace {

std::string_view TypesOfRequest(int topic) {
    switch (topic) {
        case kTopicAlert:
            return "QCS,DW,DW";
        case kTopicBeginProgress:
            return "DW,QCS";
        case kTopicMakingProgress:
            return "DW,QCS,DW";
        case kTopicOpenURL:
            return "QCS,QCS,DW,DW,QCS,QCS,CS";
        case kTopicQueryViewer:
            return "QCS,QCS";
        default:
            return "";
    }
}

std::string_view TypesOfPoke(int topic) {
    switch (topic) {
        case kTopicEndProgress:
            return "DW";
        case kTopicSetProgressRange:
            return "DW,DW";
        case kTopicURLEcho:
            return "QCS,QCS,DW,QCS";
        case kTopicViewDocFile:
            return "QCS,QCS,QCS,DW";
        case kTopicWindowChange:
            return "DW,DW,DW,DW,DW,DW";
        default:
            return "";
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> AnswerDdeRequest(int topicIndex,
                                                          const std::optional<std::string>& item,
                                                          IDdeServerEnvironment& environment) {
    const std::string_view types = TypesOfRequest(topicIndex);
    if (types.empty())
        return std::nullopt;
    // The arguments are read as the browser sent them; none of them changes the answer.
    (void)ReadArguments(types, item.value_or(std::string()));
    switch (topicIndex) {
        case kTopicAlert:
            return EncodeReply("DW", {std::uint32_t{0}});
        case kTopicBeginProgress:
        case kTopicOpenURL:
            return EncodeReply("DW", {environment.NowSeconds()});
        case kTopicMakingProgress:
            return EncodeReply("BL", {false});  // do not cancel
        case kTopicQueryViewer: {
            std::string file = environment.MakeTempFileName("nstest").value_or(kFallbackViewerFile);
            return EncodeReply("QCS", {file});
        }
        default:
            return std::nullopt;
    }
}

bool AcceptDdePoke(int topicIndex, const std::optional<std::string>& item) {
    const std::string_view types = TypesOfPoke(topicIndex);
    if (types.empty())
        return false;
    (void)ReadArguments(types, item.value_or(std::string()));
    return true;
}

}  // namespace tessaline
