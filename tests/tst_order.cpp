// Composing a pizza and registering it as an order line, driven as the
// operator drives them.

#include "testsupport.h"

#include "app/frmmorvesta.h"
#include "summary/frmresumo.h"

#include "runtime/listcombo.h"
#include "runtime/optionbutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/qtestspontaneevent.h>

using runtime::ListCombo;

class tst_Order : public MainWindowTest
{
    Q_OBJECT

private slots:
    void pizzaTypeSetsEverySlot_data();
    void pizzaTypeSetsEverySlot();
    void pickingAFlavourMovesItsPrice();
    void priceListsStayEditable();
    void wheelFollowsOnlyAFocusedDropDownList_data();
    void wheelFollowsOnlyAFocusedDropDownList();

    void registrationWritesOneOrderLine_data();
    void registrationWritesOneOrderLine();
    void registrationWithoutTypeDoesNothing();
    void invalidPriceRegistersNothing_data();
    void invalidPriceRegistersNothing();
    void blankPriceIsRefusedInAUsedSlot_data();
    void blankPriceIsRefusedInAUsedSlot();
    void registrationKeepsTheComposition();
    void firstRegistrationLoadsSummaryHidden();

private:
    ListCombo *sabor(int slot) const
    {
        return find<ListCombo>(QStringLiteral("cmbSabor%1").arg(slot));
    }
    ListCombo *valor(int slot) const
    {
        return find<ListCombo>(QStringLiteral("cmbValor%1").arg(slot));
    }
    void pickFlavour(int slot, int position) const;
};

void tst_Order::pickFlavour(int slot, int position) const
{
    // As the operator does it: focus the list and walk to the entry.
    ListCombo *list = sabor(slot);
    QVERIFY(list->isEnabled());
    list->setFocus();
    for (int step = 0; step < 5 && list->listIndex() != position; ++step)
        QTest::keyClick(list, list->listIndex() < position ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(list->listIndex(), position);
}

void tst_Order::pizzaTypeSetsEverySlot_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("flavours");
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<QStringList>("prices");

    const QString none;
    const QString p500 = QStringLiteral("     5.00");
    const QString p590 = QStringLiteral("     5.90");
    const QString p900 = QStringLiteral("     9.00");
    const QList<int> whole{0, -1, -1}, half{0, 1, -1}, thirds{0, 1, 2};
    const QList<bool> one{true, false, false}, two{true, true, false}, three{true, true, true};

    QTest::newRow("whole") << QString() << QStringLiteral("optTipoInt") << whole << one
                           << QStringList{p500, none, none};
    QTest::newRow("half-and-half") << QString() << QStringLiteral("optTipoMeia") << half << two
                                   << QStringList{p500, p590, none};
    QTest::newRow("thirds") << QString() << QStringLiteral("optTipoTerco") << thirds << three
                            << QStringList{p500, p590, p900};
    QTest::newRow("whole after thirds")
        << QStringLiteral("optTipoTerco") << QStringLiteral("optTipoInt") << whole << one
        << QStringList{p500, none, none};
    QTest::newRow("half after thirds")
        << QStringLiteral("optTipoTerco") << QStringLiteral("optTipoMeia") << half << two
        << QStringList{p500, p590, none};
    QTest::newRow("thirds after whole")
        << QStringLiteral("optTipoInt") << QStringLiteral("optTipoTerco") << thirds << three
        << QStringList{p500, p590, p900};
    QTest::newRow("same type again resets picks")
        << QStringLiteral("optTipoTerco") << QStringLiteral("optTipoTerco") << thirds << three
        << QStringList{p500, p590, p900};
}

void tst_Order::pizzaTypeSetsEverySlot()
{
    QFETCH(QString, before);
    QFETCH(QString, type);
    QFETCH(QList<int>, flavours);
    QFETCH(QList<bool>, enabled);
    QFETCH(QStringList, prices);

    if (!before.isEmpty()) {
        click(before);
        // The operator's own picks and a typed price, all to be replaced.
        pickFlavour(0, 3);
        typePrice(0, QStringLiteral("12"));
        if (sabor(2)->isEnabled())
            pickFlavour(2, 4);
    }
    click(type);

    QVERIFY(control<runtime::OptionButton>(m_window.get(), type)->value());
    for (int slot = 0; slot < 3; ++slot) {
        QCOMPARE(sabor(slot)->listIndex(), flavours[slot]);
        QCOMPARE(sabor(slot)->isEnabled(), enabled[slot]);
        QCOMPARE(valor(slot)->listIndex(), flavours[slot]);
        QCOMPARE(valor(slot)->text(), prices[slot]);
        QVERIFY(valor(slot)->isEnabled());
    }
}

void tst_Order::pickingAFlavourMovesItsPrice()
{
    click(QStringLiteral("optTipoMeia"));
    pickFlavour(1, 4);
    QCOMPARE(sabor(1)->text(), QStringLiteral("A Moda da Casa"));
    QCOMPARE(valor(1)->text(), QStringLiteral("    10.00"));
    pickFlavour(1, 1);
    QCOMPARE(valor(1)->text(), QStringLiteral("     5.90"));
    // The other slots are left alone.
    QCOMPARE(valor(0)->text(), QStringLiteral("     5.00"));
    QCOMPARE(valor(2)->text(), QString());
}

void tst_Order::priceListsStayEditable()
{
    click(QStringLiteral("optTipoInt"));
    typePrice(0, QStringLiteral("7,25"));
    QCOMPARE(valor(0)->text(), QStringLiteral("7,25"));
    QTest::keyClick(valor(0), Qt::Key_Down);
    QCOMPARE(valor(0)->text(), QStringLiteral("     5.90"));
    QCOMPARE(valor(0)->count(), 5);
    // Picking the flavour again puts the price back in step.
    pickFlavour(0, 2);
    pickFlavour(0, 0);
    QCOMPARE(valor(0)->text(), QStringLiteral("     5.00"));
}

void tst_Order::wheelFollowsOnlyAFocusedDropDownList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("follows");

    // A whole Mussarela, card payment: slot 2 is unused, its price list empty.
    QTest::newRow("price list of the unused slot") << QStringLiteral("cmbValor2") << false << false;
    QTest::newRow("price list of the used slot") << QStringLiteral("cmbValor0") << false << false;
    QTest::newRow("focused price list") << QStringLiteral("cmbValor0") << true << false;
    QTest::newRow("flavour list") << QStringLiteral("cmbSabor0") << false << false;
    QTest::newRow("focused flavour list") << QStringLiteral("cmbSabor0") << true << true;
    QTest::newRow("brand list") << QStringLiteral("cmbCard") << false << false;
    QTest::newRow("focused brand list") << QStringLiteral("cmbCard") << true << true;
}

void tst_Order::wheelFollowsOnlyAFocusedDropDownList()
{
    QFETCH(QString, list);
    QFETCH(bool, focused);
    QFETCH(bool, follows);

    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("optPagCard"));
    auto *combo = control<ListCombo>(m_window.get(), list);
    if (focused)
        combo->setFocus();
    else
        control<QWidget>(m_window.get(), QStringLiteral("cmdPedido"))->setFocus();
    QWidget *focus = QApplication::focusWidget();
    const int index = combo->listIndex();
    const QString text = combo->text();
    const QString price = valor(0)->text();

    // Three notches down with the pointer resting on the list, delivered as
    // the window system does: to the control under the pointer, then up to
    // its parents while no one takes it.
    int reachedParent = 0;
    struct WheelCounter : QObject
    {
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            *count += event->type() == QEvent::Wheel;
            return false;
        }
    } counter;
    counter.count = &reachedParent;
    combo->parentWidget()->installEventFilter(&counter);
    const QPoint centre = combo->mapTo(m_window.get(), combo->rect().center());
    QWidget *under = m_window->childAt(centre);
    QVERIFY(under == combo || combo->isAncestorOf(under));
    for (int notch = 0; notch < 3; ++notch) {
        const QPointF at = under->mapFrom(m_window.get(), centre);
        QWheelEvent wheel(at, under->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(under, &wheel);
    }

    QCOMPARE(QApplication::focusWidget(), focus);
    if (follows) {
        QCOMPARE(combo->listIndex(), index + 3);
        QCOMPARE(reachedParent, 0);
    } else {
        QCOMPARE(combo->listIndex(), index);
        QCOMPARE(combo->text(), text);
        QCOMPARE(reachedParent, 3);
    }
    // Only a flavour the operator picked moves the price.
    QCOMPARE(valor(0)->text() == price, !(follows && list == QLatin1String("cmbSabor0")));
    click(QStringLiteral("cmdPedido"));
    QCOMPARE(entries(m_window->loadedResumo()->ui().lstValor),
             QStringList{follows && list == QLatin1String("cmbSabor0")
                             ? QStringLiteral("   6,50")
                             : QStringLiteral("   5,00")});
}

void tst_Order::registrationWritesOneOrderLine_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("picks");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");

    const QStringList untouched{QString(), QString(), QString()};
    for (const bool comma : {true, false}) {
        const auto v = [comma](const char *text) {
            QString value = QString::fromLatin1(text);
            return comma ? value : value.replace(u',', u'.');
        };
        const char *sep = comma ? "comma" : "point";
        QTest::addRow("%s: whole Calabresa", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{1, -2, -2} << untouched
            << QStringLiteral("1 - Calabresa") << v("   5,90");
        QTest::addRow("%s: half Mussarela and A Moda da Casa", sep)
            << comma << QStringLiteral("optTipoMeia") << QList<int>{0, 4, -2} << untouched
            << QStringLiteral("1/2 - Mussarela - A Moda da Casa") << v("  10,00");
        QTest::addRow("%s: thirds as preselected", sep)
            << comma << QStringLiteral("optTipoTerco") << QList<int>{-2, -2, -2} << untouched
            << QStringLiteral("1/3 - Mussarela - Calabresa - Portuguesa") << v("   9,00");
        QTest::addRow("%s: thirds, dearest in the middle", sep)
            << comma << QStringLiteral("optTipoTerco") << QList<int>{3, 4, 0} << untouched
            << QStringLiteral("1/3 - Atum - A Moda da Casa - Mussarela") << v("  10,00");
        QTest::addRow("%s: two slots at the same top price", sep)
            << comma << QStringLiteral("optTipoTerco") << QList<int>{2, 2, 1} << untouched
            << QStringLiteral("1/3 - Portuguesa - Portuguesa - Calabresa") << v("   9,00");
        QTest::addRow("%s: typed comma price", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("7,50"), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("   7,50");
        QTest::addRow("%s: typed point price", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("7.50"), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("   7,50");
        QTest::addRow("%s: typed price in an unused slot counts", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QString(), QString(), QStringLiteral("12")}
            << QStringLiteral("1 - Mussarela") << v("  12,00");
        QTest::addRow("%s: spaces around a typed price", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("  8,4 "), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("   8,40");
        QTest::addRow("%s: typed zero in the only slot is a deliberate zero", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("0"), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("   0,00");
        QTest::addRow("%s: dearest price is never cut", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("99999,99"), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("99999,99");
        QTest::addRow("%s: ten thousand", sep)
            << comma << QStringLiteral("optTipoInt") << QList<int>{-2, -2, -2}
            << QStringList{QStringLiteral("10000"), QString(), QString()}
            << QStringLiteral("1 - Mussarela") << v("10000,00");
    }
}

void tst_Order::registrationWritesOneOrderLine()
{
    QFETCH(bool, comma);
    QFETCH(QString, type);
    QFETCH(QList<int>, picks);
    QFETCH(QStringList, typed);
    QFETCH(QString, item);
    QFETCH(QString, value);

    comma ? useBrazilianPortuguese() : usePointLocale();
    click(type);
    for (int slot = 0; slot < 3; ++slot) {
        if (picks[slot] >= 0)
            pickFlavour(slot, picks[slot]);
        if (!typed[slot].isEmpty())
            typePrice(slot, typed[slot]);
    }
    click(QStringLiteral("cmdPedido"));

    frmResumo *resumo = m_window->loadedResumo();
    QVERIFY(resumo);
    QCOMPARE(entries(resumo->ui().lstItem), QStringList{item});
    QCOMPARE(entries(resumo->ui().lstValor), QStringList{value});
    QCOMPARE(m_messages->messages, QStringList{QStringLiteral("Pedido Cadastrado")});
}

void tst_Order::registrationWithoutTypeDoesNothing()
{
    click(QStringLiteral("cmdPedido"));
    QCOMPARE(m_window->loadedResumo(), nullptr);
    QVERIFY(m_messages->messages.isEmpty());

    // Also after an order was closed, with lines of a new one registered.
    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdPedido"));
    withSummary([](frmResumo &) {});
    click(QStringLiteral("optTipoMeia"));
    click(QStringLiteral("cmdPedido"));
    m_messages->messages.clear();
    m_window->ui().optTipoMeia->setValue(false);
    click(QStringLiteral("cmdPedido"));
    QCOMPARE(entries(m_window->loadedResumo()->ui().lstItem),
             QStringList{QStringLiteral("1/2 - Mussarela - Calabresa")});
    QVERIFY(m_messages->messages.isEmpty());
}

void tst_Order::invalidPriceRegistersNothing_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("letters") << 0 << QStringLiteral("abc")
                             << QStringLiteral("Preço inválido: \"abc\"");
    QTest::newRow("trailing letters")
        << 0 << QStringLiteral("12abc") << QStringLiteral("Preço inválido: \"12abc\"");
    QTest::newRow("negative") << 0 << QStringLiteral("-5")
                              << QStringLiteral("Preço inválido: \"-5\"");
    QTest::newRow("exponent") << 1 << QStringLiteral("1e3")
                              << QStringLiteral("Preço inválido: \"1e3\"");
    QTest::newRow("above the dearest price")
        << 0 << QStringLiteral("100000") << QStringLiteral("Preço inválido: \"100000\"");
    QTest::newRow("unused slot, trimmed in the message")
        << 2 << QStringLiteral("  7,5x ") << QStringLiteral("Preço inválido: \"7,5x\"");
    QTest::newRow("markup is just text")
        << 0 << QStringLiteral("<b>1</b>") << QStringLiteral("Preço inválido: \"<b>1</b>\"");
    // A third decimal is refused, never rounded: "1.234" is not 1,23.
    QTest::newRow("point and three digits")
        << 0 << QStringLiteral("1.234") << QStringLiteral("Preço inválido: \"1.234\"");
    QTest::newRow("point and three zeros")
        << 1 << QStringLiteral("12.500") << QStringLiteral("Preço inválido: \"12.500\"");
    QTest::newRow("three decimals in an unused slot")
        << 2 << QStringLiteral("2,999") << QStringLiteral("Preço inválido: \"2,999\"");
}

void tst_Order::invalidPriceRegistersNothing()
{
    QFETCH(int, slot);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    click(QStringLiteral("optTipoMeia"));
    // A first line, registered before the bad price is typed.
    click(QStringLiteral("cmdPedido"));
    m_messages->messages.clear();
    frmResumo *resumo = m_window->loadedResumo();

    typePrice(slot, typed);
    click(QStringLiteral("cmdPedido"));

    QCOMPARE(m_messages->messages, QStringList{message});
    QCOMPARE(m_window->loadedResumo(), resumo);
    QCOMPARE(entries(resumo->ui().lstItem),
             QStringList{QStringLiteral("1/2 - Mussarela - Calabresa")});
    QCOMPARE(entries(resumo->ui().lstValor), QStringList{QStringLiteral("   5,90")});
    // The composition, the bad text included, stays for the operator to mend.
    QCOMPARE(valor(slot)->text(), typed);
    QVERIFY(m_window->ui().optTipoMeia->value());
}

void tst_Order::blankPriceIsRefusedInAUsedSlot_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("value"); // empty: refused

    const QString whole = QStringLiteral("optTipoInt");
    const QString half = QStringLiteral("optTipoMeia");
    const QString thirds = QStringLiteral("optTipoTerco");
    QTest::newRow("whole, slot 0 emptied") << whole << 0 << QString() << QString();
    QTest::newRow("whole, slot 0 blanks") << whole << 0 << QStringLiteral("   ") << QString();
    QTest::newRow("half, slot 1 emptied") << half << 1 << QString() << QString();
    QTest::newRow("thirds, slot 2 blank") << thirds << 2 << QStringLiteral(" ") << QString();
    QTest::newRow("whole, unused slot 1 blank counts as 0")
        << whole << 1 << QStringLiteral(" ") << QStringLiteral("   5,00");
    QTest::newRow("half, unused slot 2 blank counts as 0")
        << half << 2 << QStringLiteral("  ") << QStringLiteral("   5,90");
    QTest::newRow("whole, typed zero is a price")
        << whole << 0 << QStringLiteral("0") << QStringLiteral("   0,00");
}

void tst_Order::blankPriceIsRefusedInAUsedSlot()
{
    QFETCH(QString, type);
    QFETCH(int, slot);
    QFETCH(QString, typed);
    QFETCH(QString, value);

    click(type);
    typePrice(slot, typed);
    click(QStringLiteral("cmdPedido"));

    if (value.isEmpty()) {
        QCOMPARE(m_messages->messages, QStringList{QStringLiteral("Preço inválido: \"\"")});
        QCOMPARE(m_window->loadedResumo(), nullptr);
    } else {
        QCOMPARE(m_messages->messages, QStringList{QStringLiteral("Pedido Cadastrado")});
        QCOMPARE(entries(m_window->loadedResumo()->ui().lstValor), QStringList{value});
    }
}

void tst_Order::registrationKeepsTheComposition()
{
    click(QStringLiteral("optTipoTerco"));
    pickFlavour(1, 3);
    click(QStringLiteral("cmdPedido"));
    click(QStringLiteral("cmdPedido"));

    QVERIFY(m_window->ui().optTipoTerco->value());
    QCOMPARE(sabor(1)->text(), QStringLiteral("Atum"));
    QCOMPARE(valor(1)->text(), QStringLiteral("     6.50"));
    const QStringList item{QStringLiteral("1/3 - Mussarela - Atum - Portuguesa")};
    QCOMPARE(entries(m_window->loadedResumo()->ui().lstItem), item + item);
    QCOMPARE(entries(m_window->loadedResumo()->ui().lstValor).size(), 2);
}

void tst_Order::firstRegistrationLoadsSummaryHidden()
{
    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdPedido"));
    frmResumo *first = m_window->loadedResumo();
    QVERIFY(first);
    QVERIFY(!first->isVisible());
    click(QStringLiteral("cmdPedido"));
    QCOMPARE(m_window->loadedResumo(), first);
    QVERIFY(!first->isVisible());
    QCOMPARE(first->ui().lstItem->count(), first->ui().lstValor->count());
}

QTEST_MAIN(tst_Order)
#include "tst_order.moc"
