#include "cli/option_checks.h"

#include <charconv>

namespace tessaline::cli {

CLI::Validator NumberFrom(const std::string& option, int low, int high) {
    return CLI::Validator(
        [option, low, high](std::string& text) -> std::string {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
                return option + " takes a number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", not \"" + text + "\"";
            }
            return {};
        },
        "");
}

CLI::Validator NotEmpty(const std::string& message) {
    return CLI::Validator(
        [message](std::string& text) { return text.empty() ? message : std::string(); }, "");
}

CLI::Validator NamesAFile(const std::string& message) {
    return CLI::Validator(
        [message](std::string& text) {
            return text.empty() || text == "-" ? message : std::string();
        },
        "");
}

}  // namespace tessaline::cli
