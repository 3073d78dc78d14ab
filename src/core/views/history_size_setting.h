#pragma once
// File > Properties...: how many earlier versions each card of the file keeps. A smaller
// number drops the oldest versions the cards keep now, after saying how many.

#include <cstddef>

#include "core/platform/user_answers.h"

namespace tessaline {

class CCardCollection;

// The largest number of versions the setting takes.
inline constexpr int kMaxHistorySize = 1000;

inline constexpr const char* kDropVersionsMessage =
    "Each card will keep at most %1 earlier versions: %2 older versions will be deleted.";
inline constexpr const char* kDropAllVersionsMessage =
    "Cards will keep no earlier versions: the %1 versions kept now will be deleted.";

// How many earlier versions the cards (in the categories and the recycle bin) keep beyond
// historySize.
std::size_t VersionsBeyond(CCardCollection& cards, int historySize);

// Sets the file's history size (clamped to 0..kMaxHistorySize). When cards keep more
// versions than that, the user is told how many go (OK / Cancel) and the oldest go, wiped.
// True when the setting changed.
bool ChangeHistorySize(CCardCollection& cards, int historySize, IUserAnswers& ui);

}  // namespace tessaline
