#include "fonts.h"

#include <QStringList>

namespace runtime {

namespace {

void installSubstitutions()
{
    // Liberation and URW are metric clones of the Windows faces, so captions
    // measured for the design fit here as well.
    struct Substitution
    {
        const char *face;
        std::initializer_list<const char *> lookAlikes;
    };
    const Substitution substitutions[] = {
        {"MS Sans Serif", {"Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
        {"Bookman Old Style", {"URW Bookman", "TeX Gyre Bonum", "DejaVu Serif"}},
        {"Courier", {"Liberation Mono", "Nimbus Mono PS", "Courier New", "DejaVu Sans Mono"}},
        {"Arial Black", {"Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
    };
    for (const Substitution &substitution : substitutions) {
        QStringList lookAlikes;
        for (const char *family : substitution.lookAlikes)
            lookAlikes.append(QString::fromLatin1(family));
        QFont::insertSubstitutions(QString::fromLatin1(substitution.face), lookAlikes);
    }
}

} // namespace

QFont designFont(const QString &face, qreal points, int weight, bool italic)
{
    static const bool substituted = (installSubstitutions(), true);
    Q_UNUSED(substituted);

    QFont font(face);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    if (face.contains(QLatin1String("Courier")))
        font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace runtime
