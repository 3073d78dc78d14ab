// A stand-in for a web browser's DDE service, for the DDE tests. It registers a service
// name ("IExplore" unless --service says otherwise) and logs everything it is sent, one
// line each, to --log:
//   connect <topic> | request <topic> <item> | poke <topic> <item> | disconnect
// It answers "WWW_OpenURL" with window id 7 and "WWW_GetWindowInfo" with --address and
// --title. --on-request silent never answers a request; --on-request hangup ends the
// process in the middle of one. With --progress it reports back to the progress server
// named in an OpenURL request (WWW_BeginProgress, then WWW_EndProgress) before answering.
//
// With --ask NAME it plays the browser talking to Tessaline's name NAME instead: it sends
// the requests and pokes below, logs "<kind> <topic> <item> -> <hex bytes>|none|ack|nack",
// and ends. "ready" is written to --ready once the service is registered.

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <thread>

#include "core/browser/dde_arguments.h"
#include "platform/dde/ddeml.h"

using namespace tessaline;
using namespace tessaline::dde;

namespace {

DWORD gInstance = 0;
QFile gLog;
QString gOnRequest = QStringLiteral("answer");
bool gProgress = false;
std::string gAddress, gTitle;

void Log(const std::string& line) {
    gLog.write(QByteArray::fromStdString(line) + '\n');
    gLog.flush();
}

std::string Text(HSZ handle) {
    return DdeQueryString(gInstance, handle);
}

HDDEDATA Data(const std::vector<std::uint8_t>& bytes) {
    return DdeCreateDataHandle(gInstance, bytes.data(), static_cast<DWORD>(bytes.size()), 0, HSZ{},
                               CF_TEXT, 0);
}

std::string Hex(HDDEDATA data) {
    std::vector<std::uint8_t> bytes(DdeGetData(data, nullptr, 0, 0));
    DdeGetData(data, bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    std::string out;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02x", b);
        out += buffer;
    }
    return out;
}

// One transaction to `service` on `topic`, logged.
void Ask(const std::string& kind, const std::string& service, const std::string& topic,
         const std::string& item) {
    const HSZ serviceHandle = DdeCreateStringHandle(gInstance, service, CP_WINANSI);
    const HSZ topicHandle = DdeCreateStringHandle(gInstance, topic, CP_WINANSI);
    const HCONV conversation = DdeConnect(gInstance, serviceHandle, topicHandle, nullptr);
    std::string outcome;
    if (!conversation) {
        outcome = "refused";
    } else {
        const HSZ itemHandle = DdeCreateStringHandle(gInstance, item, CP_WINANSI);
        DWORD result = 0;
        if (kind == "request") {
            const HDDEDATA reply = DdeClientTransaction(nullptr, 0, conversation, itemHandle,
                                                        CF_TEXT, XTYP_REQUEST, 10000, &result);
            outcome = reply ? Hex(reply) : "none";
            DdeFreeDataHandle(reply);
        } else {
            const std::uint8_t payload[] = {'x', 0};
            const HDDEDATA ack = DdeClientTransaction(payload, 2, conversation, itemHandle, CF_TEXT,
                                                      XTYP_POKE, 10000, &result);
            outcome = ack ? "ack" : "nack";
        }
        DdeFreeStringHandle(gInstance, itemHandle);
        DdeDisconnect(conversation);
    }
    Log(kind + " " + topic + " " + item + " -> " + outcome);
}

void ReportProgress(const std::string& progressServer) {
    Ask("request", progressServer, "WWW_BeginProgress", "4294967295,\"Loading\"");
    Ask("poke", progressServer, "WWW_EndProgress", "1");
}

HDDEDATA Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA) {
    switch (type) {
        case XTYP_CONNECT:
            return DdeResult(TRUE_RESULT);
        case XTYP_CONNECT_CONFIRM:
            Log("connect " + Text(hsz1));
            return {};
        case XTYP_DISCONNECT:
            Log("disconnect");
            return {};
        case XTYP_POKE:
            Log("poke " + Text(hsz1) + " " + Text(hsz2));
            return DdeResult(DDE_FACK);
        case XTYP_REQUEST:
            break;
        default:
            return {};
    }
    const std::string topic = Text(hsz1);
    const std::string item = Text(hsz2);
    Log("request " + topic + " " + item);
    if (gOnRequest == QLatin1String("hangup")) {
        gLog.flush();
        std::_Exit(0);
    }
    if (gOnRequest == QLatin1String("silent")) {
        // Never answers; the test ends this process.
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (topic == "WWW_OpenURL") {
        if (gProgress) {
            const std::vector<DdeArgument> args = ReadArguments("QCS,QCS,DW,DW,QCS,QCS,CS", item);
            const std::string server = std::get<std::string>(args[6]);
            if (!server.empty())
                ReportProgress(server);
        }
        return Data(EncodeReply("DW", {std::uint32_t{7}}));
    }
    if (topic == "WWW_GetWindowInfo")
        return Data(EncodeReply("QCS,QCS", {gAddress, gTitle}));
    return {};
}

void AskTessaline(const std::string& name) {
    struct Step {
        const char* kind;
        const char* topic;
        const char* item;
    };
    const Step steps[] = {
        {"request", "WWW_Alert", "\"Page not found\",1,0"},
        {"request", "WWW_BeginProgress", "4294967295,\"Loading\""},
        {"request", "WWW_MakingProgress", "1,\"Loading\",50"},
        {"request", "WWW_OpenURL", "\"http://a.example/\",,0,0,,,"},
        {"request", "WWW_QueryViewer", "\"http://a.example/x.pdf\",\"application/pdf\""},
        {"request", "WWW_GetWindowInfo", "4294967295"},
        {"request", "WWW_Version", "1"},
        {"request", "WWW_NotATopic", "1"},
        {"poke", "WWW_EndProgress", "1"},
        {"poke", "WWW_SetProgressRange", "1,100"},
        {"poke", "WWW_URLEcho", "\"http://a.example/\",\"text/html\",1,\"IExplore\""},
        {"poke", "WWW_ViewDocFile", "\"/tmp/f\",\"http://a.example/\",\"text/html\",1"},
        {"poke", "WWW_WindowChange", "1,2,3,4,5,6"},
        {"poke", "WWW_Alert", "\"x\",1,0"},
        {"poke", "WWW_NotATopic", "1"},
    };
    for (const Step& step : steps)
        Ask(step.kind, name, step.topic, step.item);
    Ask("request", name + "9", "WWW_Alert", "\"x\",1,0");  // not one of its names
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    auto option = [&](const QString& name, const QString& fallback = QString()) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    gLog.setFileName(option(QStringLiteral("--log"), QStringLiteral("/dev/null")));
    if (!gLog.open(QIODevice::Append))
        return 2;
    gOnRequest = option(QStringLiteral("--on-request"), gOnRequest);
    gProgress = args.contains(QStringLiteral("--progress"));
    gAddress = option(QStringLiteral("--address")).toStdString();
    gTitle = option(QStringLiteral("--title")).toStdString();

    if (DdeInitialize(&gInstance, Callback, 0) != DMLERR_NO_ERROR)
        return 3;
    const QString ask = option(QStringLiteral("--ask"));
    if (!ask.isEmpty()) {
        AskTessaline(ask.toStdString());
        DdeUninitialize(gInstance);
        return 0;
    }
    const std::string service =
        option(QStringLiteral("--service"), QStringLiteral("IExplore")).toStdString();
    const HSZ name = DdeCreateStringHandle(gInstance, service, CP_WINANSI);
    if (!DdeNameService(gInstance, name, DNS_REGISTER))
        return 4;
    QFile ready(option(QStringLiteral("--ready"), QStringLiteral("/dev/null")));
    if (ready.open(QIODevice::WriteOnly))
        ready.write("ready");
    ready.close();
    return app.exec();
}
