#include "cli/card_lookup.h"

#include <cctype>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/display_text.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_identity.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"

namespace tessaline::cli {

namespace {

bool IsHexPrefix(const std::string& text) {
    if (text.empty() || text.size() > 32)
        return false;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

template <typename F>
void ForEachFindableCard(CCardCollection& cards, F&& f) {
    for (int code : kExportOrder) {
        for (CCard* card : cards.List(code))
            f(card);
    }
    for (CCard* card : cards.RecycleBin())
        f(card);
}

}  // namespace

std::string WhereTheCardIs(const CCard& card) {
    const std::string category = CategoryDisplayName(card.Category());
    return card.RecycledMs() != 0 ? "Recycle Bin (" + category + ")" : category;
}

bool CardRequestNamesOne(const CliRequest& request, CliContext& ctx) {
    if (request.cardName.has_value() == request.cardId.has_value()) {
        ctx.Error(request.command + " needs CARD or --id PREFIX (one of them)");
        return false;
    }
    if (request.cardName && request.cardName->empty()) {
        ctx.Error(request.command + " needs the name of a card");
        return false;
    }
    return true;
}

CCard* FindRequestedCard(CCardCollection& cards, const CliRequest& request, CliContext& ctx,
                         int& status) {
    const std::string& file = request.files.front();
    if (!CardRequestNamesOne(request, ctx)) {
        status = kExitUsage;
        return nullptr;
    }
    std::vector<CCard*> found;
    std::string what;
    if (request.cardId) {
        if (!IsHexPrefix(*request.cardId)) {
            ctx.Error("--id takes hexadecimal digits (0-9, a-f), not \"" + *request.cardId + "\"");
            status = kExitUsage;
            return nullptr;
        }
        const std::string prefix = Lower(*request.cardId);
        ForEachFindableCard(cards, [&](CCard* card) {
            if (HasIdentity(card->Identity()) && IdentityHex(card->Identity()).starts_with(prefix))
                found.push_back(card);
        });
        what = "whose identity begins with " + prefix;
    } else {
        ForEachFindableCard(cards, [&](CCard* card) {
            if (ShownAsUtf8(card->Name()) == *request.cardName)
                found.push_back(card);
        });
        what = "named \"" + *request.cardName + "\"";
    }
    if (found.size() == 1) {
        status = kExitOk;
        return found.front();
    }
    if (found.empty()) {
        ctx.ErrorAbout(file, "there is no card " + what);
        status = kExitFailed;
        return nullptr;
    }
    ctx.ErrorAbout(file, std::to_string(found.size()) + " cards are " + what +
                             "; name one with --id and the first digits of its identity:");
    for (const CCard* card : found) {
        ctx.err << "  "
                << (HasIdentity(card->Identity()) ? IdentityHex(card->Identity())
                                                  : std::string("(no identity)"))
                << "  " << WhereTheCardIs(*card) << "  " << DisplayCell(card->Name()) << "  "
                << DisplayCell(card->UserId()) << '\n';
    }
    ctx.err.flush();
    status = kExitUsage;
    return nullptr;
}

}  // namespace tessaline::cli
