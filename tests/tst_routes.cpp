// The routes to the four commands (buttons, toolbar, menu, access keys, Enter)
// and held keys, driven through the main window as the operator uses it.

#include "testsupport.h"

#include "keyplayer.h"
#include "processes.h"

#include "summary/frmresumo.h"

#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/toolbar.h"

#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

class tst_Routes : public MainWindowTest
{
    Q_OBJECT

private slots:
    void heldKeyActsOnce_data();
    void heldKeyActsOnce();
    void accessKeyNeverActsBehindABox_data();
    void accessKeyNeverActsBehindABox();

    void everyRouteReachesItsCommand_data();
    void everyRouteReachesItsCommand();
    void toolbarKeysAreExact_data();
    void toolbarKeysAreExact();
    void rightPressOpensMenuOnBareSurfaceOnly_data();
    void rightPressOpensMenuOnBareSurfaceOnly();
    void menuEntryChosenWithRightButton();

    void calculatorLaunchesEveryTime();
    void calculatorThatCannotStartKeepsTheOrder_data();
    void calculatorThatCannotStartKeepsTheOrder();

private:
    // Plays script (KeyPlayer) with the focus on the named control, real
    // boxes shown, and a calculator that opens no window. What ran, as
    // "P1 T0 C0 R0 B1 S0": clicks of Pedido, Total, Calculadora and Sair on
    // the main window, boxes and summaries the player had to answer.
    QString playKeys(const QString &focus, const QString &script);
};

QString tst_Routes::playKeys(const QString &focus, const QString &script)
{
    m_messages.reset();
    QTemporaryDir dir;
    if (!writeProgram(dir.filePath(QStringLiteral("galculator")), "#!/bin/sh\n"))
        return QStringLiteral("no calculator");
    qputenv("PATH", dir.path().toLocal8Bit());

    QList<std::shared_ptr<QSignalSpy>> runs;
    for (const char *name : {"cmdPedido", "cmdTotal", "cmdCalculadora", "cmdSair"})
        runs.append(std::make_shared<QSignalSpy>(find<QPushButton>(QString::fromLatin1(name)),
                                                 &QAbstractButton::clicked));
    click(QStringLiteral("optTipoInt"));
    find(focus)->setFocus();

    KeyPlayer player(m_window.get());
    player.play(script, [this] { m_window->tlbFerramentas_ButtonClick(QStringLiteral("Total")); });
    if (!QTest::qWaitFor([&] { return player.done; }, 60000))
        return QStringLiteral("still playing");
    if (!player.failure.isEmpty())
        return player.failure;
    return QStringLiteral("P%1 T%2 C%3 R%4 B%5 S%6")
        .arg(runs[0]->count())
        .arg(runs[1]->count())
        .arg(runs[2]->count())
        .arg(runs[3]->count())
        .arg(player.boxes)
        .arg(player.summaries);
}

void tst_Routes::heldKeyActsOnce_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("ran");

    const QString pedido = QStringLiteral("cmdPedido");
    const QString price = QStringLiteral("cmbValor1");
    const QString onePizza = QStringLiteral("P1 T0 C0 R0 B1 S0");
    QTest::newRow("Enter held on Pedido") << pedido << QStringLiteral("ret~ !") << onePizza;
    QTest::newRow("Enter held on Pedido, X11") << pedido << QStringLiteral("ret= !") << onePizza;
    QTest::newRow("Space held on Pedido, X11") << pedido << QStringLiteral("spc= !") << onePizza;
    QTest::newRow("Enter held, then pressed again, X11")
        << pedido << QStringLiteral("ret= ! ret !") << QStringLiteral("P2 T0 C0 R0 B2 S0");
    QTest::newRow("Tab held moves on at every repeat")
        << QStringLiteral("optPagDin") << QStringLiteral("tab~ ret !") << onePizza;
    QTest::newRow("Alt+C held") << price << QStringLiteral("a-c~ !")
                                << QStringLiteral("P0 T0 C1 R0 B0 S0");
    QTest::newRow("Alt+C held, X11")
        << price << QStringLiteral("a-c= !") << QStringLiteral("P0 T0 C1 R0 B0 S0");
    QTest::newRow("Alt+R held on the summary, X11")
        << price << QStringLiteral("tlb-total a-r= !") << QStringLiteral("P0 T0 C0 R0 B0 S0");
}

void tst_Routes::heldKeyActsOnce()
{
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(QString, ran);
#ifdef Q_OS_WIN
    if (keys.contains(QLatin1String("a-c")))
        QSKIP("the calculator is the system's own there, and opens a window");
#endif

    QCOMPARE(playKeys(focus, keys), ran);
    QCOMPARE(m_ends, 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void tst_Routes::accessKeyNeverActsBehindABox_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("ran");

    const QString oneBox = QStringLiteral("P1 T0 C0 R0 B1 S0");
    QTest::newRow("Alt+P, Alt+T") << QStringLiteral("a-p a-t !") << oneBox;
    QTest::newRow("Alt+P, Alt+R") << QStringLiteral("a-p a-r !") << oneBox;
    QTest::newRow("Alt+P, Alt+C") << QStringLiteral("a-p a-c !") << oneBox;
    QTest::newRow("Alt+T once the box is answered")
        << QStringLiteral("a-p ! a-t !") << QStringLiteral("P1 T1 C0 R0 B1 S1");
}

void tst_Routes::accessKeyNeverActsBehindABox()
{
    QFETCH(QString, keys);
    QFETCH(QString, ran);

    QCOMPARE(playKeys(QStringLiteral("cmbValor1"), keys), ran);
    QCOMPARE(m_ends, 0);
}

void tst_Routes::everyRouteReachesItsCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("route");

    for (const char *command : {"Calculadora", "Pedido", "Total", "Sair"}) {
        for (const char *route : {"button", "toolbar", "menu", "access key", "Enter"})
            QTest::addRow("%s by %s", command, route)
                << QString::fromLatin1(command) << QString::fromLatin1(route);
    }
}

void tst_Routes::everyRouteReachesItsCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, route);

    // What each command visibly does, with the calculator missing.
    qputenv("PATH", QByteArray("/nonexistent"));
    click(QStringLiteral("optTipoInt"));

    const QHash<QString, QString> buttons = {
        {QStringLiteral("Calculadora"), QStringLiteral("cmdCalculadora")},
        {QStringLiteral("Pedido"), QStringLiteral("cmdPedido")},
        {QStringLiteral("Total"), QStringLiteral("cmdTotal")},
        {QStringLiteral("Sair"), QStringLiteral("cmdSair")}};
    const QHash<QString, QString> entries = {
        {QStringLiteral("Calculadora"), QStringLiteral("mnuCalc")},
        {QStringLiteral("Pedido"), QStringLiteral("mnuPedido")},
        {QStringLiteral("Total"), QStringLiteral("mnuTotal")},
        {QStringLiteral("Sair"), QStringLiteral("mnuSair")}};
    const QHash<QString, Qt::Key> letters = {{QStringLiteral("Calculadora"), Qt::Key_C},
                                             {QStringLiteral("Pedido"), Qt::Key_P},
                                             {QStringLiteral("Total"), Qt::Key_T},
                                             {QStringLiteral("Sair"), Qt::Key_R}};
    auto *button = find<QPushButton>(buttons[command]);

    const auto go = [&] {
        if (route == QLatin1String("button")) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (route == QLatin1String("toolbar")) {
            auto *toolbar = find<runtime::ToolBar>(QStringLiteral("tlbFerramentas"));
            QTest::mouseClick(toolbar->widgetForAction(toolbar->button(command)), Qt::LeftButton);
        } else if (route == QLatin1String("menu")) {
            QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(5, 200));
            auto *menu = find<QMenu>(QStringLiteral("mnuPop"));
            QTRY_VERIFY(menu->isVisible());
            auto *entry = m_window->findChild<QAction *>(entries[command]);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        } else if (route == QLatin1String("access key")) {
            find(QStringLiteral("cmbValor1"))->setFocus();
            QTest::keyClick(QApplication::focusWidget(), letters[command], Qt::AltModifier);
        } else {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        }
    };

#ifdef Q_OS_WIN
    const QList<DWORD> calculators = processesNamed(L"calc.exe");
#endif
    if (command == QLatin1String("Total")) {
        const Shown shown = checkOut(go);
        QVERIFY(shown.visible);
        QCOMPARE(shown.total, QStringLiteral("0"));
    } else {
        go();
        if (command == QLatin1String("Calculadora")) {
#ifdef Q_OS_WIN
            // Windows always has its calculator: one more of it runs.
            QList<DWORD> started;
            QTRY_COMPARE((started = startedSince(calculators, L"calc.exe")).size(), 1);
            endProcesses(started);
#else
            QTRY_COMPARE(m_messages->messages,
                         QStringList{QStringLiteral("Não foi possível abrir a calculadora.")});
#endif
        } else if (command == QLatin1String("Pedido"))
            QTRY_COMPARE(m_messages->messages, QStringList{QStringLiteral("Pedido Cadastrado")});
        else
            QTRY_COMPARE(m_ends, 1);
    }
    // Each route runs its command once and nothing else.
    QTest::qWait(150);
    QVERIFY(m_messages->messages.size() <= 1);
    QCOMPARE(m_ends, command == QLatin1String("Sair") ? 1 : 0);
    if (command != QLatin1String("Pedido"))
        QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Routes::toolbarKeysAreExact_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("lower case") << QStringLiteral("pedido");
    QTest::newRow("upper case") << QStringLiteral("SAIR");
    QTest::newRow("mixed case") << QStringLiteral("CalCuladora");
    QTest::newRow("trailing space") << QStringLiteral("Total ");
    QTest::newRow("empty key") << QString();
    QTest::newRow("separator key") << QStringLiteral("nada");
}

void tst_Routes::toolbarKeysAreExact()
{
    QFETCH(QString, key);
    qputenv("PATH", QByteArray("/nonexistent"));
    click(QStringLiteral("optTipoInt"));

    m_window->tlbFerramentas_ButtonClick(key);

    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_ends, 0);
    QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Routes::rightPressOpensMenuOnBareSurfaceOnly_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opens");

    QTest::newRow("right on the bare surface") << QString() << int(Qt::RightButton) << true;
    QTest::newRow("left on the bare surface") << QString() << int(Qt::LeftButton) << false;
    QTest::newRow("middle on the bare surface") << QString() << int(Qt::MiddleButton) << false;
    for (const char *name :
         {"Label1", "Label2", "Label3", "Frame1", "Frame4", "Image1", "cmdPedido", "optTipoInt",
          "cmbValor0", "mskCard", "cmbSabor0", "cmbCard", "tlbFerramentas", "sbMorvesta"})
        QTest::addRow("right on %s", name)
            << QString::fromLatin1(name) << int(Qt::RightButton) << false;
}

void tst_Routes::rightPressOpensMenuOnBareSurfaceOnly()
{
    QFETCH(QString, target);
    QFETCH(int, button);
    QFETCH(bool, opens);

    QWidget *widget = target.isEmpty() ? m_window.get() : find(target);
    QPoint at = target.isEmpty() ? QPoint(5, 200) : QPoint(3, 3);
    if (target == QLatin1String("Frame1"))
        at = QPoint(find(target)->width() - 3, find(target)->height() - 3);
    QVERIFY(target.isEmpty() || m_window->childAt(widget->mapTo(m_window.get(), at)) != nullptr);
    QTest::mousePress(widget, Qt::MouseButton(button), {}, at);
    // The menu is built when first needed; one that was never built is shut.
    const auto shown = [this] {
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("mnuPop"));
        return menu && menu->isVisible();
    };
    if (opens) {
        QTRY_VERIFY(shown());
        // At the pointer.
        QCOMPARE(m_window->mnuPop()->pos(), m_window->mapToGlobal(at));
    } else {
        QTest::qWait(50);
        QVERIFY(!shown());
    }
    m_window->mnuPop()->hide();
    QTest::mouseRelease(widget, Qt::MouseButton(button), {}, at);
}

void tst_Routes::menuEntryChosenWithRightButton()
{
    click(QStringLiteral("optTipoMeia"));
    QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(5, 200));
    auto *menu = find<QMenu>(QStringLiteral("mnuPop"));
    QTRY_VERIFY(menu->isVisible());
    auto *entry = m_window->findChild<QAction *>(QStringLiteral("mnuPedido"));
    QTest::mouseClick(menu, Qt::RightButton, {}, menu->actionGeometry(entry).center());
    QTRY_COMPARE(m_messages->messages, QStringList{QStringLiteral("Pedido Cadastrado")});
    QVERIFY(!menu->isVisible());
}

void tst_Routes::calculatorLaunchesEveryTime()
{
#ifdef Q_OS_WIN
    // The system calculator itself, once per click, each left running.
    const QList<DWORD> before = processesNamed(L"calc.exe");
    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdCalculadora"));
    m_window->tlbFerramentas_ButtonClick(QStringLiteral("Calculadora"));

    QList<DWORD> started;
    QTRY_COMPARE((started = startedSince(before, L"calc.exe")).size(), 2);
    endProcesses(started);
    QVERIFY(m_messages->messages.isEmpty());
#else
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("launched"));
    QVERIFY(writeProgram(dir.filePath(QStringLiteral("galculator")),
                         "#!/bin/sh\necho run >> \"" + marker.toLocal8Bit() + "\"\nsleep 1\n"));
    qputenv("PATH", dir.path().toLocal8Bit());

    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdCalculadora"));
    m_window->tlbFerramentas_ButtonClick(QStringLiteral("Calculadora"));

    const auto launches = [&marker] {
        QFile file(marker);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    };
    QTRY_COMPARE(launches(), 2);
    QVERIFY(m_messages->messages.isEmpty());
#endif
    // The main window stays usable while the calculator runs.
    click(QStringLiteral("cmdPedido"));
    QCOMPARE(m_messages->messages, QStringList{QStringLiteral("Pedido Cadastrado")});
}

void tst_Routes::calculatorThatCannotStartKeepsTheOrder_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("no calculator installed") << false;
    QTest::newRow("calculator is not a program") << true;
}

void tst_Routes::calculatorThatCannotStartKeepsTheOrder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows always has its calculator in its system folder; a program that cannot start "
          "is tried by launchReportsWhatCannotStart");
#endif
    QFETCH(bool, present);

    QTemporaryDir dir;
    if (present)
        QVERIFY(writeProgram(dir.filePath(QStringLiteral("gnome-calculator")), "\x7f"
                                                                               "ELF not really\n"));
    qputenv("PATH", dir.path().toLocal8Bit());

    click(QStringLiteral("optTipoMeia"));
    click(QStringLiteral("cmdPedido"));
    click(QStringLiteral("optPagCard"));
    typeCardNumber(QStringLiteral("9999"));
    m_messages->messages.clear();

    click(QStringLiteral("cmdCalculadora"));

    QCOMPARE(m_messages->messages,
             QStringList{QStringLiteral("Não foi possível abrir a calculadora.")});
    QCOMPARE(m_ends, 0);
    // Everything as it was: the order line, the composition, the payment.
    QVERIFY(m_window->loadedResumo());
    QCOMPARE(m_window->loadedResumo()->ui().lstItem->count(), 1);
    QVERIFY(find<runtime::OptionButton>(QStringLiteral("optTipoMeia"))->value());
    QVERIFY(find<runtime::OptionButton>(QStringLiteral("optPagCard"))->value());
    QCOMPARE(find<runtime::MaskEdit>(QStringLiteral("mskCard"))->typedChars(),
             QStringLiteral("9999"));
}

QTEST_MAIN(tst_Routes)
#include "tst_routes.moc"
