#pragma once

// The program's picture at the sizes a desktop asks for. The picture is a
// 32x32 drawing. A size that is a multiple of 32 is the drawing with every
// pixel repeated (nearest neighbour), so the lines stay sharp. Any other size
// is the exact area average of the drawing: it is first enlarged by the
// smallest whole factor that makes it a multiple of the size, then every
// square of pixels that covers one output pixel is averaged, with the colours
// weighted by their opacity.

#include <QImage>

namespace iconsizes {

// The square picture drawn size pixels wide, in ARGB32.
QImage atSize(const QImage &picture, int size);

} // namespace iconsizes
