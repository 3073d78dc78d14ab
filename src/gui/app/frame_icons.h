#pragma once
// Where the window's pictures live in the program's resources.

namespace tessaline {

inline constexpr const char* kAppIconPath = ":/tessaline.svg";
// The child window's icon: a page with a whole key (encrypted) or a broken key (plain).
inline constexpr const char* kEncryptedDocumentIconPath = ":/icons/encrypted_document.svg";
inline constexpr const char* kPlainDocumentIconPath = ":/icons/plain_document.svg";
// The search button: a list page with binoculars.
inline constexpr const char* kSearchIconPath = ":/icons/search.svg";

// The toolbar picture of a command, or nullptr for a command without one.
const char* ToolbarIconPath(int command);

// Makes the resources above available; safe to call more than once.
void InitFrameResources();

}  // namespace tessaline
