#pragma once
// Memory for secrets that must not reach the swap file or a core dump: the derived key,
// the password's bytes and an opened sealed file's cards. It comes from libsodium's
// guarded allocator (locked where the system allows it, fenced by inaccessible pages)
// and is wiped when it is given back.

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

namespace tessaline {

// nullptr when the memory cannot be had.
void* LockedAllocate(std::size_t size);
// Wipes and returns memory from LockedAllocate; nullptr is ignored.
void LockedRelease(void* memory);

template <typename T>
struct LockedAllocator {
    using value_type = T;

    LockedAllocator() noexcept = default;
    template <typename U>
    LockedAllocator(const LockedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* memory = LockedAllocate(n * sizeof(T));
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) noexcept { LockedRelease(memory); }

    template <typename U>
    bool operator==(const LockedAllocator<U>&) const noexcept {
        return true;
    }
};

// Bytes in locked memory. Reserve the whole size first: a vector that grows leaves its
// old buffer behind only through LockedRelease, which wipes it, but one allocation is
// cheaper.
using LockedBytes = std::vector<std::uint8_t, LockedAllocator<std::uint8_t>>;

// A text in locked memory, such as the file password. Converts to std::string_view.
class LockedText {
public:
    LockedText() = default;
    explicit LockedText(std::string_view text) { Assign(text); }
    LockedText(const LockedText& other) { Assign(other.View()); }
    LockedText(LockedText&& other) noexcept { bytes_.swap(other.bytes_); }
    LockedText& operator=(const LockedText& other) {
        if (this != &other)
            Assign(other.View());
        return *this;
    }
    LockedText& operator=(LockedText&& other) noexcept {
        bytes_.swap(other.bytes_);
        other.clear();
        return *this;
    }
    LockedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    bool empty() const { return bytes_.empty(); }
    std::size_t size() const { return bytes_.size(); }
    const char* data() const { return reinterpret_cast<const char*>(bytes_.data()); }
    std::string_view View() const { return {data(), size()}; }
    operator std::string_view() const { return View(); }
    // Wipes the text and gives its memory back.
    void clear() { LockedBytes().swap(bytes_); }

    friend bool operator==(const LockedText& a, const LockedText& b) {
        return a.View() == b.View();
    }
    friend bool operator==(const LockedText& a, std::string_view b) { return a.View() == b; }

private:
    void Assign(std::string_view text) {
        LockedBytes fresh;
        fresh.reserve(text.size());
        fresh.assign(text.begin(), text.end());
        bytes_.swap(fresh);
    }

    LockedBytes bytes_;
};

inline void SecureWipe(LockedText& text) {
    text.clear();
}

}  // namespace tessaline
