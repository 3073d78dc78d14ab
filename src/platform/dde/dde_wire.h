#pragma once
// The messages two DDE partners exchange over their local socket: each one a 32-bit
// length followed by the fields below.

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace tessaline::dde::wire {

enum class Kind : std::uint8_t {
    Connect = 1,     // service, topic
    ConnectAck = 2,  // value: 1 accepted, 0 refused
    Request = 3,     // sequence, format, item
    Poke = 4,        // sequence, format, item, data
    Reply = 5,       // sequence, value (request: 1 with data; poke: status flags), format, data
};

struct Frame {
    Kind kind = Kind::Connect;
    std::uint32_t sequence = 0;
    std::uint32_t format = 0;
    std::uint32_t value = 0;
    QByteArray first;   // service (Connect)
    QByteArray second;  // topic (Connect) or item
    QByteArray data;
};

// Frames larger than this end the conversation.
inline constexpr std::uint32_t kMaxFrameSize = 16u * 1024u * 1024u;

QByteArray Encode(const Frame& frame);

// Takes one whole frame from the front of `buffer`. None while the frame is not all
// there; `broken` is set when the buffer cannot hold a valid frame.
std::optional<Frame> TakeFrame(QByteArray& buffer, bool& broken);

}  // namespace tessaline::dde::wire
