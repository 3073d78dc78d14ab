#include "gui/views/qr_code.h"

#include <qrencode.h>

#include <memory>

#include "core/base/secure_wipe.h"

namespace tessaline {

namespace {

constexpr int kQuietZone = 4;

// Frees a code after clearing its modules, which spell out the secret.
struct QrCodeFree {
    void operator()(QRcode* code) const {
        if (code->data != nullptr)
            SecureWipe(code->data, static_cast<std::size_t>(code->width) *
                                       static_cast<std::size_t>(code->width));
        QRcode_free(code);
    }
};

}  // namespace

QrMatrix MakeQrMatrix(const QByteArray& bytes) {
    QrMatrix matrix;
    if (bytes.isEmpty())
        return matrix;
    const std::unique_ptr<QRcode, QrCodeFree> code(QRcode_encodeData(
        static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.constData()),
        0, QR_ECLEVEL_M));
    if (!code || code->width <= 0)
        return matrix;
    matrix.width = code->width;
    const std::size_t modules =
        static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    matrix.dark.resize(modules);
    // The lowest bit of each byte says dark; the others are libqrencode's bookkeeping.
    for (std::size_t i = 0; i < modules; ++i)
        matrix.dark[i] = (code->data[i] & 1) != 0;
    return matrix;
}

QImage QrImage(const QrMatrix& matrix, int scale) {
    if (matrix.width <= 0 || scale <= 0)
        return {};
    const int side = (matrix.width + 2 * kQuietZone) * scale;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < matrix.width; ++y)
        for (int x = 0; x < matrix.width; ++x)
            if (matrix.Dark(x, y))
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        image.setPixel((x + kQuietZone) * scale + dx, (y + kQuietZone) * scale + dy,
                                       1);
    return image;
}

}  // namespace tessaline
