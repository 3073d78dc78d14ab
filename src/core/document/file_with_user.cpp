#include "core/document/file_with_user.h"

#include "core/platform/user_answers.h"

namespace tessaline {

namespace {

BusyRunner BusyRunnerFor(IUserAnswers& ui) {
    return [&ui](const std::string& what, const std::function<void()>& work) {
        ui.RunWhileBusy(what, work);
    };
}

}  // namespace

ReadRequest ReadRequestFor(const UserReadRequest& request) {
    IUserAnswers& ui = request.ui;
    ReadRequest read;
    read.askPassword = [&ui](const std::string& title, const std::string& prefill) {
        return ui.DecryptionPassword(title, prefill);
    };
    read.dateFormat = request.dateFormat;
    read.fileTitle = request.fileTitle;
    read.passwordPrefill = request.passwordPrefill;
    read.whileBusy = BusyRunnerFor(ui);
    return read;
}

WriteRequest WriteRequestFor(IUserAnswers& ui) {
    WriteRequest write;
    write.confirm = [&ui](const MessageRequest& question) {
        return ui.Message(question) == MsgAnswer::Yes;
    };
    write.whileBusy = BusyRunnerFor(ui);
    return write;
}

ReadResult ReadDataFileWithUser(std::span<const std::uint8_t> data,
                                const UserReadRequest& request) {
    ReadResult result = ReadDataFile(data, ReadRequestFor(request));
    TellAll(request.ui, result.messages);
    return result;
}

std::optional<std::vector<std::uint8_t>> BuildDataFileWithUser(const CCardCollection& cards,
                                                               FileCipherState& state,
                                                               IUserAnswers& ui) {
    WriteResult result = BuildDataFile(cards, state, WriteRequestFor(ui));
    TellAll(ui, result.messages);
    return std::move(result.bytes);
}

}  // namespace tessaline
