#pragma once
// Little-endian integers in byte buffers, and a cursor that never reads past its data.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaline {

// Bytes is any vector of bytes, whatever its allocator.
template <typename Bytes>
void PutU16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
template <typename Bytes>
void PutU32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> data, std::size_t pos = 0)
        : data_(data), pos_(pos < data.size() ? pos : data.size()) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return data_.size() - pos_; }
    const std::uint8_t* Here() const { return data_.data() + pos_; }

    bool Skip(std::size_t n) {
        if (n > Remaining())
            return false;
        pos_ += n;
        return true;
    }
    bool ReadU8(std::uint8_t& v) {
        if (Remaining() < 1)
            return false;
        v = data_[pos_++];
        return true;
    }
    bool ReadU16(std::uint16_t& v) {
        if (Remaining() < 2)
            return false;
        v = GetU16(Here());
        pos_ += 2;
        return true;
    }
    bool ReadText(std::size_t n, std::string& out) {
        if (n > Remaining())
            return false;
        out.assign(reinterpret_cast<const char*>(Here()), n);
        pos_ += n;
        return true;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_;
};

}  // namespace tessaline
