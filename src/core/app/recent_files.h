#pragma once
// The recent-file list of the File menu: at most four paths, newest first, kept in the
// profile under "Recent File List" as "File1" to "File4".

#include <string>
#include <vector>

namespace tessaline {

class IProfile;

inline constexpr const char* kRecentFileSection = "Recent File List";

class RecentFileList {
public:
    explicit RecentFileList(std::size_t capacity = 4) : capacity_(capacity) {}

    void Load(const IProfile& profile);
    void Save(IProfile& profile) const;

    // Puts path at the top; an entry for the same path moves up instead of repeating.
    void Add(const std::string& path);
    // Drops entry i (from 0); anything out of range changes nothing.
    void Remove(std::size_t i);

    const std::vector<std::string>& Entries() const { return entries_; }
    std::size_t Size() const { return entries_.size(); }

private:
    std::size_t capacity_;
    std::vector<std::string> entries_;
};

// The menu text of entry i (from 0): "&1 path", the path's "&" doubled so it shows, long
// paths shortened in the middle to at most maxLength characters.
std::string RecentFileMenuText(std::size_t i, const std::string& path, std::size_t maxLength = 60);

}  // namespace tessaline
