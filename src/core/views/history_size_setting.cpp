#include "core/views/history_size_setting.h"

#include <algorithm>
#include <string>

#include "core/cards/card_collection.h"
#include "core/cards/card_versions.h"

namespace tessaline {

namespace {

std::string Filled(const char* pattern, const std::string& first, const std::string& second) {
    std::string text = pattern;
    text.replace(text.find("%1"), 2, first);
    if (const std::size_t at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

// Calls f on every card that can hold versions: the listed ones and those in the bin.
template <typename F>
void ForEachKeptCard(CCardCollection& cards, F&& f) {
    for (int code = 0; code < kCategoryCount; ++code) {
        for (CCard* card : cards.List(code))
            f(*card);
    }
    for (CCard* card : cards.RecycleBin())
        f(*card);
}

}  // namespace

std::size_t VersionsBeyond(CCardCollection& cards, int historySize) {
    const std::size_t keep = static_cast<std::size_t>(std::max(historySize, 0));
    std::size_t beyond = 0;
    ForEachKeptCard(cards, [&](const CCard& card) {
        if (card.History().size() > keep)
            beyond += card.History().size() - keep;
    });
    return beyond;
}

bool ChangeHistorySize(CCardCollection& cards, int historySize, IUserAnswers& ui) {
    const int size = std::clamp(historySize, 0, kMaxHistorySize);
    if (size == cards.HistorySize())
        return false;
    if (const std::size_t beyond = VersionsBeyond(cards, size); beyond > 0) {
        const std::string text =
            size == 0 ? Filled(kDropAllVersionsMessage, std::to_string(beyond), {})
                      : Filled(kDropVersionsMessage, std::to_string(size), std::to_string(beyond));
        if (ui.Message(MessageRequest{text, MsgCaption::Application, MsgIcon::Warning,
                                      MsgButtons::OkCancel}) != MsgAnswer::Ok)
            return false;
        ForEachKeptCard(cards, [size](CCard& card) { TrimHistory(card, size); });
    }
    cards.SetHistorySize(size);
    return true;
}

}  // namespace tessaline
