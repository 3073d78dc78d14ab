#pragma once
// Clearing secrets so that the compiler cannot leave them behind.

#include <cstddef>
#include <string>

namespace tessaline {

void SecureWipe(void* data, std::size_t size);
void SecureWipe(std::string& text);  // clears the bytes, then empties the text

// Holds a secret text and wipes it when it goes out of scope.
class SecretText {
public:
    SecretText() = default;
    explicit SecretText(std::string text) : text_(std::move(text)) {}
    ~SecretText() { SecureWipe(text_); }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;
    std::string& Get() { return text_; }
    const std::string& Get() const { return text_; }

private:
    std::string text_;
};

}  // namespace tessaline
