#include "gui/text/text_codec.h"

#include <QList>

#include "core/base/secure_wipe.h"
#include "core/cards/text_encoding.h"
#include "core/file/password_text.h"

namespace tessaline {

QString DisplayText(const std::string& bytes) {
    const std::u32string chars = DecodeStoredBytes(bytes);
    return QString::fromUcs4(chars.data(), static_cast<qsizetype>(chars.size()));
}

std::string StoredText(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    std::u32string chars;
    chars.reserve(static_cast<std::size_t>(ucs4.size()));
    for (uint c : ucs4)
        chars.push_back(static_cast<char32_t>(c));
    return EncodeTypedText(chars);
}

std::string PasswordBytes(const QString& typed) {
    QByteArray utf8 = typed.toUtf8();
    std::string bytes = PasswordBytesFromTyped(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    SecureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return bytes;
}

}  // namespace tessaline
