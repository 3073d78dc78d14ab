#pragma once
// The script functions Tessaline runs in a page's frames (in a world of its own) to find,
// fill and read a login form. Values reach them as arguments, never inside their text.

#include <string>

namespace tessaline {

// function (userId, password, submit): fills the first visible password field of the
// frame and the visible text or e-mail field before it (of the same form, when the
// password field has one) as typing would, with input and change events; an empty
// value leaves its field alone. With `submit` the form is then submitted.
// Gives {found, user, submitted}.
std::string FillLoginFormScript();

// function (withPassword): whether the frame has a visible password field, the value of
// the user field before it and, only when asked, the password field's value.
// Gives {found, user, password}.
std::string ReadLoginFormScript();

}  // namespace tessaline
