#include "platform/dde/ddeml.h"

#include <signal.h>
#include <unistd.h>
#include <cerrno>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/dde/dde_folder.h"
#include "platform/dde/dde_wire.h"

namespace tessaline::dde {

namespace {

// How long opening a conversation may take.
constexpr int kConnectTimeoutMs = 5000;

struct SocketDeleter {
    void operator()(QLocalSocket* socket) const {
        QObject::disconnect(socket, nullptr, nullptr, nullptr);
        socket->abort();
        socket->deleteLater();  // it may be inside one of its own signals
    }
};
using SocketPtr = std::unique_ptr<QLocalSocket, SocketDeleter>;

struct ServerDeleter {
    void operator()(QLocalServer* server) const {
        QObject::disconnect(server, nullptr, nullptr, nullptr);
        server->close();
        server->deleteLater();
    }
};
using ServerPtr = std::unique_ptr<QLocalServer, ServerDeleter>;

struct StringEntry {
    std::string text;
    int references = 0;
};

struct DataEntry {
    DWORD instance = 0;
    std::vector<std::uint8_t> bytes;
    UINT format = 0;
};

struct PendingReply {
    bool arrived = false;
    DWORD value = 0;
    UINT format = 0;
    QByteArray data;
};

struct Conversation {
    DWORD instance = 0;
    bool client = false;
    bool established = false;
    SocketPtr socket;
    QByteArray buffer;
    std::string service, topic;
    std::optional<bool> connectAnswer;  // client: the partner's answer to Connect
    std::map<std::uint32_t, PendingReply> pending;
    std::uint32_t nextSequence = 1;
};

struct Instance {
    DdeCallback callback;
    UINT lastError = DMLERR_NO_ERROR;
    std::string folder;
    std::map<std::uint32_t, StringEntry> strings;
    std::map<std::string, ServerPtr> names;  // by lower-case service name
};

struct Registry {
    std::map<DWORD, std::unique_ptr<Instance>> instances;
    std::map<DWORD, std::unique_ptr<Conversation>> conversations;
    std::map<DWORD, DataEntry> data;
    std::uint32_t nextId = 1;
    std::uint32_t NewId() { return nextId++; }
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

Instance* FindInstance(DWORD id) {
    auto it = Reg().instances.find(id);
    return it == Reg().instances.end() ? nullptr : it->second.get();
}

Conversation* FindConversation(DWORD id) {
    auto it = Reg().conversations.find(id);
    return it == Reg().conversations.end() ? nullptr : it->second.get();
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

// Socket files are named "<key>.<pid>.<instance>"; the key stands for the service name.
QString ServiceKey(std::string_view service) {
    const QByteArray lower = QByteArray::fromStdString(Lower(service));
    return QString::fromLatin1(
        QCryptographicHash::hash(lower, QCryptographicHash::Sha1).toHex().left(24));
}

bool ProcessAlive(const QString& fileName) {
    const QStringList parts = fileName.split(QLatin1Char('.'));
    bool ok = false;
    const long pid = parts.value(1).toLong(&ok);
    return !ok || pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Runs the event loop (without user input) until `done` or the deadline.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    while (!done()) {
        const qint64 left = deadline.remainingTime();
        if (left == 0 || !dispatcher)
            return done();
        // A timer of its own each round wakes the wait at the deadline at the latest.
        QTimer wake;
        wake.setTimerType(Qt::PreciseTimer);
        wake.setSingleShot(true);
        wake.start(static_cast<int>(std::min<qint64>(left, 0x7FFFFFFF)) + 1);
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents |
                                  QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void Send(Conversation& conversation, const wire::Frame& frame) {
    conversation.socket->write(wire::Encode(frame));
    conversation.socket->flush();
}

HSZ CreateString(Instance& instance, std::string_view text) {
    const std::string key = Lower(text);
    for (auto& [id, entry] : instance.strings)
        if (Lower(entry.text) == key) {
            ++entry.references;
            return HSZ{id};
        }
    const std::uint32_t id = Reg().NewId();
    instance.strings[id] = StringEntry{std::string(text), 1};
    return HSZ{id};
}

void FreeString(Instance& instance, HSZ handle) {
    auto it = instance.strings.find(handle.id);
    if (it != instance.strings.end() && --it->second.references <= 0)
        instance.strings.erase(it);
}

// A string handle that lives while one callback runs.
class TemporaryString {
public:
    TemporaryString(DWORD instance, const QByteArray& text) : instance_(instance) {
        if (Instance* i = FindInstance(instance);
            i && !text.isEmpty() && static_cast<std::size_t>(text.size()) <= kMaxStringHandleLength)
            handle_ = CreateString(*i, text.toStdString());
    }
    ~TemporaryString() {
        if (Instance* i = FindInstance(instance_); i && handle_)
            FreeString(*i, handle_);
    }
    TemporaryString(const TemporaryString&) = delete;
    TemporaryString& operator=(const TemporaryString&) = delete;
    HSZ Get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

HDDEDATA NewData(DWORD instance, std::vector<std::uint8_t> bytes, UINT format) {
    const std::uint32_t id = Reg().NewId();
    Reg().data[id] = DataEntry{instance, std::move(bytes), format};
    return HDDEDATA{id};
}

HDDEDATA CallBack(DWORD instanceId, UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                  HDDEDATA data) {
    Instance* instance = FindInstance(instanceId);
    if (!instance || !instance->callback)
        return {};
    const DdeCallback callback = instance->callback;  // the instance may go during the call
    return callback(type, format, conversation, hsz1, hsz2, data);
}

// The partner hung up (or the connection broke): the conversation ends here, and the
// instance hears of it when the conversation had been established.
void OnDisconnected(DWORD conversationId) {
    auto it = Reg().conversations.find(conversationId);
    if (it == Reg().conversations.end())
        return;
    const DWORD instance = it->second->instance;
    const bool established = it->second->established;
    Reg().conversations.erase(it);
    if (established)
        CallBack(instance, XTYP_DISCONNECT, 0, HCONV{conversationId}, HSZ{}, HSZ{}, HDDEDATA{});
}

void ServeConnect(DWORD id, const wire::Frame& frame) {
    Conversation* conversation = FindConversation(id);
    const DWORD instance = conversation->instance;
    HDDEDATA accepted;
    {
        TemporaryString topic(instance, frame.second), service(instance, frame.first);
        accepted = CallBack(instance, XTYP_CONNECT, 0, HCONV{}, topic.Get(), service.Get(), {});
    }
    conversation = FindConversation(id);
    if (!conversation)
        return;
    Send(*conversation, wire::Frame{wire::Kind::ConnectAck, 0, 0, accepted ? 1u : 0u, {}, {}, {}});
    if (!accepted) {
        conversation->socket->flush();
        Reg().conversations.erase(id);
        return;
    }
    conversation->established = true;
    conversation->service = frame.first.toStdString();
    conversation->topic = frame.second.toStdString();
    TemporaryString topic(instance, frame.second), service(instance, frame.first);
    CallBack(instance, XTYP_CONNECT_CONFIRM, 0, HCONV{id}, topic.Get(), service.Get(), {});
}

void ServeTransaction(DWORD id, const wire::Frame& frame) {
    Conversation* conversation = FindConversation(id);
    const DWORD instance = conversation->instance;
    const QByteArray topicText = QByteArray::fromStdString(conversation->topic);
    DWORD value = 0;
    UINT format = 0;
    QByteArray reply;
    {
        TemporaryString topic(instance, topicText), item(instance, frame.second);
        if (frame.kind == wire::Kind::Request) {
            const HDDEDATA answer = CallBack(instance, XTYP_REQUEST, frame.format, HCONV{id},
                                             topic.Get(), item.Get(), {});
            if (auto it = Reg().data.find(answer.id); answer && it != Reg().data.end()) {
                value = 1;
                format = it->second.format;
                reply = QByteArray(reinterpret_cast<const char*>(it->second.bytes.data()),
                                   static_cast<qsizetype>(it->second.bytes.size()));
                Reg().data.erase(it);  // the answer is handed over with the reply
            }
        } else {
            const std::vector<std::uint8_t> bytes(frame.data.begin(), frame.data.end());
            const HDDEDATA data = NewData(instance, bytes, frame.format);
            value = CallBack(instance, XTYP_POKE, frame.format, HCONV{id}, topic.Get(), item.Get(),
                             data)
                        .id;
            Reg().data.erase(data.id);
        }
    }
    if ((conversation = FindConversation(id)))
        Send(*conversation,
             wire::Frame{wire::Kind::Reply, frame.sequence, format, value, {}, {}, reply});
}

void OnReadable(DWORD id) {
    if (Conversation* conversation = FindConversation(id))
        conversation->buffer += conversation->socket->readAll();
    for (;;) {
        Conversation* conversation = FindConversation(id);
        if (!conversation)
            return;
        bool broken = false;
        std::optional<wire::Frame> frame = wire::TakeFrame(conversation->buffer, broken);
        if (broken) {
            OnDisconnected(id);
            return;
        }
        if (!frame)
            return;
        if (conversation->client) {
            if (frame->kind == wire::Kind::ConnectAck) {
                conversation->connectAnswer = frame->value != 0;
            } else if (frame->kind == wire::Kind::Reply) {
                // A reply nobody waits for any more (its time ran out) is dropped.
                auto it = conversation->pending.find(frame->sequence);
                if (it != conversation->pending.end())
                    it->second = PendingReply{true, frame->value, frame->format, frame->data};
            }
        } else if (frame->kind == wire::Kind::Connect && !conversation->established) {
            ServeConnect(id, *frame);
        } else if ((frame->kind == wire::Kind::Request || frame->kind == wire::Kind::Poke) &&
                   conversation->established) {
            ServeTransaction(id, *frame);
        } else {
            OnDisconnected(id);  // a partner that breaks the rules is let go
            return;
        }
    }
}

DWORD AddConversation(DWORD instance, bool client, SocketPtr socket) {
    const DWORD id = Reg().NewId();
    QLocalSocket* raw = socket.get();
    auto conversation = std::make_unique<Conversation>();
    conversation->instance = instance;
    conversation->client = client;
    conversation->socket = std::move(socket);
    Reg().conversations[id] = std::move(conversation);
    QObject::connect(raw, &QLocalSocket::readyRead, [id] { OnReadable(id); });
    QObject::connect(raw, &QLocalSocket::disconnected, [id] { OnDisconnected(id); });
    return id;
}

void SetError(DWORD instance, UINT error) {
    if (Instance* i = FindInstance(instance))
        i->lastError = error;
}

}  // namespace

std::string DdeSocketFolder() {
    return SocketFolderPath();
}

UINT DdeInitialize(DWORD* instance, DdeCallback callback, DWORD /*flags*/) {
    if (!instance)
        return DMLERR_INVALIDPARAMETER;
    *instance = 0;
    std::optional<std::string> folder = EnsurePrivateSocketFolder();
    if (!folder || !QCoreApplication::instance())
        return DMLERR_SYS_ERROR;
    const DWORD id = Reg().NewId();
    auto created = std::make_unique<Instance>();
    created->callback = std::move(callback);
    created->folder = *folder;
    Reg().instances[id] = std::move(created);
    *instance = id;
    return DMLERR_NO_ERROR;
}

bool DdeUninitialize(DWORD instance) {
    auto it = Reg().instances.find(instance);
    if (it == Reg().instances.end())
        return false;
    for (auto c = Reg().conversations.begin(); c != Reg().conversations.end();)
        c = c->second->instance == instance ? Reg().conversations.erase(c) : std::next(c);
    for (auto d = Reg().data.begin(); d != Reg().data.end();)
        d = d->second.instance == instance ? Reg().data.erase(d) : std::next(d);
    for (auto& [name, server] : it->second->names) {
        const QString path = server->fullServerName();
        server.reset();
        QFile::remove(path);
    }
    Reg().instances.erase(it);
    return true;
}

UINT DdeGetLastError(DWORD instance) {
    Instance* i = FindInstance(instance);
    if (!i)
        return DMLERR_DLL_NOT_INITIALIZED;
    const UINT error = i->lastError;
    i->lastError = DMLERR_NO_ERROR;
    return error;
}

HSZ DdeCreateStringHandle(DWORD instance, std::string_view text, int /*codePage*/) {
    Instance* i = FindInstance(instance);
    if (!i)
        return {};
    if (text.size() > kMaxStringHandleLength) {
        i->lastError = DMLERR_INVALIDPARAMETER;
        return {};
    }
    return CreateString(*i, text);
}

bool DdeFreeStringHandle(DWORD instance, HSZ handle) {
    Instance* i = FindInstance(instance);
    if (!i || !i->strings.count(handle.id))
        return false;
    FreeString(*i, handle);
    return true;
}

std::string DdeQueryString(DWORD instance, HSZ handle) {
    Instance* i = FindInstance(instance);
    if (!i)
        return {};
    auto it = i->strings.find(handle.id);
    return it == i->strings.end() ? std::string() : it->second.text;
}

int DdeCmpStringHandles(HSZ a, HSZ b) {
    return a.id == b.id ? 0 : (a.id < b.id ? -1 : 1);
}

HDDEDATA DdeNameService(DWORD instance, HSZ service, UINT command) {
    Instance* i = FindInstance(instance);
    if (!i)
        return {};
    const std::string name = DdeQueryString(instance, service);
    if (name.empty()) {
        i->lastError = DMLERR_INVALIDPARAMETER;
        return {};
    }
    const std::string key = Lower(name);
    if (command == DNS_UNREGISTER) {
        auto it = i->names.find(key);
        if (it == i->names.end())
            return {};
        const QString path = it->second->fullServerName();
        i->names.erase(it);
        QFile::remove(path);
        return DdeResult(TRUE_RESULT);
    }
    if (command != DNS_REGISTER)
        return {};
    if (i->names.count(key))
        return DdeResult(TRUE_RESULT);

    const QString serviceKey = ServiceKey(name);
    QDir folder(QString::fromStdString(i->folder));
    // Names left behind by processes that ended.
    for (const QString& file :
         folder.entryList({serviceKey + QStringLiteral(".*")}, QDir::Files | QDir::System))
        if (!ProcessAlive(file))
            QFile::remove(folder.filePath(file));

    const QString path =
        folder.filePath(serviceKey + QStringLiteral(".%1.%2").arg(::getpid()).arg(instance));
    ServerPtr server(new QLocalServer);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path);
    if (!server->listen(path)) {
        i->lastError = DMLERR_SYS_ERROR;
        return {};
    }
    QLocalServer* raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, [instance, raw] {
        while (QLocalSocket* socket = raw->nextPendingConnection()) {
            socket->setParent(nullptr);
            const DWORD id = AddConversation(instance, false, SocketPtr(socket));
            if (socket->bytesAvailable() > 0)
                OnReadable(id);
        }
    });
    i->names[key] = std::move(server);
    return DdeResult(TRUE_RESULT);
}

HCONV DdeConnect(DWORD instance, HSZ service, HSZ topic, const void* /*context*/) {
    Instance* i = FindInstance(instance);
    if (!i)
        return {};
    const std::string serviceName = DdeQueryString(instance, service);
    const std::string topicName = DdeQueryString(instance, topic);
    if (serviceName.empty() || topicName.empty()) {
        i->lastError = DMLERR_INVALIDPARAMETER;
        return {};
    }
    QDir folder(QString::fromStdString(i->folder));
    const QStringList candidates = folder.entryList(
        {ServiceKey(serviceName) + QStringLiteral(".*")}, QDir::Files | QDir::System, QDir::Name);
    for (const QString& file : candidates) {
        SocketPtr socket(new QLocalSocket);
        socket->connectToServer(folder.filePath(file));
        QLocalSocket* raw = socket.get();
        if (!WaitUntil([raw] { return raw->state() != QLocalSocket::ConnectingState; },
                       kConnectTimeoutMs) ||
            raw->state() != QLocalSocket::ConnectedState)
            continue;
        const DWORD id = AddConversation(instance, true, std::move(socket));
        Send(*FindConversation(id), wire::Frame{wire::Kind::Connect,
                                                0,
                                                0,
                                                0,
                                                QByteArray::fromStdString(serviceName),
                                                QByteArray::fromStdString(topicName),
                                                {}});
        WaitUntil(
            [id] {
                Conversation* c = FindConversation(id);
                return !c || c->connectAnswer.has_value();
            },
            kConnectTimeoutMs);
        Conversation* conversation = FindConversation(id);
        if (conversation && conversation->connectAnswer.value_or(false)) {
            conversation->established = true;
            conversation->service = serviceName;
            conversation->topic = topicName;
            return HCONV{id};
        }
        Reg().conversations.erase(id);
    }
    if ((i = FindInstance(instance)))
        i->lastError = DMLERR_NO_CONV_ESTABLISHED;
    return {};
}

bool DdeDisconnect(HCONV conversation) {
    return Reg().conversations.erase(conversation.id) > 0;
}

HDDEDATA DdeClientTransaction(const std::uint8_t* data, DWORD size, HCONV handle, HSZ item,
                              UINT format, UINT type, DWORD timeoutMs, DWORD* result) {
    if (result)
        *result = 0;
    Conversation* conversation = FindConversation(handle.id);
    if (!conversation || !conversation->client)
        return {};
    const DWORD instance = conversation->instance;
    const std::string itemText = DdeQueryString(instance, item);
    if (itemText.empty() || (type != XTYP_REQUEST && type != XTYP_POKE)) {
        SetError(instance, DMLERR_INVALIDPARAMETER);
        return {};
    }
    const std::uint32_t sequence = conversation->nextSequence++;
    conversation->pending[sequence] = PendingReply{};
    wire::Frame frame{type == XTYP_REQUEST ? wire::Kind::Request : wire::Kind::Poke,
                      sequence,
                      format,
                      0,
                      {},
                      QByteArray::fromStdString(itemText),
                      {}};
    if (type == XTYP_POKE && data)
        frame.data = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Send(*conversation, frame);

    const DWORD id = handle.id;
    const bool answered = WaitUntil(
        [id, sequence] {
            Conversation* c = FindConversation(id);
            return !c || c->pending[sequence].arrived;
        },
        static_cast<int>(std::min<DWORD>(timeoutMs, 0x7FFFFFFF)));
    conversation = FindConversation(id);
    if (!conversation) {  // the partner hung up meanwhile
        SetError(instance, DMLERR_NOTPROCESSED);
        return {};
    }
    const PendingReply reply = conversation->pending[sequence];
    conversation->pending.erase(sequence);
    if (!answered) {
        SetError(instance, type == XTYP_REQUEST ? DMLERR_DATAACKTIMEOUT : DMLERR_POKEACKTIMEOUT);
        return {};
    }
    if (type == XTYP_POKE) {
        if (result)
            *result = reply.value;
        if (reply.value & DDE_FACK)
            return DdeResult(TRUE_RESULT);
        SetError(instance, DMLERR_NOTPROCESSED);
        return {};
    }
    if (reply.value == 0) {
        SetError(instance, DMLERR_NOTPROCESSED);
        return {};
    }
    if (result)
        *result = DDE_FACK;
    return NewData(instance, std::vector<std::uint8_t>(reply.data.begin(), reply.data.end()),
                   reply.format);
}

HDDEDATA DdeCreateDataHandle(DWORD instance, const std::uint8_t* source, DWORD size, DWORD offset,
                             HSZ /*item*/, UINT format, UINT /*flags*/) {
    if (!FindInstance(instance))
        return {};
    std::vector<std::uint8_t> bytes;
    if (source)
        bytes.assign(source + offset, source + offset + size);
    return NewData(instance, std::move(bytes), format);
}

DWORD DdeGetData(HDDEDATA data, std::uint8_t* destination, DWORD max, DWORD offset) {
    auto it = Reg().data.find(data.id);
    if (it == Reg().data.end())
        return 0;
    const std::vector<std::uint8_t>& bytes = it->second.bytes;
    if (!destination)
        return static_cast<DWORD>(bytes.size());
    if (offset >= bytes.size())
        return 0;
    const DWORD count = std::min<DWORD>(max, static_cast<DWORD>(bytes.size() - offset));
    std::copy_n(bytes.begin() + offset, count, destination);
    return count;
}

bool DdeFreeDataHandle(HDDEDATA data) {
    return Reg().data.erase(data.id) > 0;
}

}  // namespace tessaline::dde
