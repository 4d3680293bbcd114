// Draws the program's picture at the sizes a desktop asks for, with the
// silver background transparent.
//
//   iconsizes <picture> <output-directory> <size>...
//
// writes <output-directory>/<size>x<size>/morvesta.png for every size (an
// icon theme), and
//
//   iconsizes <picture> <file>.ico <size>...
//
// writes one Windows icon holding every size: 32-bit bitmaps with their
// transparency mask, as every Windows tool reads them, and PNG from 256
// pixels up, where a bitmap would be needlessly large.
//
// The drawings are committed under app/icons; the morvesta_icons target
// draws them again (see CMakeLists.txt here), and tst_icons checks that
// they are what pizza.xpm draws.

#include "icondrawing.h"

#include "runtime/pictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QtEndian>

namespace {

void appendLE16(QByteArray &bytes, int value)
{
    const auto le = qToLittleEndian(quint16(value));
    bytes.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void appendLE32(QByteArray &bytes, quint32 value)
{
    const auto le = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char *>(&le), sizeof le);
}

// One icon image as an ICO file stores it: a bitmap header with twice the
// height (colour rows, then mask rows), the colour rows bottom-up in BGRA,
// then the 1-bit transparency mask, rows padded to 32 bits.
QByteArray bitmapEntry(const QImage &image)
{
    const int side = image.width();
    QByteArray bytes;
    appendLE32(bytes, 40);
    appendLE32(bytes, quint32(side));
    appendLE32(bytes, quint32(side * 2));
    appendLE16(bytes, 1);       // planes
    appendLE16(bytes, 32);      // bits per pixel
    for (int i = 0; i < 6; ++i) // no compression, sizes and palette unused
        appendLE32(bytes, 0);
    for (int y = side - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            const QRgb pixel = line[x];
            bytes.append(char(qBlue(pixel)));
            bytes.append(char(qGreen(pixel)));
            bytes.append(char(qRed(pixel)));
            bytes.append(char(qAlpha(pixel)));
        }
    }
    const int maskStride = ((side + 31) / 32) * 4;
    for (int y = side - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < side; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        bytes.append(row);
    }
    return bytes;
}

QByteArray pngEntry(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeIco(const QString &file, const QList<QImage> &images)
{
    QByteArray directory;
    QByteArray data;
    appendLE16(directory, 0); // reserved
    appendLE16(directory, 1); // an icon, not a cursor
    appendLE16(directory, int(images.size()));
    const quint32 dataStart = 6 + 16 * quint32(images.size());
    for (const QImage &image : images) {
        const int side = image.width();
        const QByteArray entry = side >= 256 ? pngEntry(image) : bitmapEntry(image);
        directory.append(char(side >= 256 ? 0 : side)); // 0 stands for 256
        directory.append(char(side >= 256 ? 0 : side));
        directory.append(char(0)); // no palette
        directory.append(char(0));
        appendLE16(directory, 1);
        appendLE16(directory, 32);
        appendLE32(directory, quint32(entry.size()));
        appendLE32(directory, dataStart + quint32(data.size()));
        data.append(entry);
    }
    QFile out(file);
    return out.open(QIODevice::WriteOnly) &&
           out.write(directory + data) == directory.size() + data.size() && out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        err << "usage: iconsizes <picture> <output-directory> <size>...\n";
        return 2;
    }
    const QImage picture = runtime::maskedImage(arguments.at(1));
    if (picture.isNull() || picture.width() != picture.height()) {
        err << "iconsizes: " << arguments.at(1) << " is not a square picture\n";
        return 1;
    }
    QList<int> sizes;
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        bool ok = false;
        const int size = arguments.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            err << "iconsizes: bad size " << arguments.at(i) << '\n';
            return 2;
        }
        sizes.append(size);
    }

    const QString target = arguments.at(2);
    if (target.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        QList<QImage> images;
        for (int size : std::as_const(sizes)) {
            if (size > 256) {
                err << "iconsizes: a Windows icon holds at most 256 pixels\n";
                return 2;
            }
            images.append(iconsizes::atSize(picture, size));
        }
        if (!writeIco(target, images)) {
            err << "iconsizes: cannot write " << target << '\n';
            return 1;
        }
        return 0;
    }

    const QDir output(target);
    for (int size : std::as_const(sizes)) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString file = output.filePath(folder + QStringLiteral("/morvesta.png"));
        if (!output.mkpath(folder) || !iconsizes::atSize(picture, size).save(file, "PNG")) {
            err << "iconsizes: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
