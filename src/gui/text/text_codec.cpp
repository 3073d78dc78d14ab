#include "gui/text/text_codec.h"

#include <QList>

#include "core/base/secure_wipe.h"
#include "core/cards/text_encoding.h"
#include "core/file/password_text.h"

namespace tessaline {

namespace {

// The characters of a card text on their way between its bytes and the screen.
void WipeChars(std::u32string& chars) {
    SecureWipe(chars.data(), chars.capacity() * sizeof(char32_t));
    chars.clear();
}

}  // namespace

QString DisplayText(const std::string& bytes) {
    std::u32string chars = DecodeStoredBytes(bytes);
    QString shown = QString::fromUcs4(chars.data(), static_cast<qsizetype>(chars.size()));
    WipeChars(chars);
    return shown;
}

std::string StoredText(const QString& text) {
    QList<uint> ucs4 = text.toUcs4();
    std::u32string chars;
    chars.reserve(static_cast<std::size_t>(ucs4.size()));
    for (uint c : ucs4)
        chars.push_back(static_cast<char32_t>(c));
    SecureWipe(ucs4.data(), static_cast<std::size_t>(ucs4.size()) * sizeof(uint));
    std::string stored = EncodeTypedText(chars);
    WipeChars(chars);
    return stored;
}

std::string PasswordBytes(const QString& typed) {
    QByteArray utf8 = typed.toUtf8();
    std::string bytes = PasswordBytesFromTyped(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    SecureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return bytes;
}

}  // namespace tessaline
