#include "core/views/csv_import.h"

#include <algorithm>
#include <span>

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/iso_date_time.h"
#include "core/cards/text_encoding.h"
#include "core/file/data_file.h"
#include "core/views/csv_reader.h"

namespace tessaline {

namespace {

// What a column of an export is to us.
enum class Role {
    Group,     // the group or folder: names the category, kept in the note
    Name,      // the card's name
    Address,   // the card's address
    User,      // the card's user ID
    Password,  // the card's password
    Notes,     // the start of the card's note
    Totp,      // a TOTP secret or otpauth:// address: the card's one-time-password field
    Fields,    // Bitwarden's custom fields, "name: value" lines, kept in the note
    Created,   // when the entry was made (ISO 8601)
    Modified,  // when the entry was last changed (ISO 8601)
    Kept,      // anything else worth keeping: "label: value" in the note
    Dropped,   // the exporting program's own bookkeeping (ids, icons, time stamps)
};

struct Column {
    std::string_view header;  // as the program writes it
    Role role;
    std::string_view label;  // how the note names it
};

struct Layout {
    CsvSource source;
    std::string_view title;
    std::span<const Column> columns;         // in the program's order
    std::span<const std::string_view> keys;  // headers that together identify the program
    std::size_t minimumColumns;              // a line without a header has at least these
};

constexpr Column kKeePassXcColumns[] = {
    {"Group", Role::Group, "Group"},
    {"Title", Role::Name, "Title"},
    {"Username", Role::User, "Username"},
    {"Password", Role::Password, "Password"},
    {"URL", Role::Address, "URL"},
    {"Notes", Role::Notes, "Notes"},
    {"TOTP", Role::Totp, "TOTP"},
    {"Icon", Role::Dropped, ""},
    {"Last Modified", Role::Modified, "Last Modified"},
    {"Created", Role::Created, "Created"},
};
constexpr std::string_view kKeePassXcKeys[] = {"title", "username", "password", "url"};

constexpr Column kChromiumColumns[] = {
    {"name", Role::Name, "Name"},         {"url", Role::Address, "URL"},
    {"username", Role::User, "Username"}, {"password", Role::Password, "Password"},
    {"note", Role::Notes, "Note"},
};
constexpr std::string_view kChromiumKeys[] = {"name", "url", "username", "password"};

constexpr Column kFirefoxColumns[] = {
    {"url", Role::Address, "URL"},
    {"username", Role::User, "Username"},
    {"password", Role::Password, "Password"},
    {"httpRealm", Role::Kept, "HTTP realm"},
    {"formActionOrigin", Role::Dropped, ""},
    {"guid", Role::Dropped, ""},
    {"timeCreated", Role::Dropped, ""},
    {"timeLastUsed", Role::Dropped, ""},
    {"timePasswordChanged", Role::Dropped, ""},
};
constexpr std::string_view kFirefoxKeys[] = {"url", "username", "password"};

constexpr Column kBitwardenColumns[] = {
    {"folder", Role::Group, "Folder"},
    {"favorite", Role::Dropped, ""},
    {"type", Role::Dropped, ""},
    {"name", Role::Name, "Name"},
    {"notes", Role::Notes, "Notes"},
    {"fields", Role::Fields, "Fields"},
    {"reprompt", Role::Dropped, ""},
    {"login_uri", Role::Address, "URIs"},
    {"login_username", Role::User, "Username"},
    {"login_password", Role::Password, "Password"},
    {"login_totp", Role::Totp, "TOTP"},
};
constexpr std::string_view kBitwardenKeys[] = {"name", "login_uri", "login_password"};

// Tried in this order: KeePassXC's and Chromium's headers also hold Firefox's columns.
constexpr Layout kLayouts[] = {
    {CsvSource::KeePassXc, "KeePassXC", kKeePassXcColumns, kKeePassXcKeys, 6},
    {CsvSource::Chromium, "Chromium", kChromiumColumns, kChromiumKeys, 4},
    {CsvSource::Firefox, "Firefox", kFirefoxColumns, kFirefoxKeys, 3},
    {CsvSource::Bitwarden, "Bitwarden", kBitwardenColumns, kBitwardenKeys, 10},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

const Layout& LayoutOf(CsvSource source) {
    for (const Layout& layout : kLayouts) {
        if (layout.source == source)
            return layout;
    }
    return kLayouts[0];
}

bool NamesColumnsOf(const Layout& layout, const std::vector<std::string>& header) {
    return std::all_of(layout.keys.begin(), layout.keys.end(), [&](std::string_view key) {
        return std::any_of(header.begin(), header.end(),
                           [&](const std::string& h) { return SameIgnoringCase(Trim(h), key); });
    });
}

const Layout* DetectLayout(const std::vector<std::string>& header) {
    for (const Layout& layout : kLayouts) {
        if (NamesColumnsOf(layout, header))
            return &layout;
    }
    return nullptr;
}

// How one column of this file is read.
struct ColumnUse {
    Role role;
    std::string label;
};

std::vector<ColumnUse> UsesFromHeader(const Layout& layout,
                                      const std::vector<std::string>& header) {
    std::vector<ColumnUse> uses;
    std::vector<Role> taken;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string_view name = Trim(header[i]);
        ColumnUse use{Role::Kept,
                      name.empty() ? "Column " + std::to_string(i + 1) : std::string(name)};
        for (const Column& column : layout.columns) {
            if (!SameIgnoringCase(name, column.header))
                continue;
            // A second column of the same kind is kept in the note rather than lost.
            const bool single = column.role != Role::Kept && column.role != Role::Dropped;
            if (single && std::find(taken.begin(), taken.end(), column.role) != taken.end())
                break;
            use = ColumnUse{column.role, std::string(column.label)};
            taken.push_back(column.role);
            break;
        }
        uses.push_back(std::move(use));
    }
    return uses;
}

std::vector<ColumnUse> UsesInProgramOrder(const Layout& layout) {
    std::vector<ColumnUse> uses;
    for (const Column& column : layout.columns)
        uses.push_back(ColumnUse{column.role, std::string(column.label)});
    return uses;
}

// An empty line of fields, or a line of nothing but spaces: no entry.
bool IsBlank(const CsvRecord& record) {
    if (record.fields.size() == 1)
        return Trim(record.fields[0]).empty();
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return f.empty(); });
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether a group path ends in a category's name as a whole part of it ("ATM/PIN Cards"
// holds a slash itself).
bool EndsWithName(std::string_view group, std::string_view name) {
    group = Trim(group);
    if (group.size() < name.size() ||
        !SameIgnoringCase(group.substr(group.size() - name.size()), name))
        return false;
    const std::string_view before = Trim(group.substr(0, group.size() - name.size()));
    return before.empty() || before.back() == '/';
}

// The category a group or folder names: its deepest part that is one of our category
// names, case ignored; -1 when none is.
int CategoryOfGroup(std::string_view group) {
    for (;;) {
        for (int code = 0; code < kCategoryCount; ++code) {
            if (EndsWithName(group, FindCategory(code)->displayName))
                return code;
        }
        if (EndsWithName(group, kOldWwwPagesName))
            return kWwwSites;
        const std::size_t slash = group.find_last_of('/');
        if (slash == std::string_view::npos)
            return -1;
        group = group.substr(0, slash);
    }
}

// What a KeePassXC group path says: its first part is the root group, whatever it is
// called; below it, the deepest part (or pair of parts: "ATM/PIN Cards") named after a
// category gives the card's category, and every other part becomes a tag.
struct GroupPathMeaning {
    int code = -1;
    std::vector<std::string> tags;
};

int CategoryNamed(std::string_view name) {
    for (int code = 0; code < kCategoryCount; ++code) {
        if (SameIgnoringCase(name, FindCategory(code)->displayName))
            return code;
    }
    return SameIgnoringCase(name, kOldWwwPagesName) ? kWwwSites : -1;
}

GroupPathMeaning ReadGroupPath(std::string_view group) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = group.find('/', start);
        parts.emplace_back(
            Trim(group.substr(start, slash == std::string_view::npos ? slash : slash - start)));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    GroupPathMeaning meaning;
    // The root group says nothing about the entry.
    parts.erase(parts.begin());
    std::size_t first = parts.size(), count = 0;
    for (std::size_t i = parts.size(); i-- > 0 && count == 0;) {
        if (i > 0) {
            const int pair = CategoryNamed(parts[i - 1] + "/" + parts[i]);
            if (pair >= 0) {
                meaning.code = pair;
                first = i - 1;
                count = 2;
                break;
            }
        }
        const int one = CategoryNamed(parts[i]);
        if (one >= 0) {
            meaning.code = one;
            first = i;
            count = 1;
        }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if ((i < first || i >= first + count) && !parts[i].empty())
            meaning.tags.push_back(parts[i]);
    }
    return meaning;
}

// The category an address's scheme names: file transfer goes to FTP Servers, mail to
// Email Accounts; -1 for any other.
int CategoryOfAddress(std::string_view address) {
    address = Trim(address);
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos)
        return -1;
    const std::string scheme = Lower(address.substr(0, colon));
    if (scheme == "ftp" || scheme == "ftps" || scheme == "sftp")
        return kFtpServers;
    if (scheme == "mailto" || scheme == "imap" || scheme == "imaps" || scheme == "smtp" ||
        scheme == "smtps")
        return kEmailAccounts;
    return -1;
}

// Whether the group says nothing the category does not: "Root", "Credit Cards" or
// "Root/Credit Cards" for a Credit Cards card.
bool GroupSaysNoMore(std::string_view group, int code) {
    const std::string_view name = FindCategory(code)->displayName;
    std::string_view rest = Trim(group);
    if (SameIgnoringCase(rest, "Root") || SameIgnoringCase(rest, name))
        return true;
    if (rest.size() < 4 || !SameIgnoringCase(rest.substr(0, 4), "Root"))
        return false;
    rest = Trim(rest.substr(4));
    return rest.starts_with('/') && SameIgnoringCase(Trim(rest.substr(1)), name);
}

// The host of an address, for an entry without a name: "https://a.example/x" gives
// "a.example".
std::string HostOf(std::string_view address) {
    std::string_view host = Trim(address);
    if (const std::size_t scheme = host.find("://"); scheme != std::string_view::npos)
        host.remove_prefix(scheme + 3);
    host = host.substr(0, host.find_first_of("/?#"));
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos)
        host.remove_prefix(at + 1);
    return std::string(host.empty() ? Trim(address) : host);
}

// Line breaks as the card editor stores them: CR LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// UTF-8 text as the bytes a card keeps for typed text.
std::string StoredFromUtf8(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::string(utf8);
    std::u32string chars = DecodeStoredBytes(utf8);
    std::string stored = EncodeTypedText(chars);
    std::fill(chars.begin(), chars.end(), U'\0');
    return stored;
}

// One entry's texts while it is put together; wiped afterwards.
struct Entry {
    std::string group, name, address, user, password, notes, totp, fields, created, modified;
    std::vector<std::string> kept;  // "label: value"

    ~Entry() {
        for (std::string* text : {&group, &name, &address, &user, &password, &notes, &totp, &fields,
                                  &created, &modified})
            SecureWipe(*text);
        for (std::string& text : kept)
            SecureWipe(text);
    }
};

class EntryReader {
public:
    EntryReader(const Layout& layout, std::vector<ColumnUse> uses, std::uint32_t now)
        : layout_(layout), uses_(std::move(uses)), now_(now) {}

    // The card of one line, or the reason it cannot be one.
    std::optional<std::string> Read(const CsvRecord& record, CCard& card) const {
        Entry entry;
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            const std::string& value = record.fields[i];
            const ColumnUse& use = uses_[i];
            if (use.role == Role::Dropped)
                continue;
            if (value.find('\0') != std::string::npos) {
                return "the column \"" + use.label +
                       "\" holds a zero byte, which a data file cannot store";
            }
            if (!IsAscii(value) && !IsUtf8WithNonAscii(value))
                return "the column \"" + use.label + "\" is not UTF-8 text";
            Take(use, value, entry);
        }
        return MakeCard(entry, card);
    }

private:
    void Take(const ColumnUse& use, const std::string& value, Entry& entry) const {
        switch (use.role) {
            case Role::Group:
                entry.group = value;
                break;
            case Role::Name:
                entry.name = value;
                break;
            case Role::Address:
                // Bitwarden lists every address of a login, separated by commas: the first
                // is the card's, and the whole list stays in the note.
                if (layout_.source == CsvSource::Bitwarden &&
                    value.find(',') != std::string::npos) {
                    entry.address = Trim(value.substr(0, value.find(',')));
                    entry.kept.push_back(use.label + ": " + value);
                } else {
                    entry.address = value;
                }
                break;
            case Role::User:
                entry.user = value;
                break;
            case Role::Password:
                entry.password = value;
                break;
            case Role::Notes:
                entry.notes = value;
                break;
            case Role::Totp:
                entry.totp = value;
                break;
            case Role::Fields:
                entry.fields = value;
                break;
            case Role::Created:
                entry.created = value;
                break;
            case Role::Modified:
                entry.modified = value;
                break;
            case Role::Kept:
                if (!value.empty())
                    entry.kept.push_back(use.label + ": " + value);
                break;
            case Role::Dropped:
                break;
        }
    }

    std::optional<std::string> MakeCard(const Entry& entry, CCard& card) const {
        // KeePassXC's groups are a path below its root group: they become the category
        // and tags. Other programs' folders name the category and stay in the note.
        const bool groupPath = layout_.source == CsvSource::KeePassXc;
        GroupPathMeaning path;
        if (groupPath && !Trim(entry.group).empty())
            path = ReadGroupPath(entry.group);
        const int fromGroup = groupPath ? path.code : CategoryOfGroup(entry.group);
        const int fromAddress = CategoryOfAddress(entry.address);
        const int code = fromGroup >= 0                ? fromGroup
                         : fromAddress >= 0            ? fromAddress
                         : Trim(entry.address).empty() ? kMiscellaneous
                                                       : kWwwSites;
        // The dates the program kept; one that cannot be read stays in the note.
        const std::optional<std::int64_t> createdMs = ParseIsoDateTimeMs(entry.created);
        const std::optional<std::int64_t> modifiedMs = ParseIsoDateTimeMs(entry.modified);

        std::string note = entry.notes;
        auto addLine = [&note](std::string_view line) {
            if (!note.empty() && note.back() != '\n' && note.back() != '\r')
                note.push_back('\n');
            note += line;
        };
        if (!groupPath && !Trim(entry.group).empty() && !GroupSaysNoMore(entry.group, code))
            addLine(GroupLabel() + ": " + entry.group);
        if (!entry.fields.empty())
            addLine(entry.fields);
        for (const std::string& line : entry.kept)
            addLine(line);
        if (!createdMs && !Trim(entry.created).empty())
            addLine("Created: " + entry.created);
        if (!modifiedMs && !Trim(entry.modified).empty())
            addLine("Last Modified: " + entry.modified);

        const std::string name = entry.name.empty() ? HostOf(entry.address) : entry.name;
        struct Text {
            const char* what;
            std::string stored;
        };
        Text texts[] = {{"name", StoredFromUtf8(name)},
                        {"address", StoredFromUtf8(entry.address)},
                        {"user ID", StoredFromUtf8(entry.user)},
                        {"password", StoredFromUtf8(entry.password)},
                        {"note", StoredFromUtf8(WithCrLf(note))}};
        SecureWipe(note);
        for (const Text& text : texts) {
            if (text.stored.size() > kMaxTextLength) {
                std::string why = std::string("the ") + text.what + " is " +
                                  std::to_string(text.stored.size()) +
                                  " bytes long; a card holds at most " +
                                  std::to_string(kMaxTextLength) + " in one text";
                for (Text& t : texts)
                    SecureWipe(t.stored);
                return why;
            }
        }
        card = CCard();
        card.SetCategory(static_cast<std::uint8_t>(code));
        card.SetName(std::move(texts[0].stored));
        card.SetAddress(std::move(texts[1].stored));
        card.SetUserId(std::move(texts[2].stored));
        card.SetPassword(std::move(texts[3].stored));
        card.SetNote(std::move(texts[4].stored));
        if (!Trim(entry.totp).empty())
            card.SetOtpUri(entry.totp);
        card.SetTags(std::move(path.tags));
        std::uint32_t stamp = now_;
        if (createdMs)
            card.SetCreatedMs(*createdMs);
        if (const std::optional<std::int64_t> changed = modifiedMs ? modifiedMs : createdMs) {
            card.SetModifiedMs(*changed);
            if (const std::uint32_t old = CardTimeOfUnixMs(*changed); old != 0)
                stamp = old;
        }
        card.SetModificationTime(stamp);
        card.SetChanged(true);
        return std::nullopt;
    }

    std::string GroupLabel() const {
        return layout_.source == CsvSource::Bitwarden ? "Folder" : "Group";
    }

    const Layout& layout_;
    std::vector<ColumnUse> uses_;
    std::uint32_t now_;
};

std::string KnownProgramsText() {
    std::string out;
    for (std::size_t i = 0; i < std::size(kLayouts); ++i) {
        if (i > 0)
            out += i + 1 == std::size(kLayouts) ? " or " : ", ";
        out += kLayouts[i].title;
    }
    return out;
}

CsvImport Failed(CsvImport& result, int line, std::string what) {
    result.cards.clear();
    result.error = CsvImportError{line, std::move(what)};
    return std::move(result);
}

}  // namespace

std::optional<CsvSource> CsvSourceFromName(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower == "auto")
        return CsvSource::Auto;
    for (const Layout& layout : kLayouts) {
        if (lower == Lower(layout.title))
            return layout.source;
    }
    return std::nullopt;
}

std::string_view CsvSourceTitle(CsvSource source) {
    return source == CsvSource::Auto ? std::string_view() : LayoutOf(source).title;
}

CsvImport ImportCsv(std::string_view text, CsvSource source, std::uint32_t now) {
    CsvImport result;
    result.source = source;
    const CsvTable table = ReadCsv(text);
    if (table.problem)
        return Failed(result, table.problem->line, table.problem->what);

    auto next = table.records.begin();
    while (next != table.records.end() && IsBlank(*next))
        ++next;
    if (next == table.records.end())
        return result;  // nothing to import

    const Layout* detected = DetectLayout(next->fields);
    const Layout* layout = detected;
    bool header = true;
    if (source == CsvSource::Auto) {
        if (detected == nullptr) {
            result.unknownLayout = true;
            return Failed(
                result, next->line,
                "the first line does not name the columns of a " + KnownProgramsText() + " export");
        }
    } else {
        layout = &LayoutOf(source);
        if (detected != nullptr && detected != layout) {
            return Failed(result, next->line,
                          "the first line names the columns of a " + std::string(detected->title) +
                              " export, not of a " + std::string(layout->title) + " export");
        }
        header = detected != nullptr;
    }
    result.source = layout->source;

    const std::vector<ColumnUse> uses =
        header ? UsesFromHeader(*layout, next->fields) : UsesInProgramOrder(*layout);
    if (header)
        ++next;
    const EntryReader reader(*layout, uses, now);
    for (; next != table.records.end(); ++next) {
        if (IsBlank(*next))
            continue;
        const std::size_t count = next->fields.size();
        if (header && count != uses.size()) {
            return Failed(result, next->line,
                          "it has " + std::to_string(count) + " fields, but the first line names " +
                              std::to_string(uses.size()) + " columns");
        }
        if (!header && (count < layout->minimumColumns || count > uses.size())) {
            return Failed(result, next->line,
                          "it has " + std::to_string(count) + " fields; a " +
                              std::string(layout->title) + " export has " +
                              std::to_string(layout->minimumColumns) + " to " +
                              std::to_string(uses.size()));
        }
        CCard card;
        if (std::optional<std::string> problem = reader.Read(*next, card))
            return Failed(result, next->line, std::move(*problem));
        result.cards.push_back(std::move(card));
    }
    return result;
}

CategoryCounts CountPerCategory(const std::vector<CCard>& cards) {
    CategoryCounts counts{};
    for (const CCard& card : cards) {
        if (card.Category() < kCategoryCount)
            ++counts[card.Category()];
    }
    return counts;
}

std::vector<std::string> CategoryCountLines(const CategoryCounts& counts) {
    std::vector<std::string> lines;
    for (int code = 0; code < kCategoryCount; ++code) {
        if (counts[static_cast<std::size_t>(code)] > 0) {
            lines.push_back(CategoryDisplayName(code) + ": " +
                            std::to_string(counts[static_cast<std::size_t>(code)]));
        }
    }
    return lines;
}

std::string CardCountText(int count) {
    return std::to_string(count) + (count == 1 ? " card" : " cards");
}

void AddImportedCards(std::vector<CCard>& cards, CCardCollection& collection) {
    for (CCard& card : cards) {
        const int code = card.Category();
        collection.AddCardToCategory(code, collection.Adopt(std::move(card)));
    }
    cards.clear();
}

}  // namespace tessaline
