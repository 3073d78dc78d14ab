#include "core/views/card_optional_fields.h"

#include <algorithm>

namespace tessaline {

namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::vector<std::string> ParseTagLine(std::string_view line) {
    std::vector<std::string> tags;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsSeparator(line[i]))
            ++i;
        if (i > start) {
            std::string word(line.substr(start, i - start));
            if (std::find(tags.begin(), tags.end(), word) == tags.end())
                tags.push_back(std::move(word));
        }
    }
    return tags;
}

std::string TagLine(const std::vector<std::string>& tags) {
    std::string line;
    for (const std::string& tag : tags) {
        if (!line.empty())
            line += ", ";
        line += tag;
    }
    return line;
}

std::vector<CustomField> KeptCustomFields(std::vector<CustomField> rows) {
    std::erase_if(rows, [](const CustomField& f) { return f.name.empty() && f.value.empty(); });
    return rows;
}

}  // namespace tessaline
