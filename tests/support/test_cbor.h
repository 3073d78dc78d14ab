#pragma once
// A small CBOR decoder and encoder used only by the tests, written apart from the
// program's own reading and writing so that the two check each other. The decoder also
// says whether the bytes follow the core deterministic encoding: shortest heads,
// definite lengths only, map keys in the bytewise order of their encodings, no key twice.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tessaline::testing::cbor {

struct Item {
    enum class Type { Uint, Neg, Bytes, Text, Array, Map, Bool, Null, Other };
    Type type = Type::Null;
    std::uint64_t number = 0;                    // Uint: the value; Neg: -1 - value
    std::string bytes;                           // Bytes and Text
    std::vector<Item> items;                     // Array
    std::vector<std::pair<Item, Item>> entries;  // Map, in the order read
    bool flag = false;

    static Item U(std::uint64_t v) {
        Item i;
        i.type = Type::Uint;
        i.number = v;
        return i;
    }
    static Item T(std::string s) {
        Item i;
        i.type = Type::Text;
        i.bytes = std::move(s);
        return i;
    }
    static Item A(std::vector<Item> v) {
        Item i;
        i.type = Type::Array;
        i.items = std::move(v);
        return i;
    }

    // The value of an unsigned key in a map, or null.
    const Item* At(std::uint64_t key) const {
        for (const auto& [k, v] : entries)
            if (k.type == Type::Uint && k.number == key)
                return &v;
        return nullptr;
    }
    std::vector<std::uint64_t> UintKeys() const {
        std::vector<std::uint64_t> keys;
        for (const auto& e : entries)
            if (e.first.type == Type::Uint)
                keys.push_back(e.first.number);
        return keys;
    }
    std::int64_t Int() const {
        return type == Type::Neg ? -1 - static_cast<std::int64_t>(number)
                                 : static_cast<std::int64_t>(number);
    }
};

inline void EncodeHead(std::string& out, int major, std::uint64_t v) {
    const auto m = static_cast<char>(major << 5);
    if (v < 24) {
        out += static_cast<char>(m | static_cast<char>(v));
        return;
    }
    int bytes = v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFFFF ? 4 : 8;
    out += static_cast<char>(m | static_cast<char>(bytes == 1   ? 24
                                                   : bytes == 2 ? 25
                                                   : bytes == 4 ? 26
                                                                : 27));
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Encode(const Item& item) {
    std::string out;
    switch (item.type) {
        case Item::Type::Uint:
            EncodeHead(out, 0, item.number);
            break;
        case Item::Type::Neg:
            EncodeHead(out, 1, item.number);
            break;
        case Item::Type::Bytes:
            EncodeHead(out, 2, item.bytes.size());
            out += item.bytes;
            break;
        case Item::Type::Text:
            EncodeHead(out, 3, item.bytes.size());
            out += item.bytes;
            break;
        case Item::Type::Array:
            EncodeHead(out, 4, item.items.size());
            for (const Item& i : item.items)
                out += Encode(i);
            break;
        case Item::Type::Map:
            EncodeHead(out, 5, item.entries.size());
            for (const auto& [k, v] : item.entries) {
                out += Encode(k);
                out += Encode(v);
            }
            break;
        case Item::Type::Bool:
            out += static_cast<char>(item.flag ? 0xF5 : 0xF4);
            break;
        case Item::Type::Null:
            out += static_cast<char>(0xF6);
            break;
        case Item::Type::Other:
            out += static_cast<char>(0xF7);
            break;
    }
    return out;
}

class Decoder {
public:
    explicit Decoder(std::span<const std::uint8_t> data) : data_(data) {}
    // The whole data as one item; nothing when it is not exactly one well-formed item.
    std::optional<Item> DecodeAll() {
        Item item;
        if (!Decode(item, 0) || pos_ != data_.size())
            return std::nullopt;
        return item;
    }
    bool Deterministic() const { return deterministic_; }

private:
    bool Head(int& major, std::uint64_t& v, bool& indefinite) {
        if (pos_ >= data_.size())
            return false;
        const std::uint8_t b = data_[pos_++];
        major = b >> 5;
        const int info = b & 31;
        indefinite = false;
        if (info < 24) {
            v = static_cast<std::uint64_t>(info);
            return true;
        }
        if (info == 31) {
            indefinite = true;
            deterministic_ = false;
            return true;
        }
        if (info > 27)
            return false;
        const int n = 1 << (info - 24);
        if (data_.size() - pos_ < static_cast<std::size_t>(n))
            return false;
        v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | data_[pos_++];
        // Shortest form: the value needed this many bytes.
        const std::uint64_t smallest = n == 1   ? 24
                                       : n == 2 ? 0x100
                                       : n == 4 ? 0x10000
                                                : 0x100000000ull;
        if (major != 7 && v < smallest)
            deterministic_ = false;
        return true;
    }
    bool Decode(Item& item, int depth) {
        if (depth > 40)
            return false;
        int major = 0;
        std::uint64_t v = 0;
        bool indefinite = false;
        if (!Head(major, v, indefinite) || indefinite)
            return false;
        switch (major) {
            case 0:
                item.type = Item::Type::Uint;
                item.number = v;
                return true;
            case 1:
                item.type = Item::Type::Neg;
                item.number = v;
                return true;
            case 2:
            case 3:
                item.type = major == 2 ? Item::Type::Bytes : Item::Type::Text;
                if (v > data_.size() - pos_)
                    return false;
                item.bytes.assign(reinterpret_cast<const char*>(data_.data() + pos_), v);
                pos_ += v;
                return true;
            case 4:
                item.type = Item::Type::Array;
                if (v > data_.size() - pos_)
                    return false;
                item.items.resize(v);
                for (Item& i : item.items)
                    if (!Decode(i, depth + 1))
                        return false;
                return true;
            case 5: {
                item.type = Item::Type::Map;
                if (v > data_.size() - pos_)
                    return false;
                std::string previousKey;
                for (std::uint64_t i = 0; i < v; ++i) {
                    const std::size_t keyStart = pos_;
                    Item key, value;
                    if (!Decode(key, depth + 1))
                        return false;
                    const std::string keyBytes(
                        reinterpret_cast<const char*>(data_.data() + keyStart), pos_ - keyStart);
                    if (i > 0 && !(previousKey < keyBytes))
                        deterministic_ = false;
                    previousKey = keyBytes;
                    if (!Decode(value, depth + 1))
                        return false;
                    item.entries.emplace_back(std::move(key), std::move(value));
                }
                return true;
            }
            case 7:
                if (v == 20 || v == 21) {
                    item.type = Item::Type::Bool;
                    item.flag = v == 21;
                    return true;
                }
                if (v == 22) {
                    item.type = Item::Type::Null;
                    return true;
                }
                item.type = Item::Type::Other;
                return true;
            default:
                return false;  // tags do not occur in our files
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool deterministic_ = true;
};

}  // namespace tessaline::testing::cbor
