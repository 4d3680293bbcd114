#include "pictures.h"

#include <QImage>

namespace runtime {

QPixmap maskedPixmap(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == kMaskColour)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(std::move(image));
}

QIcon maskedIcon(std::initializer_list<QString> paths)
{
    QIcon icon;
    for (const QString &path : paths)
        icon.addPixmap(maskedPixmap(path));
    return icon;
}

} // namespace runtime
