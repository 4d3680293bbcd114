// Payment entry, the card number field and checkout, driven through the
// main window as the operator uses it.

#include "testsupport.h"

#include "summary/frmresumo.h"

#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/toolbar.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

using runtime::ListCombo;

namespace {

const QString kBlank(19, u' ');
const QString kDigitMask = QStringLiteral("####.####.####.####");

} // namespace

class tst_Payment : public MainWindowTest
{
    Q_OBJECT

private slots:
    void paymentChoiceSetsCardFields_data();
    void paymentChoiceSetsCardFields();
    void cardNumberFieldMaskFollowsFocus_data();
    void cardNumberFieldMaskFollowsFocus();
    void cardNumberGoesInButNeverOut_data();
    void cardNumberGoesInButNeverOut();
    void focusBackFromOurWindowsIsAGain_data();
    void focusBackFromOurWindowsIsAGain();

    void checkoutWritesPayment_data();
    void checkoutWritesPayment();
    void checkoutResetsMainWindow();
    void checkoutBlocksUntilSummaryCloses();
    void twoOrdersInARow();
};

void tst_Payment::paymentChoiceSetsCardFields_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("cleared");

    QTest::newRow("card") << QStringList{QStringLiteral("optPagCard")} << true << false;
    QTest::newRow("card twice keeps brand and number")
        << QStringList{QStringLiteral("optPagCard"), QStringLiteral("optPagCard")} << true << false;
    QTest::newRow("card then cash")
        << QStringList{QStringLiteral("optPagCard"), QStringLiteral("optPagDin")} << false << true;
    QTest::newRow("card then cheque")
        << QStringList{QStringLiteral("optPagCard"), QStringLiteral("optPagCheque")} << false
        << true;
    QTest::newRow("cash then card")
        << QStringList{QStringLiteral("optPagCard"), QStringLiteral("optPagDin"),
                       QStringLiteral("optPagCard")}
        << true << true;
    QTest::newRow("cheque then card")
        << QStringList{QStringLiteral("optPagCard"), QStringLiteral("optPagCheque"),
                       QStringLiteral("optPagCard")}
        << true << true;
}

void tst_Payment::paymentChoiceSetsCardFields()
{
    QFETCH(QStringList, choices);
    QFETCH(bool, enabled);
    QFETCH(bool, cleared);

    auto *brands = find<ListCombo>(QStringLiteral("cmbCard"));
    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    click(choices.first());
    pickBrand(2);
    typeCardNumber(QStringLiteral("1234"));
    for (const QString &choice : choices.mid(1))
        click(choice);

    QCOMPARE(brands->isEnabled(), enabled);
    QCOMPARE(card->isEnabled(), enabled);
    if (cleared) {
        QCOMPARE(brands->listIndex(), -1);
        QCOMPARE(brands->text(), QString());
        QCOMPARE(card->mask(), kBlank);
        QCOMPARE(card->displayedText(), kBlank);
        QCOMPARE(card->typedChars(), QString());
    } else {
        QCOMPARE(brands->text(), QStringLiteral("Visa"));
        QCOMPARE(card->displayedText(), QStringLiteral("1234.____.____.____"));
    }
}

void tst_Payment::cardNumberFieldMaskFollowsFocus_data()
{
    QTest::addColumn<QString>("typing");
    QTest::addColumn<QString>("whileFocused");
    QTest::addColumn<QString>("afterLeaving");

    QTest::newRow("nothing typed") << QString() << QStringLiteral("____.____.____.____") << kBlank;
    QTest::newRow("letters only are nothing")
        << QStringLiteral("abc") << QStringLiteral("____.____.____.____") << kBlank;
    QTest::newRow("four digits stay")
        << QStringLiteral("1234") << QStringLiteral("1234.____.____.____")
        << QStringLiteral("1234.____.____.____");
    QTest::newRow("complete number stays")
        << QStringLiteral("4111111111111111") << QStringLiteral("4111.1111.1111.1111")
        << QStringLiteral("4111.1111.1111.1111");
}

void tst_Payment::cardNumberFieldMaskFollowsFocus()
{
    QFETCH(QString, typing);
    QFETCH(QString, whileFocused);
    QFETCH(QString, afterLeaving);

    // Before any payment is chosen the field is already open for typing.
    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    QCOMPARE(card->mask(), QString());
    typeCardNumber(typing);
    QCOMPARE(card->mask(), kDigitMask);
    QCOMPARE(card->displayedText(), whileFocused);

    QTest::keyClick(card, Qt::Key_Tab);
    QTRY_VERIFY(!card->hasFocus());
    QCOMPARE(card->displayedText(), afterLeaving);

    // Coming back always brings the digit mask again, digits kept.
    QTest::mouseClick(card, Qt::LeftButton);
    QTRY_VERIFY(card->hasFocus());
    QCOMPARE(card->mask(), kDigitMask);
    QCOMPARE(card->displayedText(), whileFocused);
}

void tst_Payment::cardNumberGoesInButNeverOut_data()
{
    // What the field went through first, then text dropped on it, or keys
    // pressed (or the context menu's entries chosen) with all of it selected.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("passed"); // the drop went in, or the number out
    QTest::addColumn<QString>("displayed");

    const QString markup = QStringLiteral("NOT A CARD <b>x</b> 1234");
    QTest::newRow("never entered, any text")
        << QString() << markup << QString() << false << QString();
    QTest::newRow("never entered, a card number")
        << QString() << QStringLiteral("4111111111111111") << QString() << false << QString();
    QTest::newRow("left blank") << QStringLiteral("left") << QStringLiteral("4111") << QString()
                                << false << kBlank;
    QTest::newRow("digit mask, text around digits")
        << QStringLiteral("12") << markup << QString() << true
        << QStringLiteral("1234.____.____.____");
    QTest::newRow("digit mask, digits of another script")
        << QStringLiteral("12") << QStringLiteral("\u0663\u0664") << QString() << true
        << QStringLiteral("12__.____.____.____");
    for (const char *keys : {"Ctrl+C", "Ctrl+Ins", "Ctrl+X", "Shift+Del", "menu"})
        QTest::addRow("complete number, %s", keys)
            << QStringLiteral("4111111111111111") << QString() << QString::fromLatin1(keys) << false
            << QStringLiteral("4111.1111.1111.1111");
}

void tst_Payment::cardNumberGoesInButNeverOut()
{
    QFETCH(QString, before);
    QFETCH(QString, dropped);
    QFETCH(QString, keys);
    QFETCH(bool, passed);
    QFETCH(QString, displayed);

    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    click(QStringLiteral("optPagCard"));
    if (!before.isEmpty()) {
        typeCardNumber(before == QLatin1String("left") ? QString() : before);
        QTest::keyClick(card, Qt::Key_Tab);
        QTRY_VERIFY(!card->hasFocus());
    }
    const Qt::InputMethodHints hints = Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
    QCOMPARE(card->inputMethodQuery(Qt::ImHints).toInt() & hints, int(hints));

    if (!keys.isEmpty()) {                 // all of it selected, nothing goes to the clipboard
        QList<QAction *> entries{nullptr}; // the keys once, or each entry of the menu
        card->selectAll();
        if (keys == QLatin1String("menu")) {
            QContextMenuEvent open(QContextMenuEvent::Mouse, {3, 3},
                                   card->mapToGlobal(QPoint(3, 3)));
            QCoreApplication::sendEvent(card, &open);
            QTRY_VERIFY(QApplication::activePopupWidget());
            entries = QApplication::activePopupWidget()->actions();
        }
        for (QAction *entry : std::as_const(entries)) {
            card->setText(before);
            card->selectAll();
            QGuiApplication::clipboard()->setText(kBlank);
            entry ? entry->trigger() : QTest::keySequence(card, QKeySequence(keys));
            QCOMPARE(QGuiApplication::clipboard()->text() != kBlank, passed);
        }
        if (entries.first()) // (the menu's Delete empties the field)
            QApplication::activePopupWidget()->close();
        else // cut, too, keeps the number
            QCOMPARE(card->displayedText(), displayed);
        return;
    }

    // Dragged in from another program, onto the left end of the field.
    QMimeData data;
    data.setText(dropped);
    const QPoint at(3, card->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(card, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(card, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(card, &drop);

    QCOMPARE(enter.isAccepted() && drop.isAccepted(), passed);
    QCOMPARE(card->displayedText(), displayed);
}

void tst_Payment::focusBackFromOurWindowsIsAGain_data()
{
    // How the focus leaves the card number field and comes back.
    QTest::addColumn<QString>("away");
    QTest::addColumn<int>("gains");
    QTest::addColumn<QString>("displayed");

    const QString typed = QStringLiteral("5678.____.____.____");
    QTest::newRow("checkout from the toolbar") << QStringLiteral("toolbar") << 1 << typed;
    QTest::newRow("checkout from the menu") << QStringLiteral("menu") << 1 << typed;
    QTest::newRow("checkout by Alt+T") << QStringLiteral("access key") << 1 << typed;
    // Another program taking the focus and giving it back is no move at all.
    QTest::newRow("another program")
        << QStringLiteral("other program") << 0 << QStringLiteral("1256.78__.____.____");
    QTest::newRow("another program, nothing typed") << QStringLiteral("program") << 0 << typed;
}

void tst_Payment::focusBackFromOurWindowsIsAGain()
{
    QFETCH(QString, away);
    QFETCH(int, gains);
    QFETCH(QString, displayed);

    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    click(QStringLiteral("optPagCard"));
    typeCardNumber(away == QLatin1String("other program") ? QStringLiteral("12") : QString());
    QSignalSpy gained(card, &runtime::MaskEdit::gotFocus);

    if (away.endsWith(QLatin1String("program"))) {
        QApplication::setActiveWindow(nullptr);
        QTRY_VERIFY(!card->hasFocus());
        QApplication::setActiveWindow(m_window.get());
    } else {
        const Shown shown = checkOut([&] {
            if (away == QLatin1String("toolbar")) {
                auto *toolbar = find<runtime::ToolBar>(QStringLiteral("tlbFerramentas"));
                QTest::mouseClick(
                    toolbar->widgetForAction(toolbar->button(QStringLiteral("Total"))),
                    Qt::LeftButton);
            } else if (away == QLatin1String("menu")) {
                QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(5, 200));
                auto *menu = find<QMenu>(QStringLiteral("mnuPop"));
                QTRY_VERIFY(menu->isVisible());
                auto *entry = m_window->findChild<QAction *>(QStringLiteral("mnuTotal"));
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
            } else {
                QTest::keyClick(card, Qt::Key_T, Qt::AltModifier);
            }
        });
        QVERIFY(shown.visible);
        // The window manager hands the focus back to the main window.
        m_window->activateWindow();
    }

    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(card->hasFocus());
    QCOMPARE(gained.count(), gains);
    QTest::keyClicks(card, QStringLiteral("5678"));
    QCOMPARE(card->displayedText(), displayed);
}

void tst_Payment::checkoutWritesPayment_data()
{
    QTest::addColumn<QString>("payment");
    QTest::addColumn<int>("brand");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("tipoPag");
    QTest::addColumn<QString>("cartao");

    QTest::newRow("cash") << QStringLiteral("optPagDin") << -1 << QString()
                          << QStringLiteral("Dinheiro") << QString();
    QTest::newRow("cheque") << QStringLiteral("optPagCheque") << -1 << QString()
                            << QStringLiteral("Cheque") << QString();
    QTest::newRow("card, Visa, complete number")
        << QStringLiteral("optPagCard") << 2 << QStringLiteral("4111111111111111")
        << QStringLiteral("Cartão Visa") << QStringLiteral("4111.1111.1111.1111");
    QTest::newRow("card, American Express, incomplete number")
        << QStringLiteral("optPagCard") << 1 << QStringLiteral("3782")
        << QStringLiteral("Cartão American Express") << QStringLiteral("3782.____.____.____");
    QTest::newRow("card without brand keeps the trailing space")
        << QStringLiteral("optPagCard") << -1 << QStringLiteral("55") << QStringLiteral("Cartão ")
        << QStringLiteral("55__.____.____.____");
    QTest::newRow("card, number field never entered")
        << QStringLiteral("optPagCard") << 6 << QString() << QStringLiteral("Cartão Ouro Card")
        << QString();
    QTest::newRow("no payment chosen") << QString() << -1 << QString() << QString() << QString();
}

void tst_Payment::checkoutWritesPayment()
{
    QFETCH(QString, payment);
    QFETCH(int, brand);
    QFETCH(QString, digits);
    QFETCH(QString, tipoPag);
    QFETCH(QString, cartao);

    click(QStringLiteral("optTipoMeia"));
    click(QStringLiteral("cmdPedido"));
    if (!payment.isEmpty())
        click(payment);
    if (brand >= 0)
        pickBrand(brand);
    if (!digits.isEmpty())
        typeCardNumber(digits);

    const Shown shown = checkOut([this] { click(QStringLiteral("cmdTotal")); });

    QVERIFY(shown.visible);
    QVERIFY(shown.modal);
    QVERIFY(shown.mainBlocked);
    QCOMPARE(shown.tipoPag, tipoPag);
    QCOMPARE(shown.cartao, cartao);
    QCOMPARE(shown.items, QStringList{QStringLiteral("1/2 - Mussarela - Calabresa")});
    QCOMPARE(shown.total, QStringLiteral("5,9"));
}

void tst_Payment::checkoutResetsMainWindow()
{
    click(QStringLiteral("optTipoTerco"));
    click(QStringLiteral("cmdPedido"));
    click(QStringLiteral("optPagCard"));
    pickBrand(3);
    typeCardNumber(QStringLiteral("12345678"));

    // The reset is done by the time the summary shows.
    QStringList stateWhileShown;
    const Shown shown = checkOut([&] {
        QTimer::singleShot(0, this, [&] {
            for (const char *name : {"optTipoInt", "optTipoMeia", "optTipoTerco", "optPagDin",
                                     "optPagCheque", "optPagCard"}) {
                if (find<runtime::OptionButton>(QString::fromLatin1(name))->value())
                    stateWhileShown << QString::fromLatin1(name);
            }
        });
        click(QStringLiteral("cmdTotal"));
    });
    QVERIFY(shown.visible);
    QVERIFY2(stateWhileShown.isEmpty(), qPrintable(stateWhileShown.join(u',')));

    for (const char *name :
         {"optTipoInt", "optTipoMeia", "optTipoTerco", "optPagDin", "optPagCheque", "optPagCard"})
        QVERIFY2(!find<runtime::OptionButton>(QString::fromLatin1(name))->value(), name);
    for (int slot = 0; slot < 3; ++slot) {
        auto *sabor = find<ListCombo>(QStringLiteral("cmbSabor%1").arg(slot));
        auto *valor = find<ListCombo>(QStringLiteral("cmbValor%1").arg(slot));
        QCOMPARE(sabor->listIndex(), -1);
        QVERIFY(!sabor->isEnabled());
        QCOMPARE(valor->listIndex(), -1);
        QCOMPARE(valor->text(), QString());
        QCOMPARE(valor->count(), 5);
    }
    auto *brands = find<ListCombo>(QStringLiteral("cmbCard"));
    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    QCOMPARE(brands->listIndex(), -1);
    QCOMPARE(card->mask(), kBlank);
    QCOMPARE(card->typedChars(), QString());
    // The card fields keep the enabled state the last payment choice gave them.
    QVERIFY(brands->isEnabled());
    QVERIFY(card->isEnabled());
    // Nothing to register until a pizza type is chosen again.
    m_messages->messages.clear();
    click(QStringLiteral("cmdPedido"));
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Payment::checkoutBlocksUntilSummaryCloses()
{
    bool returned = false;
    bool blockedWhileShown = false;
    int checksWhileShown = 0;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        frmResumo *resumo = m_window->loadedResumo();
        if (!resumo || !resumo->isVisible())
            return;
        blockedWhileShown = !returned;
        if (++checksWhileShown == 3)
            QTest::mouseClick(resumo->ui().cmdSair, Qt::LeftButton);
    });
    probe.start(10);

    // Nothing registered: checkout loads the summary window itself.
    click(QStringLiteral("cmdTotal"));
    returned = true;

    QCOMPARE(checksWhileShown, 3);
    QVERIFY(blockedWhileShown);
    QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Payment::twoOrdersInARow()
{
    for (int order = 0; order < 2; ++order) {
        click(order == 0 ? QStringLiteral("optTipoInt") : QStringLiteral("optTipoTerco"));
        click(QStringLiteral("cmdPedido"));
        click(QStringLiteral("cmdPedido"));
        click(order == 0 ? QStringLiteral("optPagDin") : QStringLiteral("optPagCheque"));
        const Shown shown = checkOut([this] { click(QStringLiteral("cmdTotal")); });
        if (order == 0) {
            QCOMPARE(shown.items, QStringList(2, QStringLiteral("1 - Mussarela")));
            QCOMPARE(shown.tipoPag, QStringLiteral("Dinheiro"));
            QCOMPARE(shown.total, QStringLiteral("10"));
        } else {
            QCOMPARE(shown.items,
                     QStringList(2, QStringLiteral("1/3 - Mussarela - Calabresa - Portuguesa")));
            QCOMPARE(shown.tipoPag, QStringLiteral("Cheque"));
            QCOMPARE(shown.total, QStringLiteral("18"));
        }
    }
    // And a checkout with nothing new shows an empty order.
    const Shown empty = checkOut([this] { click(QStringLiteral("cmdTotal")); });
    QVERIFY(empty.items.isEmpty());
    QCOMPARE(empty.tipoPag, QString());
    QCOMPARE(empty.total, QStringLiteral("0"));
}

QTEST_MAIN(tst_Payment)
#include "tst_payment.moc"
