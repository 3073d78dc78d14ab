#include "core/file/password_text.h"

#include "core/cards/text_encoding.h"

namespace tessaline {

std::string PasswordBytesFromTyped(std::string_view typedUtf8) {
    // Valid UTF-8 decodes to the typed characters; anything else reads as Windows-1252,
    // which encodes back to the very same bytes.
    return EncodeTypedText(DecodeStoredBytes(typedUtf8));
}

std::vector<std::string> PasswordFormsToTry(std::string_view entered) {
    std::vector<std::string> forms{std::string(entered)};
    std::string utf8;
    for (char32_t c : DecodeStoredBytes(entered))
        AppendUtf8(utf8, c);
    if (utf8 != entered)
        forms.push_back(std::move(utf8));
    return forms;
}

bool HasZeroByte(std::string_view password) {
    return password.find('\0') != std::string_view::npos;
}

}  // namespace tessaline
