#pragma once
// Dynamic data exchange between processes of one user, shaped as the classic DDE
// management library: an instance with its callback, string handles, registered service
// names, conversations and synchronous transactions with time-outs.
//
// The data travel over local sockets in a folder only the user can open
// ($TESSALINE_DDE_FOLDER, else $XDG_RUNTIME_DIR/tessaline-dde, else
// ~/.cache/tessaline-dde); each registered service name is one socket there. Waiting
// for a partner runs a local event loop (without user input), so an instance keeps
// answering its own partners while one of its requests waits.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessaline::dde {

using DWORD = std::uint32_t;
using UINT = std::uint32_t;

// Handles: 0 is "none". Each kind is its own type so they cannot be mixed up.
template <typename Tag>
struct Handle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(Handle a, Handle b) { return a.id == b.id; }
};
using HSZ = Handle<struct StringTag>;
using HCONV = Handle<struct ConversationTag>;
using HDDEDATA = Handle<struct DataTag>;

// A plain value returned where a handle is expected (TRUE for a connection, the
// acknowledgement flags for a poke), as the callback and the poke transaction do.
inline HDDEDATA DdeResult(DWORD value) {
    return HDDEDATA{value};
}

// Transaction types
inline constexpr UINT XTYP_CONNECT = 0x1062;
inline constexpr UINT XTYP_CONNECT_CONFIRM = 0x8072;
inline constexpr UINT XTYP_REQUEST = 0x20B0;
inline constexpr UINT XTYP_POKE = 0x4090;
inline constexpr UINT XTYP_DISCONNECT = 0x80C2;

inline constexpr UINT CF_TEXT = 1;
inline constexpr DWORD DDE_FACK = 0x8000;
inline constexpr int CP_WINANSI = 1004;
inline constexpr UINT DNS_REGISTER = 1;
inline constexpr UINT DNS_UNREGISTER = 2;
inline constexpr DWORD TRUE_RESULT = 1;

// The longest text a string handle holds.
inline constexpr std::size_t kMaxStringHandleLength = 255;

// Errors
inline constexpr UINT DMLERR_NO_ERROR = 0;
inline constexpr UINT DMLERR_DATAACKTIMEOUT = 0x4002;
inline constexpr UINT DMLERR_DLL_NOT_INITIALIZED = 0x4003;
inline constexpr UINT DMLERR_INVALIDPARAMETER = 0x4006;
inline constexpr UINT DMLERR_NOTPROCESSED = 0x4009;
inline constexpr UINT DMLERR_NO_CONV_ESTABLISHED = 0x400A;
inline constexpr UINT DMLERR_POKEACKTIMEOUT = 0x400B;
inline constexpr UINT DMLERR_SYS_ERROR = 0x400F;

// type, format, conversation, first and second string handle (topic and service for a
// connection, topic and item for a transaction), the data of a poke.
using DdeCallback = std::function<HDDEDATA(UINT type, UINT format, HCONV conversation, HSZ hsz1,
                                           HSZ hsz2, HDDEDATA data)>;

// Makes an instance; *instance receives its id. DMLERR_SYS_ERROR when the folder of
// the sockets cannot be made private to the user.
UINT DdeInitialize(DWORD* instance, DdeCallback callback, DWORD flags);
// Ends every conversation and name of the instance and frees its handles.
bool DdeUninitialize(DWORD instance);
UINT DdeGetLastError(DWORD instance);

// A handle for the text (the same handle for the same text, compared without regard to
// case; each creation needs its own free). None when the text is longer than
// kMaxStringHandleLength characters.
HSZ DdeCreateStringHandle(DWORD instance, std::string_view text, int codePage);
bool DdeFreeStringHandle(DWORD instance, HSZ handle);
std::string DdeQueryString(DWORD instance, HSZ handle);  // "" for an unknown handle
int DdeCmpStringHandles(HSZ a, HSZ b);                   // 0 when they are the same

// Registers (DNS_REGISTER) or withdraws (DNS_UNREGISTER) a service name; none on failure.
HDDEDATA DdeNameService(DWORD instance, HSZ service, UINT command);

// Opens a conversation with the first partner that registered the service and accepts
// the topic; none when nobody does.
HCONV DdeConnect(DWORD instance, HSZ service, HSZ topic, const void* context);
bool DdeDisconnect(HCONV conversation);

// A synchronous transaction: XTYP_REQUEST gives the reply data (to be freed by the
// caller) or none; XTYP_POKE gives TRUE_RESULT when acknowledged. *result receives the
// partner's status flags. Waits at most timeoutMs.
HDDEDATA DdeClientTransaction(const std::uint8_t* data, DWORD size, HCONV conversation, HSZ item,
                              UINT format, UINT type, DWORD timeoutMs, DWORD* result);

HDDEDATA DdeCreateDataHandle(DWORD instance, const std::uint8_t* source, DWORD size, DWORD offset,
                             HSZ item, UINT format, UINT flags);
// Copies up to `max` bytes from `offset` into `destination` and gives how many; with no
// destination, gives the size of the data.
DWORD DdeGetData(HDDEDATA data, std::uint8_t* destination, DWORD max, DWORD offset);
bool DdeFreeDataHandle(HDDEDATA data);

// The folder of the sockets.
std::string DdeSocketFolder();

}  // namespace tessaline::dde
