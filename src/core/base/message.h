#pragma once
// A message for the user: its text, the caption it stands under, its icon and its buttons.
// The file code returns these; whoever runs it shows them.

#include <optional>
#include <string>
#include <utility>

namespace tessaline {

enum class MsgCaption {
    System,       // the system's default caption ("Error" on this platform)
    Application,  // the application's name
    Error,        // the literal caption "Error"
};
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    std::string text;
    MsgCaption caption = MsgCaption::Application;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    // The button Enter presses; none: the usual one (Yes, or OK). A question whose Yes
    // replaces or discards something names the safe answer here.
    std::optional<MsgAnswer> defaultAnswer{};
};

// The plain OK box the file code shows for a failure.
inline MessageRequest PlainNotice(std::string text) {
    return MessageRequest{std::move(text), MsgCaption::System, MsgIcon::None, MsgButtons::Ok};
}

}  // namespace tessaline
