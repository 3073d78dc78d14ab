#include "core/document/write_target.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "core/base/message_texts.h"
#include "core/document/document_model.h"
#include "core/file/data_file.h"
#include "core/file/safe_file.h"

namespace tessaline {

namespace {

// No file without cards is larger: the old formats' 21-byte preamble and 20-byte check.
constexpr std::uint64_t kLargestBlankFile = 64;

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool HasEncryptedName(const std::string& path) {
    return EqualsIgnoringCase(ExtensionOf(path), msg::kEncryptedExtension);
}

bool PlainUnderEncryptedName(const std::string& path, bool encrypted) {
    return !encrypted && HasEncryptedName(path);
}

std::string PlainNameFor(const std::string& path) {
    return WithExtension(path, msg::kPlainExtension);
}

bool IsBlankDataFile(std::span<const std::uint8_t> data) {
    if (data.empty())
        return true;
    if (data.size() > kLargestBlankFile || InspectHeader(data).encrypted)
        return false;
    // No password is asked: an encrypted file is never blank.
    const ReadResult read = ReadDataFile(data, ReadRequest{});
    return read.ok && !read.ReadInPart() && !read.state.encryptOnSave &&
           read.cards->TotalStoredSize() == 0;
}

bool IsBlankDataFileAt(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kLargestBlankFile) {
        return false;
    }
    FileError error;
    const std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    return data && IsBlankDataFile(*data);
}

}  // namespace tessaline
