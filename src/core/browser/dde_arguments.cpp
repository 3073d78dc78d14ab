#include "core/browser/dde_arguments.h"

#include <algorithm>
#include <cctype>

namespace tessaline {

const std::array<std::string_view, 27> kDdeTopicTable = {
    "WWW_Activate",
    "WWW_Alert",
    "WWW_BeginProgress",
    "WWW_CancelProgress",
    "WWW_EndProgress",
    "WWW_Exit",
    "WWW_GetWindowInfo",
    "WWW_ListWindows",
    "WWW_MakingProgress",
    "WWW_OpenURL",
    "WWW_ParseAnchor",
    "WWW_QueryURLFile",
    "WWW_QueryViewer",
    "WWW_RegisterProtocol",
    "WWW_RegisterURLEcho",
    "WWW_RegisterViewer",
    "WWW_RegisterWindowChange",
    "WWW_SetProgressRange",
    "WWW_ShowFile",
    "WWW_UnRegisterProtocol",
    "WWW_UnRegisterURLEcho",
    "WWW_UnRegisterViewer",
    "WWW_UnRegisterWindowChange",
    "WWW_URLEcho",
    "WWW_Version",
    "WWW_ViewDocFile",
    "WWW_WindowChange",
};

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

enum class TypeCode { Dword, Text, QuotedText, Bool, Unknown };

TypeCode ToTypeCode(std::string_view code) {
    if (code == "DW")
        return TypeCode::Dword;
    if (code == "CS")
        return TypeCode::Text;
    if (code == "QCS")
        return TypeCode::QuotedText;
    if (code == "BL")
        return TypeCode::Bool;
    return TypeCode::Unknown;
}

// Writes one field; not given (or a value of another kind) writes nothing.
void WriteField(std::string& out, TypeCode type, const DdeArgument& value) {
    switch (type) {
        case TypeCode::Dword:
            if (const auto* n = std::get_if<std::uint32_t>(&value))
                out += std::to_string(*n);
            break;
        case TypeCode::Text:
            if (const auto* s = std::get_if<std::string>(&value))
                out += *s;
            break;
        case TypeCode::QuotedText:
            if (const auto* s = std::get_if<std::string>(&value)) {
                out += '"';
                for (char c : *s) {
                    if (c == '"')
                        out += '\\';
                    out += c;
                }
                out += '"';
            }
            break;
        case TypeCode::Bool:
            if (const auto* b = std::get_if<bool>(&value))
                out += *b ? "TRUE" : "FALSE";
            break;
        case TypeCode::Unknown:
            break;
    }
}

// Where the field that starts at `pos` ends (at its comma or the end of the text).
std::size_t FieldEnd(std::string_view text, std::size_t pos) {
    if (pos < text.size() && text[pos] == '"') {
        std::size_t i = pos + 1;
        while (i < text.size() && !(text[i] == '"' && text[i - 1] != '\\'))
            ++i;
        pos = i < text.size() ? i + 1 : i;
    }
    std::size_t comma = text.find(',', pos);
    return comma == std::string_view::npos ? text.size() : comma;
}

DdeArgument ReadField(TypeCode type, const std::optional<std::string>& field) {
    switch (type) {
        case TypeCode::Dword:
            return ReadDwordField(field);
        case TypeCode::Text:
            return field.value_or(std::string());
        case TypeCode::QuotedText:
            return ReadQuotedTextField(field);
        case TypeCode::Bool:
            return ReadBoolField(field);
        case TypeCode::Unknown:
            break;
    }
    return std::monostate{};
}

void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

int FindDdeTopic(std::string_view topic) {
    for (std::size_t i = 0; i < kDdeTopicTable.size(); ++i)
        if (EqualIgnoringCase(kDdeTopicTable[i], topic))
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> SplitTypeList(std::string_view typeList) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= typeList.size()) {
        std::size_t comma = typeList.find(',', start);
        if (comma == std::string_view::npos)
            comma = typeList.size();
        codes.emplace_back(typeList.substr(start, comma - start));
        start = comma + 1;
    }
    return codes;
}

std::string FormatArgumentString(std::string_view typeList,
                                 const std::vector<DdeArgument>& values) {
    std::string out;
    const std::vector<std::string> codes = SplitTypeList(typeList);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const TypeCode type = ToTypeCode(codes[i]);
        if (type == TypeCode::Unknown)
            break;
        if (i > 0)
            out += ',';
        WriteField(out, type, i < values.size() ? values[i] : DdeArgument{});
    }
    return out;
}

std::optional<std::string> BuildArgumentString(std::string_view typeList,
                                               const std::vector<DdeArgument>& values) {
    std::string text = FormatArgumentString(typeList, values);
    if (text.empty() || text.size() > kMaxDdeStringLength)
        return std::nullopt;
    return text;
}

std::optional<std::string> ParseArgumentString(std::string_view text, int field) {
    if (field < 1)
        return std::nullopt;
    std::size_t pos = 0;
    for (int n = 1; n < field; ++n) {
        pos = FieldEnd(text, pos);
        if (pos >= text.size())
            return std::nullopt;
        ++pos;  // past the comma
    }
    if (pos >= text.size() || text[pos] == ',')
        return std::nullopt;
    if (text[pos] == '"') {
        std::size_t end = pos + 1;
        while (end < text.size() && !(text[end] == '"' && text[end - 1] != '\\'))
            ++end;
        return std::string(text.substr(pos + 1, end - pos - 1));
    }
    std::size_t comma = text.find(',', pos);
    return std::string(text.substr(pos, comma == std::string_view::npos ? comma : comma - pos));
}

std::uint32_t ReadDwordField(const std::optional<std::string>& field) {
    if (!field)
        return 0;
    // Like "%lu": leading blanks, an optional sign, then the digits; anything else is 0.
    std::string_view s = *field;
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::uint32_t value = 0;
    bool any = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        any = true;
        std::uint64_t next = std::uint64_t{value} * 10 + static_cast<std::uint64_t>(s[i] - '0');
        value = next > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(next);
    }
    if (!any)
        return 0;
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

std::string ReadQuotedTextField(const std::optional<std::string>& field) {
    if (!field)
        return {};
    std::string out;
    const std::string& s = *field;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '"')
            continue;
        out += s[i];
    }
    return out;
}

bool ReadBoolField(const std::optional<std::string>& field) {
    return field && EqualIgnoringCase(*field, "TRUE");
}

std::vector<DdeArgument> ReadArguments(std::string_view typeList, std::string_view text) {
    const std::vector<std::string> codes = SplitTypeList(typeList);
    const bool readable = text.size() <= kMaxDdeStringLength;
    std::vector<DdeArgument> out;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::optional<std::string> field;
        if (readable)
            field = ParseArgumentString(text, static_cast<int>(i) + 1);
        out.push_back(ReadField(ToTypeCode(codes[i]), field));
    }
    return out;
}

std::vector<std::uint8_t> EncodeReply(std::string_view typeList,
                                      const std::vector<DdeArgument>& values) {
    std::vector<std::uint8_t> data;
    if (typeList == "DW") {
        const auto* n = values.empty() ? nullptr : std::get_if<std::uint32_t>(&values[0]);
        AppendLittleEndian(data, n ? *n : 0, 4);
        return data;
    }
    if (typeList == "BL") {
        const auto* b = values.empty() ? nullptr : std::get_if<bool>(&values[0]);
        AppendLittleEndian(data, b && *b ? 1 : 0, 2);
        return data;
    }
    std::string text = FormatArgumentString(typeList, values);
    data.assign(text.begin(), text.end());
    data.push_back(0);
    return data;
}

std::vector<DdeArgument> DecodeReply(std::string_view typeList,
                                     const std::vector<std::uint8_t>& data) {
    if (typeList == "DW" || typeList == "BL") {
        const std::size_t width = typeList == "DW" ? 4 : 2;
        std::uint32_t value = 0;
        if (data.size() >= width)
            for (std::size_t i = 0; i < width; ++i)
                value |= std::uint32_t{data[i]} << (8 * i);
        if (typeList == "DW")
            return {DdeArgument{value}};
        return {DdeArgument{value != 0}};
    }
    auto zero = std::find(data.begin(), data.end(), std::uint8_t{0});
    std::string text(data.begin(), zero);
    return ReadArguments(typeList, text);
}

}  // namespace tessaline
