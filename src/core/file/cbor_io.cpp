#include "core/file/cbor_io.h"

#include <cbor.h>

#include <algorithm>

namespace tessaline {

namespace {

// Deeper nesting than any file of ours has is refused rather than followed.
constexpr int kMaxDepth = 32;

CborHead& HeadOf(void* context) {
    return *static_cast<CborHead*>(context);
}

void SetUint(void* c, std::uint64_t v) {
    HeadOf(c).kind = CborHead::Kind::Uint;
    HeadOf(c).value = v;
}
void SetNeg(void* c, std::uint64_t v) {
    HeadOf(c).kind = CborHead::Kind::NegInt;
    HeadOf(c).value = v;
}

struct Callbacks {
    cbor_callbacks table = cbor_empty_callbacks;
    Callbacks() {
        table.uint8 = [](void* c, std::uint8_t v) { SetUint(c, v); };
        table.uint16 = [](void* c, std::uint16_t v) { SetUint(c, v); };
        table.uint32 = [](void* c, std::uint32_t v) { SetUint(c, v); };
        table.uint64 = [](void* c, std::uint64_t v) { SetUint(c, v); };
        table.negint8 = [](void* c, std::uint8_t v) { SetNeg(c, v); };
        table.negint16 = [](void* c, std::uint16_t v) { SetNeg(c, v); };
        table.negint32 = [](void* c, std::uint32_t v) { SetNeg(c, v); };
        table.negint64 = [](void* c, std::uint64_t v) { SetNeg(c, v); };
        table.byte_string = [](void* c, cbor_data data, std::size_t size) {
            HeadOf(c).kind = CborHead::Kind::Bytes;
            HeadOf(c).data = data;
            HeadOf(c).size = size;
        };
        table.string = [](void* c, cbor_data data, std::size_t size) {
            HeadOf(c).kind = CborHead::Kind::Text;
            HeadOf(c).data = data;
            HeadOf(c).size = size;
        };
        table.byte_string_start = [](void* c) { HeadOf(c).kind = CborHead::Kind::IndefBytes; };
        table.string_start = [](void* c) { HeadOf(c).kind = CborHead::Kind::IndefText; };
        table.array_start = [](void* c, std::size_t n) {
            HeadOf(c).kind = CborHead::Kind::Array;
            HeadOf(c).value = n;
        };
        table.map_start = [](void* c, std::size_t n) {
            HeadOf(c).kind = CborHead::Kind::Map;
            HeadOf(c).value = n;
        };
        table.indef_array_start = [](void* c) { HeadOf(c).kind = CborHead::Kind::IndefArray; };
        table.indef_map_start = [](void* c) { HeadOf(c).kind = CborHead::Kind::IndefMap; };
        table.tag = [](void* c, std::uint64_t v) {
            HeadOf(c).kind = CborHead::Kind::Tag;
            HeadOf(c).value = v;
        };
        table.float2 = [](void* c, float) { HeadOf(c).kind = CborHead::Kind::Float; };
        table.float4 = [](void* c, float) { HeadOf(c).kind = CborHead::Kind::Float; };
        table.float8 = [](void* c, double) { HeadOf(c).kind = CborHead::Kind::Float; };
        table.null = [](void* c) { HeadOf(c).kind = CborHead::Kind::Null; };
        table.undefined = [](void* c) { HeadOf(c).kind = CborHead::Kind::Undefined; };
        table.boolean = [](void* c, bool v) {
            HeadOf(c).kind = CborHead::Kind::Bool;
            HeadOf(c).flag = v;
        };
        table.indef_break = [](void* c) { HeadOf(c).kind = CborHead::Kind::Break; };
    }
};

const cbor_callbacks& TheCallbacks() {
    static const Callbacks callbacks;
    return callbacks.table;
}

}  // namespace

void CborWriter::Append(const unsigned char* head, std::size_t size) {
    out_.insert(out_.end(), head, head + size);
}

void CborWriter::Uint(std::uint64_t v) {
    unsigned char head[9];
    Append(head, cbor_encode_uint(v, head, sizeof head));
}

void CborWriter::Int(std::int64_t v) {
    unsigned char head[9];
    if (v >= 0) {
        Append(head, cbor_encode_uint(static_cast<std::uint64_t>(v), head, sizeof head));
    } else {
        // -1 - v, computed without overflowing at the smallest value.
        const std::uint64_t n = static_cast<std::uint64_t>(-(v + 1));
        Append(head, cbor_encode_negint(n, head, sizeof head));
    }
}

void CborWriter::Bool(bool v) {
    unsigned char head[1];
    Append(head, cbor_encode_bool(v, head, sizeof head));
}

void CborWriter::Text(std::string_view utf8) {
    unsigned char head[9];
    Append(head, cbor_encode_string_start(utf8.size(), head, sizeof head));
    Raw(utf8);
}

void CborWriter::Bytes(std::span<const std::uint8_t> bytes) {
    unsigned char head[9];
    Append(head, cbor_encode_bytestring_start(bytes.size(), head, sizeof head));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void CborWriter::ArrayHead(std::size_t count) {
    unsigned char head[9];
    Append(head, cbor_encode_array_start(count, head, sizeof head));
}

void CborWriter::MapHead(std::size_t count) {
    unsigned char head[9];
    Append(head, cbor_encode_map_start(count, head, sizeof head));
}

void CborWriter::Raw(std::string_view encoded) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(encoded.data());
    out_.insert(out_.end(), p, p + encoded.size());
}

bool CborReader::Next(CborHead& head) {
    if (pos_ >= data_.size())
        return false;
    head = CborHead{};
    // Anything the callbacks do not name (a simple value) passes as Undefined.
    head.kind = CborHead::Kind::Undefined;
    const cbor_decoder_result result =
        cbor_stream_decode(data_.data() + pos_, data_.size() - pos_, &TheCallbacks(), &head);
    if (result.status != CBOR_DECODER_FINISHED || result.read == 0 ||
        result.read > data_.size() - pos_) {
        return false;
    }
    pos_ += result.read;
    return true;
}

bool CborReader::SkipItem() {
    return SkipItem(0);
}

bool CborReader::SkipItem(int depth) {
    CborHead head;
    return Next(head) && head.kind != CborHead::Kind::Break && SkipAfter(head, depth);
}

bool CborReader::SkipAfter(const CborHead& head, int depth) {
    if (depth > kMaxDepth)
        return false;
    using K = CborHead::Kind;
    switch (head.kind) {
        case K::Array:
        case K::Map: {
            // Each item takes at least one byte: a count larger than the rest is cut off.
            const std::uint64_t items = head.kind == K::Map ? head.value * 2 : head.value;
            if (head.value > data_.size() - pos_ || items > data_.size() - pos_)
                return false;
            for (std::uint64_t i = 0; i < items; ++i) {
                if (!SkipItem(depth + 1))
                    return false;
            }
            return true;
        }
        case K::Tag:
            return SkipItem(depth + 1);
        case K::IndefBytes:
        case K::IndefText:
        case K::IndefArray:
        case K::IndefMap: {
            std::uint64_t items = 0;
            for (;;) {
                CborHead inner;
                if (!Next(inner))
                    return false;
                if (inner.kind == K::Break)
                    return head.kind != K::IndefMap || items % 2 == 0;
                ++items;
                // A string's chunks are definite strings of its own kind.
                if (head.kind == K::IndefBytes && inner.kind != K::Bytes)
                    return false;
                if (head.kind == K::IndefText && inner.kind != K::Text)
                    return false;
                if (!SkipAfter(inner, depth + 1))
                    return false;
            }
        }
        case K::Break:
            return false;
        default:
            return true;
    }
}

bool SplitMapEntries(std::string_view unknown, std::vector<std::string_view>* keys,
                     std::vector<std::string_view>* wholes) {
    CborReader in(std::span(reinterpret_cast<const std::uint8_t*>(unknown.data()), unknown.size()));
    while (!in.AtEnd()) {
        const std::size_t start = in.Position();
        if (!in.SkipItem())
            return false;
        const std::size_t keyEnd = in.Position();
        if (!in.SkipItem())
            return false;
        if (keys)
            keys->push_back(in.Slice(start, keyEnd));
        if (wholes)
            wholes->push_back(in.Slice(start, in.Position()));
    }
    return true;
}

MapWriter::MapWriter(CborWriter& out, std::size_t knownCount, std::string_view unknown)
    : out_(out) {
    std::vector<std::string_view> keys;
    std::vector<std::string_view> wholes;
    valid_ = SplitMapEntries(unknown, &keys, &wholes);
    if (valid_) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            unknown_.push_back({keys[i], wholes[i]});
        // Bytewise order of the encoded keys; a key that is a prefix of another first.
        std::stable_sort(unknown_.begin(), unknown_.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    }
    out_.MapHead(knownCount + unknown_.size());
}

void MapWriter::Key(std::uint64_t key) {
    unsigned char head[9];
    const std::size_t size = cbor_encode_uint(key, head, sizeof head);
    const std::string_view encoded(reinterpret_cast<const char*>(head), size);
    while (next_ < unknown_.size() && unknown_[next_].key < encoded)
        out_.Raw(unknown_[next_++].whole);
    out_.Uint(key);
}

void MapWriter::End() {
    while (next_ < unknown_.size())
        out_.Raw(unknown_[next_++].whole);
}

}  // namespace tessaline
