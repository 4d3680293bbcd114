#include "fonts.h"

#include <QFontDatabase>
#include <QHash>

namespace runtime {

namespace {

// Liberation and URW are metric clones of the Windows faces, so captions
// measured for the design fit here as well. URW Bookman comes in an OpenType
// cut (foundry "UKWN" to fontconfig) and a Type 1 cut; the OpenType one goes
// first, since FreeType reads a Type 1 font whole into memory.
struct LookAlikes
{
    const char *face;
    std::initializer_list<const char *> families;
};

constexpr LookAlikes kLookAlikes[] = {
    {"MS Sans Serif", {"Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
    {"Bookman Old Style", {"URW Bookman [UKWN]", "URW Bookman", "TeX Gyre Bonum", "DejaVu Serif"}},
    {"Courier", {"Liberation Mono", "Nimbus Mono PS", "Courier New", "DejaVu Sans Mono"}},
    {"Arial Black", {"Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
};

// The family to ask for: the face itself where it is installed, else its
// first installed look-alike. Asking Qt for a missing family directly would
// have it sort every installed font to find a stand-in, for each font.
QString installedFamily(const QString &face)
{
    static QHash<QString, QString> resolved;
    if (const auto found = resolved.constFind(face); found != resolved.cend())
        return *found;
    QString family = face;
    if (!QFontDatabase::hasFamily(face)) {
        for (const LookAlikes &entry : kLookAlikes) {
            if (face != QLatin1String(entry.face))
                continue;
            for (const char *candidate : entry.families) {
                if (QFontDatabase::hasFamily(QString::fromLatin1(candidate))) {
                    family = QString::fromLatin1(candidate);
                    break;
                }
            }
        }
    }
    resolved.insert(face, family);
    return family;
}

} // namespace

QFont designFont(const QString &face, qreal points, int weight, bool italic)
{
    QFont font(installedFamily(face));
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    if (face.contains(QLatin1String("Courier")))
        font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace runtime
