#pragma once
// CBOR through libcbor: a writer that gives every head its shortest form and only
// definite lengths (the core deterministic encoding), and a reader that walks encoded
// bytes one head at a time without building a tree, so that a large file costs no
// more memory than its cards. Map entries a reader does not know are carried as their
// encoded bytes and merged back into a map's sorted key order by MapWriter.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file/locked_memory.h"

namespace tessaline {

class CborWriter {
public:
    explicit CborWriter(LockedBytes& out) : out_(out) {}
    void Uint(std::uint64_t v);
    void Int(std::int64_t v);
    void Bool(bool v);
    void Text(std::string_view utf8);
    void Bytes(std::span<const std::uint8_t> bytes);
    void ArrayHead(std::size_t count);
    void MapHead(std::size_t count);
    // Bytes that are already encoded items.
    void Raw(std::string_view encoded);

private:
    void Append(const unsigned char* head, std::size_t size);
    LockedBytes& out_;
};

// One head read.
struct CborHead {
    enum class Kind {
        Uint,
        NegInt,  // the value is -1 - value
        Bytes,
        Text,
        Array,
        Map,
        Tag,
        Bool,
        Null,
        Undefined,
        Float,
        IndefBytes,
        IndefText,
        IndefArray,
        IndefMap,
        Break,
    };
    Kind kind = Kind::Null;
    std::uint64_t value = 0;             // an integer, a tag, or an array's or map's count
    const std::uint8_t* data = nullptr;  // a definite string's bytes
    std::size_t size = 0;
    bool flag = false;  // a Bool's value
};

class CborReader {
public:
    explicit CborReader(std::span<const std::uint8_t> data) : data_(data) {}
    // Reads the next head; false when the bytes end or are no CBOR.
    bool Next(CborHead& head);
    // Passes over one whole item (with everything inside it); false when it is not whole.
    bool SkipItem();
    // Passes over what follows a head just read (an array's items, a tag's item...).
    bool SkipRest(const CborHead& head) {
        return head.kind != CborHead::Kind::Break && SkipAfter(head, 1);
    }
    std::size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ == data_.size(); }
    std::string_view Slice(std::size_t from, std::size_t to) const {
        return {reinterpret_cast<const char*>(data_.data()) + from, to - from};
    }

private:
    bool SkipAfter(const CborHead& head, int depth);
    bool SkipItem(int depth);
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// Writes a map whose entries this version knows, given in ascending key order, together
// with entries kept from a file (unknown: whole encoded key and value pairs, one after
// the other), in the bytewise order of the encoded keys.
class MapWriter {
public:
    // knownCount: how many Key calls follow. False from Valid when unknown is not a
    // sequence of whole pairs.
    MapWriter(CborWriter& out, std::size_t knownCount, std::string_view unknown);
    bool Valid() const { return valid_; }
    // Writes the key (the value follows from the caller), after any kept entry whose key
    // sorts before it.
    void Key(std::uint64_t key);
    // Writes the kept entries that sort after the last key.
    void End();

private:
    struct Entry {
        std::string_view key;
        std::string_view whole;
    };
    CborWriter& out_;
    std::vector<Entry> unknown_;
    std::size_t next_ = 0;
    bool valid_ = true;
};

// The encoded pairs in unknown, in order: each pair's key bytes and whole bytes. False
// when unknown is not a sequence of whole pairs.
bool SplitMapEntries(std::string_view unknown, std::vector<std::string_view>* keys,
                     std::vector<std::string_view>* wholes);

}  // namespace tessaline
