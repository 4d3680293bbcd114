// Build-time tool: writes the program's picture as PNG files at the sizes a
// desktop icon theme asks for, with the silver background transparent.
//
//   iconsizes <picture> <output-directory> <size>...
//
// writes <output-directory>/<size>x<size>/morvesta.png for every size.
//
// The picture is a 32x32 drawing. A size that is a multiple of 32 is the
// drawing with every pixel repeated (nearest neighbour), so the lines stay
// sharp. Any other size is the exact area average of the drawing: it is first
// enlarged by the smallest whole factor that makes it a multiple of the size,
// then every square of pixels that covers one output pixel is averaged, with
// the colours weighted by their opacity.

#include "runtime/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <cstdio>
#include <numeric>

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

QImage atSize(const QImage &picture, int size)
{
    const int side = picture.width();
    const int factor = size / std::gcd(side, size); // side * factor is a multiple of size
    return reduced(enlarged(picture, factor), side * factor / size)
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    // Nothing is shown: the pictures need a GUI application, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 4) {
        err << "usage: iconsizes <picture> <output-directory> <size>...\n";
        return 2;
    }
    const QImage picture =
        runtime::maskedPixmap(arguments.at(1)).toImage().convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull() || picture.width() != picture.height()) {
        err << "iconsizes: " << arguments.at(1) << " is not a square picture\n";
        return 1;
    }
    const QDir output(arguments.at(2));
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        bool ok = false;
        const int size = arguments.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            err << "iconsizes: bad size " << arguments.at(i) << '\n';
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString file = output.filePath(folder + QStringLiteral("/morvesta.png"));
        if (!output.mkpath(folder) || !atSize(picture, size).save(file, "PNG")) {
            err << "iconsizes: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
