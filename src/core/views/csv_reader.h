#pragma once
// Comma-separated text as records of fields, read with libcsv. Every record knows the
// line it starts on, so a problem can be shown by its line number. Fields are taken as
// they stand: spaces around an unquoted field are part of it (a password may begin with
// one), a quote may appear only inside a quoted field (doubled), and a quoted field may
// hold commas and line breaks.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

struct CsvRecord {
    int line = 0;  // the line the record starts on, from 1
    std::vector<std::string> fields;
};

struct CsvProblem {
    int line = 0;
    std::string what;
};

// What the reader found. The fields may hold passwords: they are wiped when the table goes.
class CsvTable {
public:
    CsvTable() = default;
    CsvTable(CsvTable&&) = default;
    CsvTable& operator=(CsvTable&&) = default;
    CsvTable(const CsvTable&) = delete;
    CsvTable& operator=(const CsvTable&) = delete;
    ~CsvTable();

    std::vector<CsvRecord> records;  // empty lines are not records
    std::optional<CsvProblem> problem;
};

// Reads every record of text. A UTF-8 byte-order mark at the start is passed over; lines
// may end in LF, CR LF or CR. On a problem the records read so far are dropped.
CsvTable ReadCsv(std::string_view text);

}  // namespace tessaline
