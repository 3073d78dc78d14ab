// ls and search: the cards of a file, one tab-separated row a card (name, category, user
// ID, password), sorted by name without regard to case, passwords masked.

#include <algorithm>
#include <charconv>
#include <vector>

#include "cli/category_operand.h"
#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "cli/display_text.h"

namespace tessaline::cli {

namespace {

// Letter case folded as the list's name sort folds it (to lower case, ASCII and
// Windows-1252 letters).
std::string LowerForSort(const std::string& text) {
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            ch = static_cast<char>(c + 0x20);
        } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
            ch = static_cast<char>(c + 0x10);
        } else if (c == 0x9F) {
            ch = static_cast<char>(0xFF);
        }
    }
    return out;
}

void SortByName(std::vector<const CCard*>& rows) {
    std::vector<std::pair<std::string, const CCard*>> keyed;
    keyed.reserve(rows.size());
    for (const CCard* card : rows)
        keyed.emplace_back(LowerForSort(card->Name()), card);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(
            a.first.begin(), a.first.end(), b.first.begin(), b.first.end(), [](char x, char y) {
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
            });
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

}  // namespace

int RunList(const CliRequest& request, CliContext& ctx) {
    int shown = kShowAllCode;
    if (request.category) {
        const std::optional<int> code = ResolveCategory(*request.category);
        if (!code) {
            ctx.Error("there is no category \"" + *request.category + "\"; use " +
                      KnownCategories());
            return kExitUsage;
        }
        shown = *code;
    }

    std::unique_ptr<OpenedFile> file = OpenDataFile(request.files[0], ctx);
    if (!file)
        return kExitFailed;

    std::vector<const CCard*> rows;
    if (request.search) {
        file->Cards().GatherAndSearch(*request.search, request.searchPasswords);
        rows.assign(file->Cards().SearchResults().begin(), file->Cards().SearchResults().end());
    } else if (shown == kShowAllCode) {
        for (int code : kExportOrder) {
            rows.insert(rows.end(), file->Cards().List(code).begin(),
                        file->Cards().List(code).end());
        }
    } else {
        rows.assign(file->Cards().List(shown).begin(), file->Cards().List(shown).end());
    }
    SortByName(rows);

    std::ostream& out = ctx.out;
    out << "Name\tCategory\tUser ID\tPassword\n";
    for (const CCard* card : rows) {
        std::string password;
        if (request.showPasswords) {
            password = DisplayCell(card->Password());
        } else if (!card->Password().empty()) {
            password = "****";
        }
        out << DisplayCell(card->Name()) << '\t' << CategoryDisplayName(card->Category()) << '\t'
            << DisplayCell(card->UserId()) << '\t' << password << '\n';
    }
    return file->Damaged() ? kExitFailed : kExitOk;
}

}  // namespace tessaline::cli
