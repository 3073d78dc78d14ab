#include "platform/dde/dde_wire.h"

#include <QDataStream>
#include <QIODevice>

namespace tessaline::dde::wire {

QByteArray Encode(const Frame& frame) {
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << static_cast<quint8>(frame.kind) << frame.sequence << frame.format << frame.value
            << frame.first << frame.second << frame.data;
    }
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << static_cast<quint32>(body.size());
    message.append(body);
    return message;
}

std::optional<Frame> TakeFrame(QByteArray& buffer, bool& broken) {
    broken = false;
    if (buffer.size() < 4)
        return std::nullopt;
    quint32 size = 0;
    {
        QDataStream in(buffer.left(4));
        in >> size;
    }
    if (size > kMaxFrameSize) {
        broken = true;
        return std::nullopt;
    }
    if (static_cast<quint64>(buffer.size()) < 4u + size)
        return std::nullopt;
    const QByteArray body = buffer.mid(4, static_cast<qsizetype>(size));
    buffer.remove(0, static_cast<qsizetype>(4 + size));

    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_0);
    quint8 kind = 0;
    Frame frame;
    in >> kind >> frame.sequence >> frame.format >> frame.value >> frame.first >> frame.second >>
        frame.data;
    if (in.status() != QDataStream::Ok || kind < 1 || kind > 5) {
        broken = true;
        return std::nullopt;
    }
    frame.kind = static_cast<Kind>(kind);
    return frame;
}

}  // namespace tessaline::dde::wire
