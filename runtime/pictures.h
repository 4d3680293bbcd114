#pragma once

// The program's pictures are 16-colour drawings whose silver (#C0C0C0)
// background is drawn transparent.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace runtime {

inline constexpr QRgb kMaskColour = 0xFFC0C0C0;

// The XPM picture at path (a resource) with its mask colour transparent.
QPixmap maskedPixmap(const QString &path);
// The same as an image, for use without a screen (tools/iconsizes).
QImage maskedImage(const QString &path);

// An icon from one or more sizes of the same picture.
QIcon maskedIcon(std::initializer_list<QString> paths);

} // namespace runtime
