// Totalling the order on the summary window and closing it, driven as the
// operator drives them.

#include "testsupport.h"

#include "summary/frmresumo.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

class tst_Summary : public MainWindowTest
{
    Q_OBJECT

private slots:
    void totalOfTheOrder_data();
    void totalOfTheOrder();
    void separatorChangedBeforeTotalKeepsCentavos();
    void longOrdersTotalExactly_data();
    void longOrdersTotalExactly();
    void totalLeavesLastRowSelected_data();
    void totalLeavesLastRowSelected();
    void summaryWindowDesign();
    void summaryClosesOnlyByItsCommand_data();
    void summaryClosesOnlyByItsCommand();
    void closingStartsAFreshOrder();
};

void tst_Summary::totalOfTheOrder_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("prices");
    QTest::addColumn<QString>("total");

    for (const bool comma : {true, false}) {
        const auto t = [comma](const char *text) {
            QString value = QString::fromLatin1(text);
            return comma ? value : value.replace(u',', u'.');
        };
        const char *sep = comma ? "comma" : "point";
        QTest::addRow("%s: no line", sep) << comma << QStringList{} << QStringLiteral("0");
        QTest::addRow("%s: one line", sep)
            << comma << QStringList{QStringLiteral("5,90")} << t("5,9");
        QTest::addRow("%s: 5,90 + 10,00", sep)
            << comma << QStringList{QStringLiteral("5,90"), QStringLiteral("10")} << t("15,9");
        QTest::addRow("%s: 10,00 + 9,00", sep)
            << comma << QStringList{QStringLiteral("10"), QStringLiteral("9")} << t("19");
        QTest::addRow("%s: three lines", sep)
            << comma
            << QStringList{QStringLiteral("9"), QStringLiteral("6,5"), QStringLiteral("5,9")}
            << t("21,4");
        QTest::addRow("%s: three times 5,90", sep)
            << comma << QStringList(3, QStringLiteral("5,90")) << t("17,7");
        QTest::addRow("%s: ten times 5,90 is exact", sep)
            << comma << QStringList(10, QStringLiteral("5,90")) << t("59");
        QTest::addRow("%s: centavos survive", sep)
            << comma << QStringList{QStringLiteral("0,01"), QStringLiteral("99999,99")}
            << t("100000");
        QTest::addRow("%s: large total keeps its centavo", sep)
            << comma << (QStringList(20, QStringLiteral("99999,99")) << QStringLiteral("0,03"))
            << t("1999999,83");
    }
}

void tst_Summary::totalOfTheOrder()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, prices);
    QFETCH(QString, total);

    comma ? useBrazilianPortuguese() : usePointLocale();
    click(QStringLiteral("optTipoInt"));
    for (const QString &price : prices) {
        typePrice(0, price);
        click(QStringLiteral("cmdPedido"));
    }
    QString shown;
    withSummary([&](frmResumo &resumo) { shown = resumo.ui().lblVrTot->text(); });
    QCOMPARE(shown, total);
}

void tst_Summary::separatorChangedBeforeTotalKeepsCentavos()
{
    click(QStringLiteral("optTipoInt"));
    typePrice(0, QStringLiteral("5,91"));
    click(QStringLiteral("cmdPedido"));
    usePointLocale();
    QString shown;
    withSummary([&](frmResumo &resumo) { shown = resumo.ui().lblVrTot->text(); });
    QCOMPARE(shown, QStringLiteral("5.91"));
}

void tst_Summary::longOrdersTotalExactly_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("total");
    // Past the 255 lines a one-byte counter could hold.
    QTest::newRow("255 lines") << 255 << QStringLiteral("1504,5");
    QTest::newRow("256 lines") << 256 << QStringLiteral("1510,4");
    QTest::newRow("257 lines") << 257 << QStringLiteral("1516,3");
    QTest::newRow("1000 lines") << 1000 << QStringLiteral("5900");
    QTest::newRow("10000 lines") << 10000 << QStringLiteral("59000");
}

void tst_Summary::longOrdersTotalExactly()
{
    QFETCH(int, lines);
    QFETCH(QString, total);

    click(QStringLiteral("optTipoMeia"));
    for (int i = 0; i < lines; ++i)
        m_window->cmdPedido_Click();
    QCOMPARE(m_messages->messages.size(), lines);
    QString shown;
    int rows = 0;
    withSummary([&](frmResumo &resumo) {
        shown = resumo.ui().lblVrTot->text();
        rows = resumo.ui().lstValor->count();
    });
    QCOMPARE(rows, lines);
    QCOMPARE(shown, total);
}

void tst_Summary::totalLeavesLastRowSelected_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("7 lines, a few rows below the list's bottom") << 7;
    QTest::newRow("300 lines, far below") << 300;
}

void tst_Summary::totalLeavesLastRowSelected()
{
    QFETCH(int, lines);

    click(QStringLiteral("optTipoTerco"));
    for (int i = 0; i < lines; ++i)
        click(QStringLiteral("cmdPedido"));
    int valorRow = -2;
    bool lastRowInView = false;
    QList<QListWidgetItem *> valorSelected, itemSelected;
    withSummary([&](frmResumo &resumo) {
        QListWidget *values = resumo.ui().lstValor;
        valorRow = values->currentRow();
        valorSelected = values->selectedItems();
        itemSelected = resumo.ui().lstItem->selectedItems();
        lastRowInView = values->currentItem() && values->viewport()->rect().contains(
                                                     values->visualItemRect(values->currentItem()));
    });
    QCOMPARE(valorRow, lines - 1);
    QCOMPARE(valorSelected.size(), 1);
    QVERIFY(itemSelected.isEmpty());
    QVERIFY(lastRowInView);
}

void tst_Summary::summaryWindowDesign()
{
    QString title, tipoPag, cartao, total;
    QSize size;
    bool frameless = false, modal = false;
    QWidget *focus = nullptr;
    QWidget *lstItem = nullptr;
    QStringList tabs;
    withSummary([&](frmResumo &resumo) {
        size = resumo.size();
        frameless = resumo.windowFlags() & Qt::FramelessWindowHint;
        modal = resumo.isModal();
        title = resumo.ui().Label1->text();
        tipoPag = resumo.ui().lblTipoPag->text();
        cartao = resumo.ui().lblCartao->text();
        lstItem = resumo.ui().lstItem;
        focus = resumo.focusWidget();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tabs << QApplication::focusWidget()->objectName();
        }
    });
    QCOMPARE(size, QSize(322, 237));
    QVERIFY(frameless);
    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("Morvesta Turo Velmura"));
    QCOMPARE(tipoPag, QString());
    QCOMPARE(cartao, QString());
    QCOMPARE(focus, lstItem);
    QCOMPARE(tabs, QStringList({QStringLiteral("lstValor"), QStringLiteral("cmdSair"),
                                QStringLiteral("lstItem")}));
}

void tst_Summary::summaryClosesOnlyByItsCommand_data()
{
    QTest::addColumn<QString>("attempt");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("Enter on the list") << QStringLiteral("enter");
    QTest::newRow("close request from the window system") << QStringLiteral("close");
}

void tst_Summary::summaryClosesOnlyByItsCommand()
{
    QFETCH(QString, attempt);

    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdPedido"));
    bool stillShown = false;
    int linesKept = 0;
    withSummary([&](frmResumo &resumo) {
        QWidget *list = resumo.ui().lstItem;
        if (attempt == QLatin1String("escape"))
            QTest::keyClick(list, Qt::Key_Escape);
        else if (attempt == QLatin1String("enter"))
            QTest::keyClick(list, Qt::Key_Return);
        else
            resumo.windowHandle()->close();
        QCoreApplication::processEvents();
        stillShown = m_window->loadedResumo() == &resumo && resumo.isVisible();
        linesKept = resumo.ui().lstItem->count();
        // Alt+R, from the list, is the way out.
        QPointer<frmResumo> guard = &resumo;
        QTest::keyClick(list, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(!guard || !guard->isVisible());
    });
    QVERIFY(stillShown);
    QCOMPARE(linesKept, 1);
    QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Summary::closingStartsAFreshOrder()
{
    click(QStringLiteral("optTipoInt"));
    click(QStringLiteral("cmdPedido"));
    click(QStringLiteral("optPagDin"));
    QPointer<frmResumo> first = m_window->loadedResumo();
    withSummary([](frmResumo &) {});
    QCOMPARE(m_window->loadedResumo(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    click(QStringLiteral("optTipoTerco"));
    click(QStringLiteral("cmdPedido"));
    frmResumo *second = m_window->loadedResumo();
    QVERIFY(second);
    QCOMPARE(entries(second->ui().lstItem),
             QStringList{QStringLiteral("1/3 - Mussarela - Calabresa - Portuguesa")});
    QCOMPARE(second->ui().lblTipoPag->text(), QString());
    QCOMPARE(second->ui().lblVrTot->text(), QString());
}

QTEST_MAIN(tst_Summary)
#include "tst_summary.moc"
