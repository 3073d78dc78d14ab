#pragma once
// The one place where card bytes become screen text and typed text becomes card bytes.

#include <QString>
#include <string>

namespace tessaline {

// Card bytes as the user sees them.
QString DisplayText(const std::string& bytes);
// Typed text as the bytes kept in the card.
std::string StoredText(const QString& text);
// A typed password as the bytes that key a data file (the same rule as tessaline-cli's).
std::string PasswordBytes(const QString& typed);

}  // namespace tessaline
