#include "core/views/print_layout.h"

#include <algorithm>

#include "core/cards/card_collection.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/views/card_list_model.h"

namespace tessaline {

namespace {

constexpr std::array<int, kCategoryCount> kPrintOrder{
    kWwwSites,      kWwwForms,      kFtpServers,    kNewsgroups,        kOnlineBanking,
    kLoginAccounts, kEmailAccounts, kBankAccounts,  kCreditCards,       kAtmPinCards,
    kPersonalData,  kSoftwareKeys,  kSerialNumbers, kMembershipNumbers, kMiscellaneous};

constexpr int kLabelIndent = 100;
constexpr int kNoteBreak = 70;

}  // namespace

int LinesPerCard(bool printNotes) {
    return printNotes ? 10 : 7;
}

int CardsPerPage(const PrintDevice& d, bool printNotes) {
    const int lineHeight = std::max(1, d.lineHeight);
    const int linesPerPage = d.height / lineHeight - 8;
    return std::max(1, linesPerPage / LinesPerCard(printNotes));
}

int PrintPageCount(int cardCount, int cardsPerPage) {
    if (cardCount <= 0)
        return 0;
    const int per = std::max(1, cardsPerPage);
    return (cardCount + per - 1) / per;
}

std::vector<const CCard*> PrintSource(const CCardCollection& cards, std::string_view text,
                                      bool printAtm) {
    std::vector<const CCard*> out;
    auto add = [&](const CCategoryList& list) {
        for (const CCard* c : list)
            out.push_back(c);
    };
    if (text == kShowAll) {
        for (int code : kPrintOrder) {
            if (code != kAtmPinCards || printAtm)
                add(cards.List(code));
        }
    } else if (text == kSearchResults) {
        add(cards.SearchResults());
    } else if (int code = CategoryCodeOfName(text); code >= 0) {
        add(cards.List(code));
    }
    return out;
}

int PrintCardCount(const CCardCollection& cards, std::string_view text) {
    return CountOfCategoryText(cards, text).value_or(0);
}

std::pair<std::string, std::string> SplitNoteForPrint(const std::string& note) {
    if (note.size() < static_cast<std::size_t>(kNoteBreak))
        return {note, {}};
    std::size_t brk = kNoteBreak;
    if (note.size() > brk && note[brk] != ' ') {
        for (std::size_t i = kNoteBreak - 1; i >= 1; --i) {
            if (note[i] == ' ') {
                brk = i;
                break;
            }
        }
    }
    // A note kept as UTF-8 is never cut inside a character.
    if (IsUtf8WithNonAscii(note)) {
        while (brk > 0 && brk < note.size() &&
               (static_cast<unsigned char>(note[brk]) & 0xC0) == 0x80)
            --brk;
    }
    std::string second = note.substr(brk);
    const auto first = second.find_first_not_of(" \t\r\n\v\f");
    second.erase(0, first == std::string::npos ? second.size() : first);
    return {note.substr(0, brk), second};
}

std::vector<PlacedText> LayoutPrintPage(int page, const PrintDevice& d, const PrintOptions& o,
                                        const PageTexts& texts,
                                        const std::vector<const CCard*>& source) {
    std::vector<PlacedText> out;
    const int left = 0;
    const int top = 0;
    const int right = d.width;
    const int bottom = d.height;
    const int lh = std::max(1, d.lineHeight);

    out.push_back({left, top, texts.documentTitle});
    out.push_back({std::max(left, right - 1000), top, "Tessaline"});
    out.push_back({(left + right) / 2, bottom - 100, std::to_string(page)});
    out.push_back({left, bottom - 100, texts.dateText});

    const int perPage = CardsPerPage(d, o.printNotes);
    const int linesPerCard = LinesPerCard(o.printNotes);
    const int firstIndex = (page - 1) * perPage;
    for (int k = 1; k <= perPage; ++k) {
        const int index = firstIndex + k - 1;
        if (index < 0 || index >= static_cast<int>(source.size()))
            break;
        const CCard& card = *source[static_cast<std::size_t>(index)];
        const int row = 3 + (k - 1) * linesPerCard;
        auto y = [&](int r) { return top + r * lh; };
        CategoryLabels labels{};
        int width = LabelsByCode(card.Category(), labels);
        if (width == 0) {
            labels = {"Field_1", "Field_2", "Field_3", "Field_4"};
            width = 7;
        }
        const int labelX = left + kLabelIndent;
        const int valueX = labelX + d.charWidth * (width + 1);

        out.push_back({left, y(row - 1), CategoryDisplayName(card.Category())});
        out.push_back({labelX, y(row), "Number"});
        out.push_back({left + 9 * d.charWidth, y(row), std::to_string(index + 1)});
        const std::string* values[] = {&card.Name(), &card.Address(), &card.UserId(),
                                       &card.Password()};
        for (int i = 0; i < 4; ++i) {
            out.push_back({labelX, y(row + 1 + i), labels[static_cast<std::size_t>(i)]});
            out.push_back({valueX, y(row + 1 + i), *values[i]});
        }
        if (o.printNotes) {
            auto [first, second] = SplitNoteForPrint(card.Note());
            out.push_back({labelX, y(row + 5), "Notes"});
            out.push_back({valueX, y(row + 5), first});
            out.push_back({valueX, y(row + 6), second});
        }
    }
    return out;
}

}  // namespace tessaline
