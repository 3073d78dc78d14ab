#include "core/views/csv_reader.h"

#include <csv.h>

#include "core/base/secure_wipe.h"
#include "core/views/csv_field_buffer.h"

namespace tessaline {

namespace {

// No character counts as a space: a field keeps the spaces it has.
int NoSpaces(unsigned char) {
    return 0;
}

struct Parser {
    csv_parser p{};
    Parser() {
        csv_init(&p, CSV_STRICT | CSV_STRICT_FINI);
        csv_set_realloc_func(&p, GrowCsvFieldBuffer);
        csv_set_free_func(&p, FreeCsvFieldBuffer);
        csv_set_space_func(&p, NoSpaces);
    }
    ~Parser() { csv_free(&p); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
};

struct ReadState {
    CsvTable& table;
    std::vector<std::string> fields;
    int recordStart = 0;  // 0 while no record has begun
};

void EndOfField(void* data, std::size_t size, void* user) {
    auto& state = *static_cast<ReadState*>(user);
    if (size == 0) {
        state.fields.emplace_back();
        return;
    }
    state.fields.emplace_back(static_cast<const char*>(data), size);
    SecureWipe(data, size);
}

void EndOfRecord(int, void* user) {
    auto& state = *static_cast<ReadState*>(user);
    state.table.records.push_back(CsvRecord{state.recordStart, std::move(state.fields)});
    state.fields.clear();
    state.recordStart = 0;
}

// The length of the line at the start of text, with its line break (LF, CR LF or CR).
std::size_t LineLength(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return text.size();
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

bool IsLineBreakOnly(std::string_view line) {
    return line.find_first_not_of("\r\n") == std::string_view::npos;
}

constexpr const char* kMisplacedQuote =
    "a double quote is out of place (a field that holds double quotes, commas or line "
    "breaks must be enclosed in double quotes, and each double quote inside it doubled)";
constexpr const char* kUnclosedQuote =
    "a field that starts with a double quote has no closing double quote";

}  // namespace

CsvTable::~CsvTable() {
    for (CsvRecord& record : records) {
        for (std::string& field : record.fields)
            SecureWipe(field);
    }
}

CsvTable ReadCsv(std::string_view text) {
    CsvTable table;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Parser parser;
    ReadState state{table, {}, 0};
    auto fail = [&](int line, std::string what) {
        for (std::string& field : state.fields)
            SecureWipe(field);
        state.fields.clear();
        CsvTable failed;
        failed.problem = CsvProblem{line, std::move(what)};
        return failed;
    };

    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::string_view chunk = text.substr(0, LineLength(text));
        text.remove_prefix(chunk.size());
        if (state.recordStart == 0 && !IsLineBreakOnly(chunk))
            state.recordStart = line;
        if (csv_parse(&parser.p, chunk.data(), chunk.size(), EndOfField, EndOfRecord, &state) !=
            chunk.size()) {
            return fail(line, csv_error(&parser.p) == CSV_EPARSE
                                  ? kMisplacedQuote
                                  : "there is not enough memory to read it");
        }
    }
    const int lastStart = state.recordStart;
    if (csv_fini(&parser.p, EndOfField, EndOfRecord, &state) != 0 ||
        csv_error(&parser.p) == CSV_EPARSE) {
        return fail(lastStart == 0 ? line : lastStart, kUnclosedQuote);
    }
    return table;
}

}  // namespace tessaline
