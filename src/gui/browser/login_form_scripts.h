#pragma once
// The script functions Tessaline runs in a page's frames (in a world of its own) to find,
// fill and read a login form. Values reach them as arguments, never inside their text.
//
// A field takes part only when a person could see and type into it: rendered, at least
// 4x4 CSS pixels, inside the document's area (scrolling allowed), not hidden by
// visibility, by an opacity of its own or its ancestors' (and its frame's) below 0.1, nor
// by a clip; topmost at its centre once scrolled into view (the field itself or one of its
// labels), and neither disabled nor read-only. A field whose text is transparent counts as
// visible only while its box still shows (a background, a border or a shadow). Fields in
// open shadow roots take part as well.
//
// The login form is the first form (or form-less group of fields) with exactly one such
// password field, not marked "new-password"; its user field is the one marked
// autocomplete "username" (else "email"), else the last text, e-mail or telephone field
// before the password whose name, id, label, aria-label or placeholder speaks of a user,
// a login, an e-mail or an account, else the last e-mail field, else the last text-like
// field before it. A form with a "new-password" field or two password fields (sign-up,
// change of password) only ever gets its current password (the field marked
// "current-password", else the first not marked "new-password"), and is not submitted.
// A page with no such password field but a user field named as above is the first page
// of a two-step login.

#include <string>

namespace tessaline {

// function (userId, password, submit, waitMs, userStep, pageUrl): fills the login form
// of the frame as typing would, with input and change events; an empty value leaves its
// field alone. With `userStep`, a page with a user field and no password field gets the
// user ID. With nothing to fill yet it looks again every 100 ms for up to `waitMs`
// (giving a promise). With `submit` the form is then submitted, but only when its action
// (read after the fields' events ran, and again while the form is being sent) is on the
// origin of `pageUrl`; otherwise `target` is the address it would have gone to. A form
// whose fields fail their own checks (an e-mail field holding no e-mail address) is
// filled and not submitted.
// Gives {found, user, password, userOnly, newPasswordForm, submitted, target}.
std::string FillLoginFormScript();

// function (userId, password, pageUrl, approvedAction): submits the login form that
// FillLoginFormScript filled (its fields still hold those values) when its action is still
// `approvedAction` or on the origin of `pageUrl`, watched as FillLoginFormScript watches
// it. Gives {submitted, target}.
std::string SubmitLoginFormScript();

// function (withPassword): whether the frame has a login form, the value of its user field
// and, only when asked, its password field's value. Gives {found, user, password}.
std::string ReadLoginFormScript();

}  // namespace tessaline
