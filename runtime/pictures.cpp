#include "pictures.h"

#include <QFile>
#include <QImage>

#include <vector>

namespace runtime {

namespace {

// An XPM file is C source whose quoted strings are the picture, row by row.
// Handing those strings to QImage reads the picture directly; going through
// QImageReader would first scan every image plug-in on the system.
QImage readXpm(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> rows;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype open = line.indexOf('"');
        const qsizetype close = line.lastIndexOf('"');
        if (open >= 0 && close > open)
            rows.append(line.mid(open + 1, close - open - 1));
    }
    // The header "width height colours chars-per-pixel" says how many rows
    // follow; QImage trusts it, so check it here.
    if (rows.isEmpty())
        return {};
    const QList<QByteArray> header = rows.first().simplified().split(' ');
    bool ok[4] = {};
    const int width = header.value(0).toInt(&ok[0]);
    const int height = header.value(1).toInt(&ok[1]);
    const int colours = header.value(2).toInt(&ok[2]);
    const int charsPerPixel = header.value(3).toInt(&ok[3]);
    if (header.size() < 4 || !(ok[0] && ok[1] && ok[2] && ok[3]) || width <= 0 || height <= 0 ||
        colours <= 0 || charsPerPixel <= 0 || rows.size() < 1 + qsizetype(colours) + height)
        return {};
    for (qsizetype row = 1 + colours; row < 1 + colours + height; ++row) {
        if (rows[row].size() < qsizetype(width) * charsPerPixel)
            return {};
    }
    std::vector<const char *> lines;
    lines.reserve(rows.size());
    for (const QByteArray &row : std::as_const(rows))
        lines.push_back(row.constData());
    return QImage(lines.data());
}

} // namespace

QPixmap maskedPixmap(const QString &path)
{
    return QPixmap::fromImage(maskedImage(path));
}

QImage maskedImage(const QString &path)
{
    QImage image = readXpm(path);
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
    return image;
}

QIcon maskedIcon(std::initializer_list<QString> paths)
{
    QIcon icon;
    for (const QString &path : paths)
        icon.addPixmap(maskedPixmap(path));
    return icon;
}

} // namespace runtime
