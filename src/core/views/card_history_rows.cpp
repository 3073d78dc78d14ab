#include "core/views/card_history_rows.h"

#include <ctime>

#include "core/cards/card.h"
#include "core/views/card_list_model.h"

namespace tessaline {

std::string ChangedFieldNames(const CCard& a, const CCard& b) {
    const struct {
        const char* name;
        bool differs;
    } fields[] = {
        {"Name", a.Name() != b.Name()},
        {"Address", a.Address() != b.Address()},
        {"User ID", a.UserId() != b.UserId()},
        {"Password", a.Password() != b.Password()},
        {"Note", a.Note() != b.Note()},
        {"Category", a.Category() != b.Category()},
        {"Attributes", a.Attributes() != b.Attributes()},
        {"Expiry", a.ExpiresMs() != b.ExpiresMs()},
        {"Tags", a.Tags() != b.Tags()},
        {"One-time password", a.OtpUri() != b.OtpUri()},
        {"Custom fields", a.CustomFields() != b.CustomFields()},
    };
    std::string out;
    for (const auto& f : fields) {
        if (!f.differs)
            continue;
        if (!out.empty())
            out += ", ";
        out += f.name;
    }
    return out;
}

std::string LocalTimeText(std::int64_t ms) {
    if (ms == 0)
        return {};
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr)
        return {};
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return {};
    return text;
}

std::vector<HistoryRow> HistoryRows(const CCard& card) {
    const std::vector<CCard>& history = card.History();
    auto row = [](const CCard& version, int index, const CCard* before) {
        HistoryRow r;
        r.version = index;
        r.time = LocalTimeText(version.ModifiedMs());
        r.name = version.Name();
        r.userId = version.UserId();
        r.password = MaskPassword(version.Password(), false);
        if (before != nullptr)
            r.changed = ChangedFieldNames(*before, version);
        return r;
    };
    std::vector<HistoryRow> rows;
    rows.reserve(history.size() + 1);
    rows.push_back(row(card, -1, history.empty() ? nullptr : &history.back()));
    for (std::size_t i = history.size(); i-- > 0;)
        rows.push_back(row(history[i], static_cast<int>(i), i == 0 ? nullptr : &history[i - 1]));
    return rows;
}

}  // namespace tessaline
