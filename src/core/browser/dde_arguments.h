#pragma once
// The browsers' "WWW_" verbs: their topic names, and the argument strings that carry a
// verb's arguments in a request's item and its answer in the reply.
//
// A type list such as "QCS,QCS,DW,DW,QCS,QCS,CS" says how each comma-separated field is
// written: "DW" an unsigned 32-bit number in decimal, "CS" a text as it is, "QCS" a text
// in double quotes with a backslash before each double quote inside it, "BL" TRUE or
// FALSE. An argument that is not given leaves its field empty; the commas are always
// written.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaline {

// The 27 topics, in alphabetical order; a topic's number is its index here.
extern const std::array<std::string_view, 27> kDdeTopicTable;
enum DdeTopicIndex : int {
    kTopicActivate = 0,
    kTopicAlert = 1,
    kTopicBeginProgress = 2,
    kTopicEndProgress = 4,
    kTopicGetWindowInfo = 6,
    kTopicMakingProgress = 8,
    kTopicOpenURL = 9,
    kTopicQueryViewer = 12,
    kTopicSetProgressRange = 17,
    kTopicURLEcho = 23,
    kTopicViewDocFile = 25,
    kTopicWindowChange = 26,
};
// The index of a topic name (compared without regard to case, as the names of the
// transport are), or -1.
int FindDdeTopic(std::string_view topic);

// The longest text a string handle of the transport can hold.
inline constexpr std::size_t kMaxDdeStringLength = 255;
// The window id that means "the browser's last active window".
inline constexpr std::uint32_t kLastActiveWindow = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNewWindow = 0;

// One argument: not given, a "DW" number, a "CS"/"QCS" text, or a "BL" flag.
using DdeArgument = std::variant<std::monostate, std::uint32_t, std::string, bool>;

std::vector<std::string> SplitTypeList(std::string_view typeList);

// The written text. Writing stops at the first type code that is not one of the four.
// A text that is given is written even when empty ("QCS" then writes two quotes);
// callers pass std::monostate for an optional text they leave out.
std::string FormatArgumentString(std::string_view typeList, const std::vector<DdeArgument>& values);

// The text as a string handle would carry it: none when it is empty or longer than
// kMaxDdeStringLength characters.
std::optional<std::string> BuildArgumentString(std::string_view typeList,
                                               const std::vector<DdeArgument>& values);

// Field number `field` (from 1) of an argument string: none when the field is empty or
// absent. A quoted field gives the characters between its quotes with the backslashes
// kept; any other field runs to the next comma.
std::optional<std::string> ParseArgumentString(std::string_view text, int field);

// Field conversions by type code; a missing field gives 0, an empty text or false.
std::uint32_t ReadDwordField(const std::optional<std::string>& field);
std::string ReadQuotedTextField(const std::optional<std::string>& field);  // "QCS"
bool ReadBoolField(const std::optional<std::string>& field);

// Every field of a text read by the type list. A text that could not be a string
// handle (longer than kMaxDdeStringLength) reads as all fields missing.
std::vector<DdeArgument> ReadArguments(std::string_view typeList, std::string_view text);

// Reply data. A single "DW" travels as its value in 4 bytes and a single "BL" as 1 or 0
// in 2 bytes (little-endian); every other reply as text with a terminating zero.
std::vector<std::uint8_t> EncodeReply(std::string_view typeList,
                                      const std::vector<DdeArgument>& values);
std::vector<DdeArgument> DecodeReply(std::string_view typeList,
                                     const std::vector<std::uint8_t>& data);

}  // namespace tessaline
