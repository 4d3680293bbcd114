// The two windows and a box as drawn, against their reference pictures in
// looks/ (MORVESTA_REWRITE_LOOKS=1 draws them again).

#include "testsupport.h"

#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>

namespace {

// The font file each font of the window's controls is drawn from, by the
// checksum of the whole file that its head table keeps, and where it is.
void noteFontFiles(QWidget *window, QMap<QString, QString> &files)
{
    const QList<QWidget *> controls = window->findChildren<QWidget *>() << window;
    for (const QWidget *control : controls) {
        const QRawFont raw = QRawFont::fromFont(control->font());
        const QString face = control->font().key().section(u',', 0, 0) + u' ' + raw.styleName();
        const QByteArray head = raw.fontTable("head");
        if (files.contains(face))
            continue;
        QString &file = files[face] = QStringLiteral("a file not under /usr/share/fonts");
        for (QDirIterator it(QStringLiteral("/usr/share/fonts"), QDirIterator::Subdirectories);
             !head.isEmpty() && it.hasNext();) {
            if (QRawFont(it.next(), 12).fontTable("head") == head) {
                file = it.filePath() + u' ' + QString::fromLatin1(head.mid(8, 4).toHex());
                break;
            }
        }
    }
}

} // namespace

class tst_Looks : public MainWindowTest
{
    Q_OBJECT

private slots:
    void windowsLookAsTheirReferences();
};

void tst_Looks::windowsLookAsTheirReferences()
{
    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("the references are drawn with Liberation and URW faces, not Windows' own");
    for (QLabel *clock : find(QStringLiteral("sbMorvesta"))->findChildren<QLabel *>().mid(1, 2))
        clock->setText(QStringLiteral("12:00")); // the clock stopped
    QMap<QString, QImage> drawn{{m_window->objectName(), m_window->grab().toImage()}};
    QMap<QString, QString> fontFiles;
    noteFontFiles(m_window.get(), fontFiles);
    QTimer poll; // an order line's box and the summary, once active
    connect(&poll, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isActiveWindow()) {
            drawn[modal->objectName()] = modal->grab().toImage();
            noteFontFiles(modal, fontFiles);
            modal->findChild<QPushButton *>()->click(); // OK, or Sair on the summary
        }
    });
    poll.start(5);
    m_messages.reset();
    for (const char *name : {"optTipoMeia", "optPagDin", "cmdPedido", "cmdTotal"})
        click(QString::fromLatin1(name));
    QCOMPARE(drawn.keys().join(u' '), QStringLiteral("frmMorvesta frmResumo msgBox"));
    // The references hold only where each face comes from the same file.
    QFile record(QFINDTESTDATA("looks") + QStringLiteral("/fonts.txt"));
    if (qEnvironmentVariableIsSet("MORVESTA_REWRITE_LOOKS") && record.open(QIODevice::WriteOnly))
        for (auto [face, file] : fontFiles.asKeyValueRange())
            record.write((face + u'\t' + file + u'\n').toUtf8());
    record.close();
    QVERIFY2(record.open(QIODevice::ReadOnly), "no tests/looks/fonts.txt");
    for (const QString &line :
         QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QString face = line.section(u'\t', 0, 0), file = line.section(u'\t', 1);
        const QString why = face + QStringLiteral(" is drawn from ") + fontFiles.value(face) +
                            QStringLiteral(", the references from ") + file;
        if (fontFiles.value(face).section(u' ', -1) == file.section(u' ', -1)) // the same bytes
            continue;
        if (qEnvironmentVariableIsSet("MORVESTA_LOOKS_REQUIRED"))
            QFAIL(qPrintable(why));
        QSKIP(qPrintable(why));
    }
    for (auto [name, image] : drawn.asKeyValueRange()) {
        const QString reference = QFINDTESTDATA(QStringLiteral("looks/%1.png").arg(name));
        QVERIFY(!qEnvironmentVariableIsSet("MORVESTA_REWRITE_LOOKS") || image.save(reference));
        const QImage expected = QImage(reference).convertToFormat(image.format());
        QImage difference = expected.copy(image.rect()); // black where the two agree
        std::transform(image.constBits(), image.constBits() + difference.sizeInBytes(),
                       difference.constBits(), difference.bits(), std::bit_xor<>());
        const QString shown = QDir::current().absoluteFilePath(name + QStringLiteral("-%1.png"));
        image.save(shown.arg(u"drawn")), difference.save(shown.arg(u"difference"));
        QVERIFY2(expected == image,
                 qPrintable(shown.arg(u"drawn") + u' ' + shown.arg(u"difference")));
    }
}

QTEST_MAIN(tst_Looks)
#include "tst_looks.moc"
