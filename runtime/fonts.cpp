#include "fonts.h"

#include <QFontDatabase>
#include <QHash>

namespace runtime {

namespace {

// Where a design face is missing: first its Windows successor (Microsoft
// Sans Serif is the outline cut of MS Sans Serif), then Liberation and URW,
// metric clones of the Windows faces, so captions measured for the design fit
// as well. URW Bookman comes in an OpenType cut (foundry "UKWN" to
// fontconfig) and a Type 1 cut; the OpenType one goes first, since FreeType
// reads a Type 1 font whole into memory. Windows without Office has no
// Bookman: TeX Gyre Bonum, where installed, or Georgia, the nearest of its own
// serif faces. Windows never gets URW Bookman: GDI takes its Demi cut for the
// regular weight and its Light cut for bold, the reverse of the design.
struct LookAlikes
{
    const char *face;
    std::initializer_list<const char *> families;
};

constexpr LookAlikes kLookAlikes[] = {
    {"MS Sans Serif",
     {"Microsoft Sans Serif", "Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
#ifdef Q_OS_WIN
    {"Bookman Old Style", {"TeX Gyre Bonum", "Georgia", "DejaVu Serif"}},
#else
    {"Bookman Old Style", {"URW Bookman [UKWN]", "URW Bookman", "TeX Gyre Bonum", "DejaVu Serif"}},
#endif
    {"Courier", {"Courier New", "Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono"}},
    {"Arial Black", {"Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans"}},
};

// Whether a family is installed, by the font list Qt builds once anyway.
// QFontDatabase::hasFamily() would first run the name through fontconfig's
// substitution rules, about a million instructions a name. The list names a
// family made by more than one foundry as "Family [Foundry]", so a plain name
// also matches its foundry-qualified entries.
bool isInstalled(const QString &family)
{
    static const QStringList installed = QFontDatabase::families();
    const QString qualified = family + QLatin1String(" [");
    for (const QString &entry : installed) {
        if (entry.compare(family, Qt::CaseInsensitive) == 0 ||
            (!family.endsWith(u']') && entry.startsWith(qualified, Qt::CaseInsensitive)))
            return true;
    }
    return false;
}

// The family to ask for: the face itself where it is installed, else its
// first installed look-alike. Asking Qt for a missing family directly would
// have it sort every installed font to find a stand-in, for each font.
QString installedFamily(const QString &face)
{
    static QHash<QString, QString> resolved;
    if (const auto found = resolved.constFind(face); found != resolved.cend())
        return *found;
    QString family = face;
    if (!isInstalled(face)) {
        for (const LookAlikes &entry : kLookAlikes) {
            if (face != QLatin1String(entry.face))
                continue;
            for (const char *candidate : entry.families) {
                if (isInstalled(QString::fromLatin1(candidate))) {
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
#ifdef Q_OS_WIN
    // Drawn by DirectWrite rather than GDI: GDI's full hinting has been seen
    // to lose whole glyphs of a look-alike face at the window's size (the "I"
    // of Liberation Sans at 11 pixels, under Wine).
    font.setHintingPreference(QFont::PreferVerticalHinting);
#endif
    return font;
}

} // namespace runtime
