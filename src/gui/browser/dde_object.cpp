#include "gui/browser/dde_object.h"

#include <algorithm>

#include "core/browser/dde_server_answers.h"

namespace tessaline {

using namespace tessaline::dde;

namespace {

struct DdeState {
    DWORD instance = 0;
    std::array<HSZ, 27> topics{};
    HSZ browserService;
    std::vector<CDDEObject*> objects;              // every object, oldest first
    std::vector<CDDEConversation*> conversations;  // every conversation
    std::vector<std::unique_ptr<CDDEObject>> lasting;
    unsigned counter = 0;  // objects ever made
    DWORD requestTimeoutMs = kDdeRequestTimeoutMs;
};

DdeState& State() {
    static DdeState state;
    return state;
}

CDDEConversation* FindAnyConversation(HCONV handle) {
    for (CDDEConversation* c : State().conversations)
        if (c->Handle() == handle)
            return c;
    return nullptr;
}

CDDEObject* FindObjectByName(const std::string& name) {
    for (CDDEObject* o : State().objects)
        if (o->Name() == name)
            return o;
    return nullptr;
}

std::optional<std::string> ItemText(HSZ item) {
    if (!item)
        return std::nullopt;
    return DdeQueryString(State().instance, item);
}

// Reads reply data by its type list and releases it.
std::vector<DdeArgument> ReadReply(HDDEDATA data, const std::string& typeList) {
    std::vector<std::uint8_t> bytes(DdeGetData(data, nullptr, 0, 0));
    DdeGetData(data, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    DdeFreeDataHandle(data);
    return DecodeReply(typeList, bytes);
}

}  // namespace

bool InitializeDde() {
    if (State().instance)
        return true;
    DWORD instance = 0;
    if (DdeInitialize(&instance, DdeServerCallback, 0) != DMLERR_NO_ERROR) {
        State().instance = 0;
        return false;
    }
    State().instance = instance;
    return true;
}

void UninitializeDde() {
    State().lasting.clear();
    if (State().instance)
        DdeUninitialize(State().instance);
    State().instance = 0;
}

DWORD DdeInstanceId() {
    return State().instance;
}

void SetDdeRequestTimeout(DWORD timeoutMs) {
    State().requestTimeoutMs = timeoutMs;
}

const std::array<HSZ, 27>& DDE_TopicTable() {
    return State().topics;
}

int TopicIndexOf(HSZ topic) {
    if (!topic)
        return -1;
    const auto& table = State().topics;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == topic)
            return static_cast<int>(i);
    return -1;
}

const std::vector<CDDEObject*>& AllDdeObjects() {
    return State().objects;
}

CDDEObject& MakeLastingDdeObject(const std::string& serviceName) {
    State().lasting.push_back(std::make_unique<CDDEObject>(serviceName));
    return *State().lasting.back();
}

// ---- CDDEConversation

CDDEConversation::CDDEConversation(CDDEObject& owner, HCONV handle)
    : owner_(owner), handle_(handle) {
    State().conversations.push_back(this);
}

CDDEConversation::~CDDEConversation() {
    std::erase(State().conversations, this);
}

HDDEDATA CDDEConversation::Request(HSZ item) {
    const DWORD instance = State().instance;
    DWORD result = 0;
    // Nothing of this object may be touched after the call: the partner may have ended
    // the conversation (and so destroyed it) while the request waited.
    const HDDEDATA reply = DdeClientTransaction(nullptr, 0, handle_, item, CF_TEXT, XTYP_REQUEST,
                                                State().requestTimeoutMs, &result);
    if (item)
        DdeFreeStringHandle(instance, item);
    return reply;
}

// ---- CDDEObject

CDDEObject::CDDEObject(const std::string& serviceName) {
    DdeState& state = State();
    name_ = kDdeApplicationName + std::to_string(++state.counter);
    state.objects.push_back(this);
    const DWORD instance = state.instance;
    if (state.objects.size() == 1) {
        for (std::size_t i = 0; i < kDdeTopicTable.size(); ++i)
            state.topics[i] = DdeCreateStringHandle(instance, kDdeTopicTable[i], CP_WINANSI);
        state.browserService = DdeCreateStringHandle(instance, serviceName, CP_WINANSI);
    }
    nameHandle_ = DdeCreateStringHandle(instance, name_, CP_WINANSI);
    registered_ = nameHandle_ && DdeNameService(instance, nameHandle_, DNS_REGISTER);
}

CDDEObject::~CDDEObject() {
    DdeState& state = State();
    while (!conversations_.empty())
        EndConversation(conversations_.back().get());
    std::erase(state.objects, this);
    if (registered_)
        DdeNameService(state.instance, nameHandle_, DNS_UNREGISTER);
    if (nameHandle_)
        DdeFreeStringHandle(state.instance, nameHandle_);
    if (state.objects.empty()) {
        for (HSZ& topic : state.topics) {
            if (topic)
                DdeFreeStringHandle(state.instance, topic);
            topic = HSZ{};
        }
        if (state.browserService)
            DdeFreeStringHandle(state.instance, state.browserService);
        state.browserService = HSZ{};
    }
}

CDDEConversation* CDDEObject::Connect(int topicIndex) {
    if (topicIndex < 0 || topicIndex >= static_cast<int>(State().topics.size()))
        return nullptr;
    const HCONV handle = DdeConnect(State().instance, State().browserService,
                                    State().topics[static_cast<std::size_t>(topicIndex)], nullptr);
    if (!handle)
        return nullptr;
    return AddConversation(handle);
}

CDDEConversation* CDDEObject::AddConversation(HCONV handle) {
    conversations_.push_back(std::make_unique<CDDEConversation>(*this, handle));
    return conversations_.back().get();
}

CDDEConversation* CDDEObject::FindConversation(HCONV handle) const {
    for (const auto& c : conversations_)
        if (c->Handle() == handle)
            return c.get();
    return nullptr;
}

void CDDEObject::EndConversation(CDDEConversation* conversation) {
    auto it = std::find_if(conversations_.begin(), conversations_.end(),
                           [&](const auto& c) { return c.get() == conversation; });
    if (it == conversations_.end())
        return;
    DdeDisconnect((*it)->Handle());
    conversations_.erase(it);
}

void CDDEObject::RemoveConversation(HCONV handle) {
    std::erase_if(conversations_, [&](const auto& c) { return c->Handle() == handle; });
}

std::optional<std::vector<DdeArgument>> CDDEObject::Transact(int topicIndex,
                                                             const std::string& typeList,
                                                             const std::vector<DdeArgument>& values,
                                                             const std::string& replyTypes) {
    CDDEConversation* conversation = Connect(topicIndex);
    if (!conversation)
        return std::nullopt;
    const HCONV handle = conversation->Handle();
    // An item that cannot be a string handle (empty or too long) leaves the request
    // without one, and the request fails.
    HSZ item;
    if (std::optional<std::string> text = BuildArgumentString(typeList, values))
        item = DdeCreateStringHandle(State().instance, *text, CP_WINANSI);
    const HDDEDATA reply = conversation->Request(item);
    // Ended here unless the partner already ended it during the request.
    if (CDDEConversation* still = FindConversation(handle))
        EndConversation(still);
    if (!reply)
        return std::nullopt;
    return ReadReply(reply, replyTypes);
}

void CDDEObject::OpenURL(const std::string& address, const std::string& saveAsFile,
                         std::uint32_t windowId, std::uint32_t flags, const std::string& formData,
                         const std::string& mimeType, const std::string& progressServer) {
    auto optional = [](const std::string& text) -> DdeArgument {
        if (text.empty())
            return std::monostate{};
        return text;
    };
    // The reply, the browser's window id, is not needed.
    Transact(kTopicOpenURL, "QCS,QCS,DW,DW,QCS,QCS,CS",
             {address, optional(saveAsFile), windowId, flags, optional(formData),
              optional(mimeType), optional(progressServer)},
             "DW");
}

void CDDEObject::OpenURL(const std::string& address, bool newWindow) {
    OpenURL(address, "", newWindow ? kNewWindow : kLastActiveWindow, 0, "", "", name_);
}

void CDDEObject::GetWindowInfo(std::uint32_t windowId, std::string& address, std::string& title) {
    address.clear();
    title.clear();
    const auto reply = Transact(kTopicGetWindowInfo, "DW", {windowId}, "QCS,QCS");
    if (!reply || reply->size() < 2)
        return;
    address = std::get<std::string>((*reply)[0]);
    title = std::get<std::string>((*reply)[1]);
}

// ---- the callback

HDDEDATA DdeServerCallback(UINT type, UINT /*format*/, HCONV conversation, HSZ hsz1, HSZ hsz2,
                           HDDEDATA /*data*/) {
    const DWORD instance = State().instance;
    switch (type) {
        case XTYP_CONNECT:
            // Any topic, as long as the service is one of our names, compared exactly.
            return FindObjectByName(DdeQueryString(instance, hsz2)) ? DdeResult(TRUE_RESULT)
                                                                    : HDDEDATA{};
        case XTYP_CONNECT_CONFIRM:
            if (CDDEObject* object = FindObjectByName(DdeQueryString(instance, hsz2)))
                object->AddConversation(conversation);
            return {};
        case XTYP_REQUEST: {
            CDDEConversation* c = FindAnyConversation(conversation);
            if (!c)
                return {};
            static SystemDdeServerEnvironment environment;
            const auto answer = AnswerDdeRequest(TopicIndexOf(hsz1), ItemText(hsz2), environment);
            if (!answer)
                return {};
            return DdeCreateDataHandle(instance, answer->data(), static_cast<DWORD>(answer->size()),
                                       0, c->Owner().NameHandle(), CF_TEXT, 0);
        }
        case XTYP_POKE: {
            if (!FindAnyConversation(conversation))
                return {};
            return AcceptDdePoke(TopicIndexOf(hsz1), ItemText(hsz2)) ? DdeResult(DDE_FACK)
                                                                     : HDDEDATA{};
        }
        case XTYP_DISCONNECT:
            if (CDDEConversation* c = FindAnyConversation(conversation))
                c->Owner().RemoveConversation(conversation);
            return {};
        default:
            return {};
    }
}

}  // namespace tessaline
