// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

namespace vrako {

// Larger pictures than this on either side are refused before any memory is taken for them.
inline constexpr int kMaxJpegSide = 8192;

// Decodes a JPEG with libjpeg. Damaged, truncated or oversized data gives a null image; nothing
// is printed and the program goes on.
QImage decodeJpeg(const QByteArray& data);

// Encodes an image as a baseline JPEG of the given quality (1 to 100); an empty array when the
// image is null.
QByteArray encodeJpeg(const QImage& image, int quality = 85);

} // namespace vrako
