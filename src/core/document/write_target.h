#pragma once
// What a data file may be written as, judged from its name and from what is on disk now.
// A name ending in ".tse" says the file is encrypted: no program writes a plain data file
// under it. A file that exists but holds no cards (an empty file, or a plain header and
// nothing after it) is written as a new file would be: by its name's rule, and readable by
// its owner only.

#include <cstdint>
#include <span>
#include <string>

namespace tessaline {

// The file's name ends in ".tse", in any letter case.
bool HasEncryptedName(const std::string& path);
// Writing a plain data file to path would put it under an encrypted file's name.
bool PlainUnderEncryptedName(const std::string& path, bool encrypted);
// The name a plain file under an encrypted name is offered instead: "a.tse" -> "a.tsf".
std::string PlainNameFor(const std::string& path);

// The bytes are an empty file, or a plain data file of any format that holds no card and
// nothing else.
bool IsBlankDataFile(std::span<const std::uint8_t> data);
// The regular file at path is such a file. False when there is none or it cannot be read.
bool IsBlankDataFileAt(const std::string& path);

}  // namespace tessaline
