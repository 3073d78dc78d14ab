#pragma once
// The program's own pages on the web, named by the About box and the Help menu.

namespace tessaline {

inline constexpr const char* kHomePageAddress = "https://tessaline.quillmar.example/";
inline constexpr const char* kOnlineDocumentationAddress =
    "https://tessaline.quillmar.example/guide.pdf";
inline constexpr const char* kContactAddress = "MailTo:author@quillmar.example";

}  // namespace tessaline
