#pragma once
// What the status bar says after something was put on the clipboard: what was copied and
// when the clipboard forgets it.

#include <string>
#include <string_view>

namespace tessaline {

// "Password copied; cleared in 10 s", or "Password copied; not cleared automatically"
// when clearSeconds is 0 (or less). what names the copied text ("Password", "User ID").
std::string CopiedStatusText(std::string_view what, int clearSeconds);

// How long the status text stays, in milliseconds: until the clipboard is cleared, or a
// few seconds when it never is.
int CopiedStatusTimeoutMs(int clearSeconds);

}  // namespace tessaline
