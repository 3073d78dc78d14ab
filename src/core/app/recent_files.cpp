#include "core/app/recent_files.h"

#include <algorithm>

#include "core/platform/profile.h"

namespace tessaline {

namespace {
std::string ValueName(std::size_t i) {
    return "File" + std::to_string(i + 1);
}
}  // namespace

void RecentFileList::Load(const IProfile& profile) {
    entries_.clear();
    for (std::size_t i = 0; i < capacity_; ++i) {
        std::string path = profile.GetText(kRecentFileSection, ValueName(i), "");
        if (!path.empty() && std::find(entries_.begin(), entries_.end(), path) == entries_.end())
            entries_.push_back(std::move(path));
    }
}

void RecentFileList::Save(IProfile& profile) const {
    for (std::size_t i = 0; i < capacity_; ++i)
        profile.WriteText(kRecentFileSection, ValueName(i), i < entries_.size() ? entries_[i] : "");
}

void RecentFileList::Add(const std::string& path) {
    if (path.empty() || capacity_ == 0)
        return;
    auto it = std::find(entries_.begin(), entries_.end(), path);
    if (it != entries_.end())
        entries_.erase(it);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > capacity_)
        entries_.resize(capacity_);
}

void RecentFileList::Remove(std::size_t i) {
    if (i < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string RecentFileMenuText(std::size_t i, const std::string& path, std::size_t maxLength) {
    std::string shown = path;
    const std::string ellipsis = "...";
    if (maxLength > ellipsis.size() + 2 && shown.size() > maxLength) {
        // Keep the file name whole where possible: cut from the middle of the folders.
        const std::size_t keep = maxLength - ellipsis.size();
        const std::size_t tail = std::min(keep - keep / 3, shown.size());
        std::size_t head = keep - tail;
        std::size_t tailStart = shown.size() - tail;
        // Never cut through a UTF-8 sequence.
        auto continuation = [&](std::size_t k) {
            return (static_cast<unsigned char>(shown[k]) & 0xC0) == 0x80;
        };
        while (head > 0 && continuation(head))
            --head;
        while (tailStart < shown.size() && continuation(tailStart))
            ++tailStart;
        shown = shown.substr(0, head) + ellipsis + shown.substr(tailStart);
    }
    std::string escaped;
    for (char c : shown) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    return "&" + std::to_string(i + 1) + " " + escaped;
}

}  // namespace tessaline
