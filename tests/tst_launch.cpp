// Starting other programs: the launch itself, what cannot start, and which
// calculator the program finds.

#include "testsupport.h"

#include "runtime/program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

class tst_Launch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpCounter(); }

    void launchStartsProgramDetached();
    void launchReportsWhatCannotStart_data();
    void launchReportsWhatCannotStart();
#ifdef Q_OS_WIN
    void calculatorIsTheSystemCalculator();
#else
    void calculatorIsFirstFoundOnPath();
    void calculatorSearchSkipsRelativeFolders_data();
    void calculatorSearchSkipsRelativeFolders();
#endif
};

void tst_Launch::launchStartsProgramDetached()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("ran"));
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("/standin.exe");
#else
    const QString name = QStringLiteral("/standin");
#endif
    const QString program = QCoreApplication::applicationDirPath() + name;
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));

    QElapsedTimer timer;
    timer.start();
    QVERIFY(runtime::launch(program, {marker, QStringLiteral("2000")}));
    QVERIFY(runtime::launch(program, {marker, QStringLiteral("2000")}));
    // Not waited for: the stand-in stays two seconds, the launches return at once.
    QVERIFY(timer.elapsed() < 1500);
    const auto lines = [&marker] {
        QFile ran(marker);
        return ran.open(QIODevice::ReadOnly)
                   ? QString::fromLatin1(ran.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    };
    QTRY_COMPARE(lines().size(), 2);
#ifdef Q_OS_WIN
    // Each in a normal window with the focus (SW_SHOWNORMAL).
    QCOMPARE(lines(), QStringList(2, QStringLiteral("show 1")));
#endif
}

void tst_Launch::launchReportsWhatCannotStart_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("no such file") << QStringLiteral("missing") << QByteArray();
    QTest::newRow("not a program")
        << QStringLiteral("text") << QByteArray("just some text\x01\x02");
    QTest::newRow("no path at all") << QString() << QByteArray();
}

void tst_Launch::launchReportsWhatCannotStart()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);

    QTemporaryDir dir;
    QString path;
    if (!fileName.isEmpty()) {
        path = dir.filePath(fileName);
        if (!contents.isEmpty())
            QVERIFY(writeProgram(path, contents));
    }
    QVERIFY(!runtime::launch(path));
}

#ifdef Q_OS_WIN
void tst_Launch::calculatorIsTheSystemCalculator()
{
    // A calc.exe earlier on the PATH, or in the current folder, is not it.
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/standin.exe"),
                        dir.filePath(QStringLiteral("calc.exe"))));
    const QByteArray savedPath = qgetenv("PATH");
    const QString savedFolder = QDir::currentPath();
    qputenv("PATH", QDir::toNativeSeparators(dir.path()).toLocal8Bit() + ';' + savedPath);
    QDir::setCurrent(dir.path());
    const QString found = runtime::desktopCalculator();
    QDir::setCurrent(savedFolder);
    qputenv("PATH", savedPath);

    // Windows names its own folder in its own letter case.
    QCOMPARE(found.toLower(), QStringLiteral("c:\\windows\\system32\\calc.exe"));
}
#else
void tst_Launch::calculatorIsFirstFoundOnPath()
{
    QTemporaryDir first, second;
    QVERIFY(writeProgram(first.filePath(QStringLiteral("xcalc")), "#!/bin/sh\n"));
    QVERIFY(writeProgram(second.filePath(QStringLiteral("galculator")), "#!/bin/sh\n"));
    // A calculator name that is not executable does not count.
    QFile plain(first.filePath(QStringLiteral("gnome-calculator")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", (first.path() + u':' + second.path()).toLocal8Bit());
    const QString found = runtime::desktopCalculator();
    qputenv("PATH", QByteArray());
    const QString none = runtime::desktopCalculator();
    qputenv("PATH", savedPath);

    QCOMPARE(found, second.filePath(QStringLiteral("galculator")));
    QCOMPARE(none, QString());
}

void tst_Launch::calculatorSearchSkipsRelativeFolders_data()
{
    // "%abs" stands for a folder given by its absolute path.
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("found");

    QTest::newRow("current folder first") << QStringLiteral(".:%abs") << true;
    QTest::newRow("relative folder first") << QStringLiteral("bin:%abs") << true;
    QTest::newRow("relative entries only") << QStringLiteral(".:bin::") << false;
}

void tst_Launch::calculatorSearchSkipsRelativeFolders()
{
    QFETCH(QString, path);
    QFETCH(bool, found);

    // Calculators in the current folder and below it, and one further down
    // the candidate list in an absolute folder.
    QTemporaryDir here, absolute;
    QVERIFY(QDir(here.path()).mkdir(QStringLiteral("bin")));
    QVERIFY(writeProgram(here.filePath(QStringLiteral("gnome-calculator")), "#!/bin/sh\n"));
    QVERIFY(writeProgram(here.filePath(QStringLiteral("bin/gnome-calculator")), "#!/bin/sh\n"));
    QVERIFY(writeProgram(absolute.filePath(QStringLiteral("xcalc")), "#!/bin/sh\n"));

    const QByteArray savedPath = qgetenv("PATH");
    const QString savedFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(here.path()));
    qputenv("PATH", QString(path).replace(QStringLiteral("%abs"), absolute.path()).toLocal8Bit());
    const QString calculator = runtime::desktopCalculator();
    qputenv("PATH", savedPath);
    QDir::setCurrent(savedFolder);

    QCOMPARE(calculator, found ? absolute.filePath(QStringLiteral("xcalc")) : QString());
}
#endif

QTEST_MAIN(tst_Launch)
#include "tst_launch.moc"
