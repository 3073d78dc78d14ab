#include "core/views/card_list_model.h"

#include <algorithm>
#include <string_view>

#include "core/base/secure_wipe.h"
#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "core/cards/text_encoding.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_history_rows.h"

namespace tessaline {

const std::array<int, kCategoryCount> kSelectorOrder{
    kWwwSites,      kWwwForms,     kFtpServers,    kNewsgroups,        kLoginAccounts,
    kEmailAccounts, kBankAccounts, kOnlineBanking, kCreditCards,       kAtmPinCards,
    kPersonalData,  kSoftwareKeys, kSerialNumbers, kMembershipNumbers, kMiscellaneous};

namespace {

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int i = 'A'; i <= 'Z'; ++i)
        t[i] = static_cast<unsigned char>(i + 32);
    // Windows-1252 capitals.
    for (int i = 0xC0; i <= 0xDE; ++i)
        if (i != 0xD7)
            t[i] = static_cast<unsigned char>(i + 32);
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}
constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

// Orders rows by one text of each card as CompareNoCase orders texts. Each card's key is
// made once (not at every comparison); rows with equal keys keep their order.
template <typename Text>
void SortByTextKeys(std::vector<CCard*>& rows, bool descending, Text text) {
    struct Keyed {
        std::string_view key;
        CCard* card;
    };
    std::size_t total = 0;
    for (const CCard* card : rows)
        total += text(*card).size();
    // All keys in one buffer that never grows, so the views into it stay valid.
    std::string keys(total, '\0');
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    std::size_t at = 0;
    for (CCard* card : rows) {
        const std::string& t = text(*card);
        for (std::size_t i = 0; i < t.size(); ++i)
            keys[at + i] = static_cast<char>(kLower[static_cast<unsigned char>(t[i])]);
        keyed.push_back(Keyed{std::string_view(keys).substr(at, t.size()), card});
        at += t.size();
    }
    // string_view compares its chars as unsigned bytes, as CompareNoCase does.
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const Keyed& a, const Keyed& b) {
        return descending ? b.key < a.key : a.key < b.key;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].card;
    SecureWipe(keys);  // the password column's keys are passwords
}

// The category lists a text lists, in order; nothing when it names no list.
std::vector<const CCategoryList*> ListsOfText(const CCardCollection& cards, std::string_view text) {
    std::vector<const CCategoryList*> lists;
    if (text == kShowAll) {
        for (int code : kSelectorOrder)
            lists.push_back(&cards.List(code));
    } else if (text == kSearchResults) {
        lists.push_back(&cards.SearchResults());
    } else if (text == kRecycleBin) {
        lists.push_back(&cards.RecycleBin());
    } else if (int code = CategoryCodeOfName(text); code >= 0) {
        lists.push_back(&cards.List(code));
    }
    return lists;
}

}  // namespace

std::vector<std::string> CategorySelectorEntries() {
    std::vector<std::string> entries;
    for (int code : kSelectorOrder)
        entries.push_back(CategoryDisplayName(code));
    entries.emplace_back(kRecycleBin);
    entries.emplace_back(kShowAll);
    return entries;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = kLower[static_cast<unsigned char>(a[i])];
        const int y = kLower[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::vector<CCard*> ListCategoryText(const CCardCollection& cards, std::string_view text) {
    std::vector<CCard*> rows;
    const std::vector<const CCategoryList*> lists = ListsOfText(cards, text);
    std::size_t total = 0;
    for (const CCategoryList* list : lists)
        total += static_cast<std::size_t>(list->Count());
    rows.reserve(total);
    for (const CCategoryList* list : lists) {
        for (int i = 0; i < list->Count(); ++i) {
            CCard* card = list->CardAt(i);
            card->SetListPosition(i);
            rows.push_back(card);
        }
    }
    // One sort after filling: ordering row by row would cost a sort per card.
    SortByTextKeys(rows, false,
                   [](const CCard& card) -> const std::string& { return card.Name(); });
    return rows;
}

std::optional<int> CountOfCategoryText(const CCardCollection& cards, std::string_view text) {
    const std::vector<const CCategoryList*> lists = ListsOfText(cards, text);
    if (lists.empty())
        return std::nullopt;
    int count = 0;
    for (const CCategoryList* list : lists)
        count += list->Count();
    return count;
}

bool ShowsCategoryColumn(std::string_view text) {
    return text == kShowAll || text == kSearchResults || text == kRecycleBin;
}

std::string ChooseCategoryText(const std::optional<std::string>& hint, const IProfile& profile) {
    if (hint)
        return *hint;
    std::string last = profile.GetText(prefs::kGeneralSection, prefs::kLastSelectedCatg, "");
    if (!last.empty() && last != kSearchResults)
        return last;
    return CategoryDisplayName(kWwwSites);
}

std::string ShortenNote(const std::string& note) {
    constexpr std::size_t kShown = 25;
    std::string out;
    if (IsUtf8WithNonAscii(note)) {
        // Count characters, never cutting one in two.
        std::size_t chars = 0, cut = note.size();
        for (std::size_t i = 0; i < note.size(); ++i) {
            if ((static_cast<unsigned char>(note[i]) & 0xC0) == 0x80)
                continue;
            if (chars == kShown)
                cut = i;
            ++chars;
        }
        out = chars <= kShown ? note : note.substr(0, cut) + "...";
    } else {
        out = note.size() <= kShown ? note : note.substr(0, kShown) + "...";
    }
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

std::string MaskPassword(const std::string& password, bool showAlways) {
    if (showAlways)
        return password;
    return password.empty() ? std::string() : std::string("****");
}

std::string CellText(const CCard& card, int column, const IProfile& profile) {
    switch (column) {
        case kColumnName:
            return card.Name();
        case kColumnUserId:
            return card.UserId();
        case kColumnPassword:
            return MaskPassword(
                card.Password(),
                profile.GetInt(prefs::kInternetSection, prefs::kShowPasswordAlways, 0) == 1);
        case kColumnNote:
            return ShortenNote(card.Note());
        case kColumnModified:
            return FormatCardDate(card.ModificationTime(), profile);
        case kColumnAddress:
            return card.Address();
        case kColumnCategory:
            return CategoryDisplayName(card.Category());
        default:
            return {};
    }
}

std::string RecycledCellText(const CCard& card, int column, const IProfile& profile) {
    if (column == kColumnModified)
        return LocalTimeText(card.RecycledMs());
    return CellText(card, column, profile);
}

namespace {
bool g_sortDescending = true;
}

bool SortDescending() {
    return g_sortDescending;
}
void SetSortDescending(bool descending) {
    g_sortDescending = descending;
}

namespace {
const std::string& TextOfColumn(const CCard& c, int column) {
    switch (column) {
        case kColumnUserId:
            return c.UserId();
        case kColumnPassword:
            return c.Password();
        case kColumnNote:
            return c.Note();
        default:
            return c.Name();
    }
}
}  // namespace

int CompareCardsForColumn(int column, bool descending, const CCard& a, const CCard& b) {
    switch (column) {
        case kColumnName:
        case kColumnUserId:
        case kColumnPassword:
        case kColumnNote:
            return descending ? CompareNoCase(TextOfColumn(b, column), TextOfColumn(a, column))
                              : CompareNoCase(TextOfColumn(a, column), TextOfColumn(b, column));
        case kColumnModified:
            if (descending)
                return a.ModificationTime() < b.ModificationTime() ? 1 : -1;
            return a.ModificationTime() > b.ModificationTime() ? 1 : -1;
        default:
            return 0;
    }
}

void SortRowsByColumn(std::vector<CCard*>& rows, int column, bool recycled) {
    g_sortDescending = !g_sortDescending;
    SortRows(rows, column, g_sortDescending, recycled);
}

void SortRows(std::vector<CCard*>& rows, int column, bool descending, bool recycled) {
    if (column < kColumnName || column > kColumnNote) {
        if (column != kColumnModified)
            return;  // every pair compares equal: order stays
        // The recycle bin's date column shows when each card went there.
        auto time = [recycled](const CCard* c) {
            return recycled ? c->RecycledMs() : static_cast<std::int64_t>(c->ModificationTime());
        };
        // Equal dates answer -1 both ways, which is no order at all; ties keep their place.
        std::stable_sort(rows.begin(), rows.end(),
                         [descending, &time](const CCard* a, const CCard* b) {
                             return descending ? time(a) > time(b) : time(a) < time(b);
                         });
        return;
    }
    SortByTextKeys(rows, descending, [column](const CCard& card) -> const std::string& {
        return TextOfColumn(card, column);
    });
}

}  // namespace tessaline
