// The icons committed under app/icons are what tools/iconsizes draws from
// pizza.xpm (its target morvesta_icons draws them again).

#include "icondrawing.h"
#include "runtime/pictures.h"

#include <QDirIterator>
#include <QImageReader>
#include <QtTest>

class tst_Icons : public QObject
{
    Q_OBJECT

private slots:
    void committedIconsAreDrawnFromThePicture()
    {
        const QString icons = QFINDTESTDATA("../app/icons");
        const QImage picture = runtime::maskedImage(icons + QStringLiteral("/pizza.xpm"));
        int images = 0;
        for (QDirIterator it(icons, {QStringLiteral("*.png"), QStringLiteral("*.ico")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            QImageReader file(it.next());
            do {
                const QImage drawn = file.read().convertToFormat(QImage::Format_ARGB32);
                QVERIFY2(!drawn.isNull() && drawn == iconsizes::atSize(picture, drawn.width()),
                         qPrintable(it.filePath() + QStringLiteral(" at %1").arg(drawn.width())));
                ++images;
            } while (file.jumpToNextImage());
        }
        QCOMPARE(images, 8 + 6); // the icon theme's sizes and the Windows icon's
    }
};

QTEST_GUILESS_MAIN(tst_Icons)
#include "tst_icons.moc"
