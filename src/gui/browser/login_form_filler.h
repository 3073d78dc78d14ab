#pragma once
// Filling a card's login into, and reading the login form of, the page the automation
// browser shows: its top document and the frames of the same origin in it (a srcdoc
// frame counts as its parent's), with the scripts of login_form_scripts.h.

#include "core/browser/browser_interfaces.h"

namespace tessaline {

namespace devtools {
class DevToolsClient;
}

// Fills the login form of the first frame that has one when the origin rule lets the
// card's address into the page. With none yet, looks again for up to
// `request.waitForFormMs`. A form whose action is on another origin than the page's is
// submitted only when the origin rule lets the card's address into that address too.
LoginFillReport FillLoginInShownPage(devtools::DevToolsClient& browser,
                                     const LoginFillRequest& request);

// The login form of the page shown, its password only `withPassword`.
PageLoginForm ReadLoginInShownPage(devtools::DevToolsClient& browser, bool withPassword);

}  // namespace tessaline
