#pragma once
// Tessaline's own DDE names and their conversations with the web browser's DDE service.
//
// A CDDEObject is one name of ours ("Tessaline1", "Tessaline2", ...), registered as a
// service: a client towards the browser service it was made for, and a server for what
// the browser sends back to that name (progress reports, alerts). A CDDEConversation
// wraps one conversation. The topic table and the browser service handle are made with
// the first object and freed with the last.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/browser/dde_arguments.h"
#include "platform/dde/ddeml.h"

namespace tessaline {

class CDDEObject;

// The process's DDE instance, with DdeServerCallback. False when it cannot be made;
// start-up then tells the user and ends.
bool InitializeDde();
// Ends every object made for the rest of the process and the instance.
void UninitializeDde();
dde::DWORD DdeInstanceId();

// How long a request waits for its reply (60,000 ms unless a test says otherwise).
inline constexpr dde::DWORD kDdeRequestTimeoutMs = 60000;
void SetDdeRequestTimeout(dde::DWORD timeoutMs);

// The application name that numbers our DDE names.
inline constexpr const char* kDdeApplicationName = "Tessaline";

// The topic handles in table order (none while no object exists), and the index of a
// topic handle in it (-1 when it is not there).
const std::array<dde::HSZ, 27>& DDE_TopicTable();
int TopicIndexOf(dde::HSZ topic);

class CDDEConversation {
public:
    CDDEConversation(CDDEObject& owner, dde::HCONV handle);
    ~CDDEConversation();
    CDDEConversation(const CDDEConversation&) = delete;
    CDDEConversation& operator=(const CDDEConversation&) = delete;

    dde::HCONV Handle() const { return handle_; }
    CDDEObject& Owner() const { return owner_; }

    // One synchronous request on CF_TEXT; frees the item handle. The partner may end the
    // conversation while it waits: this object is then gone when Request returns.
    dde::HDDEDATA Request(dde::HSZ item);

private:
    CDDEObject& owner_;
    dde::HCONV handle_;
};

class CDDEObject {
public:
    // Registers the next name; serviceName is the browser service it talks to.
    explicit CDDEObject(const std::string& serviceName);
    ~CDDEObject();
    CDDEObject(const CDDEObject&) = delete;
    CDDEObject& operator=(const CDDEObject&) = delete;

    const std::string& Name() const { return name_; }
    dde::HSZ NameHandle() const { return nameHandle_; }
    bool Registered() const { return registered_; }

    // A conversation with the browser service on the topic; none when it does not answer.
    CDDEConversation* Connect(int topicIndex);
    // Disconnects and destroys one of this object's conversations.
    void EndConversation(CDDEConversation* conversation);
    // A conversation the browser opened with this name.
    CDDEConversation* AddConversation(dde::HCONV handle);
    // The partner ended it: destroyed without disconnecting again.
    void RemoveConversation(dde::HCONV handle);
    CDDEConversation* FindConversation(dde::HCONV handle) const;
    std::size_t ConversationCount() const { return conversations_.size(); }

    // "WWW_OpenURL". Empty optional texts are left out; the address is always written.
    void OpenURL(const std::string& address, const std::string& saveAsFile, std::uint32_t windowId,
                 std::uint32_t flags, const std::string& formData, const std::string& mimeType,
                 const std::string& progressServer);
    // As the browser commands use it: no file, flags 0, no form data or type, this
    // object's name as progress server, window 0 for a new window, else the last active.
    void OpenURL(const std::string& address, bool newWindow);
    // "WWW_GetWindowInfo": the window's address and title, or empty texts.
    void GetWindowInfo(std::uint32_t windowId, std::string& address, std::string& title);

private:
    // Request on a new conversation, read by the reply's type list; none on any failure.
    std::optional<std::vector<DdeArgument>> Transact(int topicIndex, const std::string& typeList,
                                                     const std::vector<DdeArgument>& values,
                                                     const std::string& replyTypes);

    std::string name_;
    dde::HSZ nameHandle_;
    bool registered_ = false;
    std::vector<std::unique_ptr<CDDEConversation>> conversations_;
};

// A CDDEObject for the service that stays registered until the process ends (or
// UninitializeDde), so the browser can still report to its name.
CDDEObject& MakeLastingDdeObject(const std::string& serviceName);

// Every CDDEObject that exists, oldest first.
const std::vector<CDDEObject*>& AllDdeObjects();

// The instance's callback.
dde::HDDEDATA DdeServerCallback(dde::UINT type, dde::UINT format, dde::HCONV conversation,
                                dde::HSZ hsz1, dde::HSZ hsz2, dde::HDDEDATA data);

}  // namespace tessaline
