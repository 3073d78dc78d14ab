#pragma once
// Files beside a data file that look like what an interrupted save leaves: the one the
// program must remove, and look-alikes it must leave alone (another user's file, a link,
// a folder, other names).

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tessaline::testing {

struct SaveLeftovers {
    std::vector<std::filesystem::path> ours;    // to be removed
    std::vector<std::filesystem::path> others;  // to stay
};

// Makes them beside target. The file of another user is made only when the test runs as
// root (it is then owned by user 65534).
inline SaveLeftovers MakeSaveLeftovers(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const fs::path dir = target.parent_path();
    const std::string stem = "." + target.filename().string() + ".tessaline-";
    auto file = [](const fs::path& p) {
        std::ofstream(p, std::ios::binary) << "0\tcards in clear\t\t\tsecret\t\r\n";
        ::chmod(p.c_str(), 0600);
        return p;
    };
    SaveLeftovers made;
    made.ours = {file(dir / (stem + "a1B2c3")), file(dir / (stem + "ZZZZZZ"))};
    made.others = {file(dir / (stem + "abc")),                 // too short
                   file(dir / (stem + "abc-12")),              // not the letters used
                   file(dir / (stem + "abcdefg")),             // too long
                   file(dir / ".other.tsf.tessaline-abcdef"),  // another file's
                   file(dir / (target.filename().string() + ".tessaline-abcdef")),  // no dot
                   file(dir / "linked-to.txt")};
    fs::create_symlink(dir / "linked-to.txt", dir / (stem + "link01"));
    made.others.push_back(dir / (stem + "link01"));
    fs::create_directory(dir / (stem + "fold01"));
    made.others.push_back(dir / (stem + "fold01"));
    if (::geteuid() == 0) {
        const fs::path theirs = file(dir / (stem + "nobody"));
        if (::chown(theirs.c_str(), 65534, 65534) == 0)
            made.others.push_back(theirs);
    }
    return made;
}

}  // namespace tessaline::testing
