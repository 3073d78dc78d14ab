#pragma once
// A QR code of a text, drawn by libqrencode, for moving a one-time-code secret to a phone.

#include <QByteArray>
#include <QImage>
#include <vector>

namespace tessaline {

// The modules of a QR code, row by row; width 0 when the text does not fit in one.
struct QrMatrix {
    int width = 0;
    std::vector<bool> dark;  // width * width modules

    bool Dark(int x, int y) const { return dark[static_cast<std::size_t>(y * width + x)]; }
};

// The QR code of the bytes (8-bit mode, error correction level M).
QrMatrix MakeQrMatrix(const QByteArray& bytes);

// The matrix as a black-on-white picture, each module scale pixels, with the four-module
// quiet zone around it that readers need; a null image for an empty matrix.
QImage QrImage(const QrMatrix& matrix, int scale);

}  // namespace tessaline
