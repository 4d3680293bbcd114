#include "icondrawing.h"

#include <numeric>

namespace iconsizes {

namespace {

// Every pixel repeated factor times in both directions.
QImage enlarged(const QImage &image, int factor)
{
    QImage target(image.size() * factor, QImage::Format_ARGB32);
    for (int y = 0; y < target.height(); ++y) {
        const auto *sourceLine = reinterpret_cast<const QRgb *>(image.constScanLine(y / factor));
        auto *line = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (int x = 0; x < target.width(); ++x)
            line[x] = sourceLine[x / factor];
    }
    return target;
}

// The average of every factor x factor square, on premultiplied colours.
QImage reduced(const QImage &image, int factor)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (factor == 1)
        return source;
    QImage target(source.width() / factor, source.height() / factor,
                  QImage::Format_ARGB32_Premultiplied);
    const int area = factor * factor;
    for (int y = 0; y < target.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            int red = 0, green = 0, blue = 0, alpha = 0;
            for (int sy = y * factor; sy < (y + 1) * factor; ++sy) {
                const auto *sourceLine = reinterpret_cast<const QRgb *>(source.constScanLine(sy));
                for (int sx = x * factor; sx < (x + 1) * factor; ++sx) {
                    const QRgb pixel = sourceLine[sx];
                    red += qRed(pixel);
                    green += qGreen(pixel);
                    blue += qBlue(pixel);
                    alpha += qAlpha(pixel);
                }
            }
            const auto mean = [area](int sum) { return (sum + area / 2) / area; };
            line[x] = qRgba(mean(red), mean(green), mean(blue), mean(alpha));
        }
    }
    return target;
}

} // namespace

QImage atSize(const QImage &picture, int size)
{
    const int side = picture.width();
    const int factor = size / std::gcd(side, size); // side * factor is a multiple of size
    return reduced(enlarged(picture, factor), side * factor / size)
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace iconsizes
