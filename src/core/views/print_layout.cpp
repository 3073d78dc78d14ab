#include "core/views/print_layout.h"

#include <algorithm>
#include <array>

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/views/card_dialog_presets.h"

namespace tessaline {

namespace {

constexpr std::array<int, kCategoryCount> kPrintOrder{
    kWwwSites,      kWwwForms,      kFtpServers,    kNewsgroups,        kOnlineBanking,
    kLoginAccounts, kEmailAccounts, kBankAccounts,  kCreditCards,       kAtmPinCards,
    kPersonalData,  kSoftwareKeys,  kSerialNumbers, kMembershipNumbers, kMiscellaneous};

constexpr int kLabelIndent = 100;
// The card's number in the printout, in the label column. The editor has no such row, and
// "Number" is a field's label in several categories.
constexpr const char* kCardNumberLabel = "Card:";
// The header takes row 0; the first card begins on this row.
constexpr int kFirstCardRow = 2;
// Rows of a page that the header, the footer and the space around them take.
constexpr int kFrameRows = 5;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t NextCharacter(std::string_view text, std::size_t at) {
    ++at;
    while (at < text.size() && IsContinuation(text[at]))
        ++at;
    return at;
}

// at, moved back to the start of the character it is in.
std::size_t CharacterStart(std::string_view text, std::size_t at) {
    while (at > 0 && at < text.size() && IsContinuation(text[at]))
        --at;
    return at;
}

// The end of the longest start of text that fits in width: at least one character. The
// search widens in doubling steps and then halves, so that it measures a few texts about
// a line long, whatever the length of text.
std::size_t FittingEnd(std::string_view text, int width, const MeasureText& measure) {
    if (measure(text) <= width)
        return text.size();
    auto fits = [&](std::size_t end) { return measure(text.substr(0, end)) <= width; };
    std::size_t good = NextCharacter(text, 0);  // taken even when it does not fit
    std::size_t bad = text.size();
    for (std::size_t step = 16;; step *= 2) {
        const std::size_t probe = CharacterStart(text, std::min(good + step, text.size()));
        if (probe <= good || probe >= bad)
            break;
        if (!fits(probe)) {
            bad = probe;
            break;
        }
        good = probe;
    }
    for (;;) {
        std::size_t mid = CharacterStart(text, good + (bad - good) / 2);
        if (mid <= good)
            mid = NextCharacter(text, good);
        if (mid >= bad)
            break;
        (fits(mid) ? good : bad) = mid;
    }
    return good;
}

void WrapParagraph(std::string_view text, int width, const MeasureText& measure,
                   std::vector<std::string>& lines) {
    if (text.empty()) {
        lines.emplace_back();
        return;
    }
    while (!text.empty()) {
        std::size_t end = FittingEnd(text, width, measure);
        if (end < text.size() && text[end] != ' ') {
            // Broken after the last space that fits, unless that leaves the line empty.
            const std::size_t space = text.find_last_of(' ', end - 1);
            if (space != std::string_view::npos && space > 0)
                end = space;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end);
        if (!text.empty()) {
            // The spaces where a line is broken are not printed.
            while (!line.empty() && line.back() == ' ')
                line.remove_suffix(1);
            const std::size_t next = text.find_first_not_of(' ');
            text.remove_prefix(next == std::string_view::npos ? text.size() : next);
        }
        lines.emplace_back(line);
    }
}

using Row = std::vector<PlacedText>;  // texts of one row; y is set on the page

struct Columns {
    int labelX = 0;
    int valueX = 0;
    int valueWidth = 1;
};

// A labelled text: the label and the first line on one row, further lines below.
void AddText(std::vector<Row>& rows, const Columns& c, const std::string& label,
             const std::string& storedText, const MeasureText& measure) {
    const SecretText shown(ShownAsUtf8(storedText));
    std::vector<std::string> lines = WrapForPrint(shown.Get(), c.valueWidth, measure);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Row row;
        if (i == 0)
            row.push_back({c.labelX, 0, label});
        if (!lines[i].empty())
            row.push_back({c.valueX, 0, lines[i]});
        // Copied and wiped rather than moved: a moved short text leaves its bytes behind.
        SecureWipe(lines[i]);
        rows.push_back(std::move(row));
    }
}

std::vector<Row> CardRows(const CCard& card, int number, const PrintDevice& d,
                          const PrintOptions& o, const MeasureText& measure) {
    const std::string category = CategoryDisplayName(card.Category());
    std::array<std::string, 4> labels = EditorFieldLabels(category);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].empty())
            labels[i] = "Field " + std::to_string(i + 1) + ":";
    }
    int labelWidth = measure(kCardNumberLabel);
    for (const std::string& label : labels)
        labelWidth = std::max(labelWidth, measure(label));
    if (o.printNotes)
        labelWidth = std::max(labelWidth, measure(kEditorNoteLabel));
    Columns c;
    c.labelX = kLabelIndent;
    c.valueX = c.labelX + labelWidth + std::max(1, d.charWidth);
    c.valueWidth = std::max(std::max(1, d.charWidth), d.width - c.valueX);

    std::vector<Row> rows;
    rows.push_back({{0, 0, category}});
    rows.push_back({{c.labelX, 0, kCardNumberLabel}, {c.valueX, 0, std::to_string(number)}});
    const std::string* values[] = {&card.Name(), &card.Address(), &card.UserId(), &card.Password()};
    for (std::size_t i = 0; i < 4; ++i)
        AddText(rows, c, labels[i], *values[i], measure);
    if (o.printNotes)
        AddText(rows, c, kEditorNoteLabel, card.Note(), measure);
    return rows;
}

}  // namespace

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
    } else if (text == kRecycleBin) {
        add(cards.RecycleBin());
    } else if (int code = CategoryCodeOfName(text); code >= 0) {
        add(cards.List(code));
    }
    return out;
}

std::vector<std::string> WrapForPrint(std::string_view utf8, int width,
                                      const MeasureText& measure) {
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t end = utf8.find_first_of("\r\n");
        WrapParagraph(utf8.substr(0, std::min(end, utf8.size())), width, measure, lines);
        if (end == std::string_view::npos)
            break;
        utf8.remove_prefix(end + (utf8.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    return lines;
}

std::vector<std::vector<PlacedText>> LayoutPrintCards(const PrintDevice& d, const PrintOptions& o,
                                                      const std::vector<const CCard*>& source,
                                                      const MeasureText& measure) {
    std::vector<std::vector<PlacedText>> pages;
    const int lineHeight = std::max(1, d.lineHeight);
    const int rowsPerPage = std::max(1, d.height / lineHeight - kFrameRows);
    int row = 0;  // rows used on the last page
    for (std::size_t i = 0; i < source.size(); ++i) {
        std::vector<Row> rows = CardRows(*source[i], static_cast<int>(i) + 1, d, o, measure);
        if (pages.empty() || (row > 0 && row + static_cast<int>(rows.size()) > rowsPerPage)) {
            pages.emplace_back();
            row = 0;
        }
        for (Row& texts : rows) {
            if (row >= rowsPerPage) {
                pages.emplace_back();
                row = 0;
            }
            for (PlacedText& t : texts) {
                t.y = (kFirstCardRow + row) * lineHeight;
                pages.back().push_back(t);
                SecureWipe(t.text);
            }
            ++row;
        }
        ++row;  // a free row between cards
    }
    return pages;
}

std::vector<PlacedText> LayoutPageFrame(int page, const PrintDevice& d, const PageTexts& texts,
                                        const MeasureText& measure) {
    const std::string product = "Tessaline";
    const std::string number = std::to_string(page);
    const int footer = std::max(0, d.height - std::max(1, d.lineHeight));
    return {
        {0, 0, texts.documentTitle},
        {std::max(0, d.width - measure(product)), 0, product},
        {std::max(0, (d.width - measure(number)) / 2), footer, number},
        {0, footer, texts.dateText},
    };
}

}  // namespace tessaline
