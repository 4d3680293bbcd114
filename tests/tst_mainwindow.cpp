// The main window as the operator finds it at start-up: every control in its
// design state, the catalogue in every flavour slot, the toolbar, the status
// bar, the hidden pop-up menu, the focus, the tab order and the access keys.

#include "testsupport.h"

#include "app/catalogue.h"
#include "app/frmmorvesta.h"
#include "summary/frmresumo.h"

#include "runtime/frame.h"
#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/pictures.h"
#include "runtime/program.h"
#include "runtime/text.h"
#include "runtime/toolbar.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using runtime::ListCombo;

namespace {

// Where a picture has a pixel that is neither see-through nor one of the 16
// colours the program's pictures are drawn in; empty if it has none.
QString blendedPixel(const QImage &picture)
{
    static const QList<QRgb> colours = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                        0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                        0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (qAlpha(pixel) != 0 && (qAlpha(pixel) != 255 || !colours.contains(pixel & 0xFFFFFF)))
                return QStringLiteral("%1, %2: #%3")
                    .arg(x)
                    .arg(y)
                    .arg(uint(pixel), 8, 16, QChar(u'0'));
        }
    }
    return {};
}

} // namespace

class tst_MainWindow : public MainWindowTest
{
    Q_OBJECT

public:
    tst_MainWindow() : MainWindowTest(Start::Hidden) {}

private slots:
    void windowIsFixedWithCloseBoxOnly();
    void controlsStartInDesignState_data();
    void controlsStartInDesignState();
    void everySlotHoldsTheCatalogue_data();
    void everySlotHoldsTheCatalogue();
    void priceTextsStayWithPointUnderEitherSeparator_data();
    void priceTextsStayWithPointUnderEitherSeparator();
    void cardBrandsInTheirOrder();
    void toolbarHasKeyedButtonsAndSeparators();
    void toolbarPicturesAreDrawnAt16x16_data();
    void toolbarPicturesAreDrawnAt16x16();
    void statusBarShowsHouseNameDateAndTime();
    void systemRegionalSettingIsFollowed();
    void popupMenuIsHiddenWithFiveEntries();
    void picturesAreDrawnTransparent();
    void noCaptionIsClipped();
    void everyCaptionDrawsEveryLetter();
    void summaryWindowIsNotLoadedAtStartUp();

    void focusStartsOnPedido();
    void tabFollowsDesignOrderSkippingDisabledLists();
    void enterClicksTheFocusedButtonOnly();
    void accessKeysClickFromAnywhere_data();
    void accessKeysClickFromAnywhere();
    void invalidPriceIsQuotedOnOneShortLine_data();
    void invalidPriceIsQuotedOnOneShortLine();
};

void tst_MainWindow::windowIsFixedWithCloseBoxOnly()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMorvesta"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Morvesta"));
    // 6255 x 6120 twips at 15 twips a pixel.
    QCOMPARE(m_window->size(), QSize(417, 408));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!m_window->windowIcon().isNull());
}

void tst_MainWindow::controlsStartInDesignState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");

    for (const char *name : {"optTipoInt", "optTipoMeia", "optTipoTerco", "optPagDin",
                             "optPagCheque", "optPagCard", "cmbValor0", "cmbValor1", "cmbValor2",
                             "mskCard", "cmdCalculadora", "cmdPedido", "cmdTotal", "cmdSair"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    for (const char *name : {"cmbSabor0", "cmbSabor1", "cmbSabor2", "cmbCard"})
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void tst_MainWindow::controlsStartInDesignState()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);

    auto *widget = control<QWidget>(m_window.get(), name);
    QCOMPARE(widget->isEnabled(), enabled);
    if (auto *option = qobject_cast<runtime::OptionButton *>(widget)) {
        QVERIFY(!option->value());
    } else if (auto *list = qobject_cast<ListCombo *>(widget)) {
        QCOMPARE(list->listIndex(), -1);
        QCOMPARE(list->text(), QString());
    } else if (auto *mask = qobject_cast<runtime::MaskEdit *>(widget)) {
        QCOMPARE(mask->mask(), QString());
        QCOMPARE(mask->promptChar(), QChar(u'_'));
        QCOMPARE(mask->maxLength(), 64);
        QCOMPARE(mask->displayedText(), QString());
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->icon().isNull());
    }
}

void tst_MainWindow::everySlotHoldsTheCatalogue_data()
{
    QTest::addColumn<int>("slot");
    for (int slot = 0; slot < 3; ++slot)
        QTest::addRow("slot %d", slot) << slot;
}

void tst_MainWindow::everySlotHoldsTheCatalogue()
{
    QFETCH(int, slot);
    auto *flavours = control<ListCombo>(m_window.get(), QStringLiteral("cmbSabor%1").arg(slot));
    auto *prices = control<ListCombo>(m_window.get(), QStringLiteral("cmbValor%1").arg(slot));

    const QStringList names = {QStringLiteral("Mussarela"), QStringLiteral("Calabresa"),
                               QStringLiteral("Portuguesa"), QStringLiteral("Atum"),
                               QStringLiteral("A Moda da Casa")};
    const QStringList priceTexts = {QStringLiteral("     5.00"), QStringLiteral("     5.90"),
                                    QStringLiteral("     9.00"), QStringLiteral("     6.50"),
                                    QStringLiteral("    10.00")};
    QCOMPARE(flavours->count(), 5);
    QCOMPARE(prices->count(), 5);
    for (int p = 0; p < 5; ++p) {
        QCOMPARE(flavours->itemText(p), names.at(p));
        QCOMPARE(prices->itemText(p), priceTexts.at(p));
        QCOMPARE(prices->itemText(p).size(), 9);
    }
    QCOMPARE(flavours->listIndex(), -1);
    QCOMPARE(prices->listIndex(), -1);
}

void tst_MainWindow::priceTextsStayWithPointUnderEitherSeparator_data()
{
    QTest::addColumn<bool>("comma");
    QTest::newRow("decimal comma") << true;
    QTest::newRow("decimal point") << false;
}

void tst_MainWindow::priceTextsStayWithPointUnderEitherSeparator()
{
    QFETCH(bool, comma);
    comma ? useBrazilianPortuguese() : usePointLocale();
    frmMorvesta window;
    useBrazilianPortuguese();
    auto *prices = control<ListCombo>(&window, QStringLiteral("cmbValor1"));
    QCOMPARE(prices->itemText(1), QStringLiteral("     5.90"));
}

void tst_MainWindow::cardBrandsInTheirOrder()
{
    auto *brands = control<ListCombo>(m_window.get(), QStringLiteral("cmbCard"));
    QStringList entries;
    for (int i = 0; i < brands->count(); ++i)
        entries << brands->itemText(i);
    QCOMPARE(entries, QStringList({QStringLiteral("Credicard"), QStringLiteral("American Express"),
                                   QStringLiteral("Visa"), QStringLiteral("Itaucard"),
                                   QStringLiteral("Dinners"), QStringLiteral("Sollo"),
                                   QStringLiteral("Ouro Card")}));
    QCOMPARE(brands->listIndex(), -1);
}

void tst_MainWindow::toolbarHasKeyedButtonsAndSeparators()
{
    auto *toolbar = control<runtime::ToolBar>(m_window.get(), QStringLiteral("tlbFerramentas"));
    const QList<QAction *> entries = toolbar->actions();
    QCOMPARE(entries.size(), 6);
    const QStringList keys = {QStringLiteral("Calculadora"),
                              QStringLiteral("nada"),
                              QStringLiteral("Pedido"),
                              QStringLiteral("Total"),
                              QString(),
                              QStringLiteral("Sair")};
    const QList<bool> separators = {false, true, false, false, true, false};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(runtime::ToolBar::key(entries[i]), keys[i]);
        QCOMPARE(entries[i]->isSeparator(), separators[i]);
        if (!separators[i]) {
            QCOMPARE(entries[i]->toolTip(), keys[i]);
            QVERIFY(!entries[i]->icon().pixmap(16, 16).isNull());
            auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(entries[i]));
            QVERIFY(button);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        }
    }
    QCOMPARE(toolbar->iconSize(), QSize(16, 16));
    QCOMPARE(toolbar->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(toolbar->width(), m_window->width());
}

void tst_MainWindow::toolbarPicturesAreDrawnAt16x16_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("button");

    QTest::newRow("Calculadora") << QStringLiteral("Calculadora")
                                 << QStringLiteral("cmdCalculadora");
    QTest::newRow("Pedido") << QStringLiteral("Pedido") << QStringLiteral("cmdPedido");
    QTest::newRow("Total") << QStringLiteral("Total") << QStringLiteral("cmdTotal");
    QTest::newRow("Sair") << QStringLiteral("Sair") << QStringLiteral("cmdSair");
}

void tst_MainWindow::toolbarPicturesAreDrawnAt16x16()
{
    QFETCH(QString, key);
    QFETCH(QString, button);

    // A picture shrunk or enlarged to its size shows blended colours at its
    // edges; a picture drawn for it shows only the colours of the drawings.
    auto *toolbar = control<runtime::ToolBar>(m_window.get(), QStringLiteral("tlbFerramentas"));
    const QAction *entry = toolbar->button(key);
    QVERIFY(entry);
    const QImage small = entry->icon().pixmap(toolbar->iconSize(), 1.0).toImage();
    QCOMPARE(small.size(), QSize(16, 16));
    const QString blendedSmall = blendedPixel(small);
    QVERIFY2(blendedSmall.isEmpty(), qPrintable(blendedSmall));

    // The command button keeps the large drawing.
    auto *command = control<QPushButton>(m_window.get(), button);
    const QImage large = command->icon().pixmap(command->iconSize(), 1.0).toImage();
    QCOMPARE(large.size(), QSize(32, 32));
    const QString blendedLarge = blendedPixel(large);
    QVERIFY2(blendedLarge.isEmpty(), qPrintable(blendedLarge));
}

void tst_MainWindow::statusBarShowsHouseNameDateAndTime()
{
    auto *bar = control<QWidget>(m_window.get(), QStringLiteral("sbMorvesta"));
    const QList<QLabel *> panels = bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 4);
    QCOMPARE(panels[0]->text(), QStringLiteral("Morvesta Turo Velmura"));
    const QLocale locale;
    const QDate today = QDate::currentDate();
    QVERIFY(panels[1]->text() == locale.toString(today, QLocale::ShortFormat) ||
            panels[1]->text() == locale.toString(today.addDays(-1), QLocale::ShortFormat));
    QVERIFY(
        QTime::fromString(panels[2]->text(), locale.timeFormat(QLocale::ShortFormat)).isValid());
    QCOMPARE(panels[3]->text(), QString());
    QCOMPARE(bar->geometry().bottom(), m_window->height() - 1);
    // The house name, the date and the time show whole.
    for (int i = 0; i < 3; ++i)
        QVERIFY(panels[i]->geometry().right() < bar->width());
}

void tst_MainWindow::systemRegionalSettingIsFollowed()
{
    // Run as the test tst_regional, under the system's own setting (on Windows
    // the regional settings of the control panel), not a test's default.
    const QByteArray region = qgetenv("MORVESTA_SYSTEM_REGION");
    if (region.isEmpty())
        QSKIP("runs as tst_regional, under the system's Brazilian Portuguese setting");
    QCOMPARE(QLocale::system().name(), QString::fromLatin1(region));
    QLocale::setDefault(QLocale::system());
    const auto restore = qScopeGuard([] { useBrazilianPortuguese(); });

    frmMorvesta window;
    auto *bar = control<QWidget>(&window, QStringLiteral("sbMorvesta"));
    const QList<QLabel *> panels = bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 4);
    // The short date, and the time on the 24-hour clock.
    const QDate today = QDate::currentDate();
    QVERIFY2(panels[1]->text() == today.toString(QStringLiteral("dd/MM/yyyy")) ||
                 panels[1]->text() == today.addDays(-1).toString(QStringLiteral("dd/MM/yyyy")),
             qPrintable(panels[1]->text()));
    QVERIFY2(QRegularExpression(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"))
                 .match(panels[2]->text())
                 .hasMatch(),
             qPrintable(panels[2]->text()));

    // Amounts with the decimal comma.
    QTest::mouseClick(control<QRadioButton>(&window, QStringLiteral("optTipoInt")), Qt::LeftButton);
    window.cmdPedido_Click();
    QVERIFY(window.loadedResumo());
    QCOMPARE(window.loadedResumo()->ui().lstValor->item(0)->text(), QStringLiteral("   5,00"));
}

void tst_MainWindow::popupMenuIsHiddenWithFiveEntries()
{
    QMenu *menu = m_window->mnuPop();
    QCOMPARE(menu->objectName(), QStringLiteral("mnuPop"));
    QVERIFY(!menu->isVisible());
    QCOMPARE(menu->title(), QStringLiteral("Pop"));
    const QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 5);
    const QStringList names = {QStringLiteral("mnuCalc"), QStringLiteral("mnuPedido"),
                               QStringLiteral("mnuTotal"), QStringLiteral("traco"),
                               QStringLiteral("mnuSair")};
    const QStringList captions = {QStringLiteral("&Calculadora"), QStringLiteral("&Pedido"),
                                  QStringLiteral("&Total"), QString(), QStringLiteral("Sai&r")};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(entries[i]->objectName(), names[i]);
        QCOMPARE(entries[i]->isSeparator(), i == 3);
        if (i != 3)
            QCOMPARE(entries[i]->text(), captions[i]);
        QVERIFY(entries[i]->shortcut().isEmpty());
    }
}

void tst_MainWindow::picturesAreDrawnTransparent()
{
    const QImage icon = m_window->windowIcon().pixmap(32, 32).toImage();
    QVERIFY(icon.hasAlphaChannel());
    // The silver background is see-through; the picture itself is not.
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        QCOMPARE(qAlpha(icon.pixel(corner)), 0);
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            opaque += qAlpha(icon.pixel(x, y)) == 255;
            QVERIFY(icon.pixel(x, y) != runtime::kMaskColour);
        }
    }
    QVERIFY(opaque > 32 * 32 / 3);

    auto *image = control<QLabel>(m_window.get(), QStringLiteral("Image1"));
    QVERIFY(image->hasScaledContents());
    QCOMPARE(image->pixmap().cacheKey(), m_window->windowIcon().pixmap(32, 32).cacheKey());
}

void tst_MainWindow::everyCaptionDrawsEveryLetter()
{
    // A font engine can lose a single glyph at one size (the "I" of
    // "Inteira" once drew as nothing): every letter of every caption, in its
    // control's font, puts ink on the page.
    QList<QPair<QFont, QString>> captions;
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = runtime::withoutAccessMark(button->text());
        else if (auto *frame = qobject_cast<runtime::Frame *>(widget))
            text = frame->title();
        if (!text.isEmpty())
            captions.append({widget->font(), text});
    }
    QVERIFY(captions.size() > 20);
    for (const auto &[font, text] : std::as_const(captions)) {
        const QFontMetrics metrics(font);
        for (const QChar letter : text) {
            if (letter.isSpace())
                continue;
            QImage page(metrics.height() * 3, metrics.height() * 2, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(metrics.height(), metrics.height() * 3 / 2, QString(letter));
            painter.end();
            bool ink = false;
            for (int y = 0; y < page.height() && !ink; ++y) {
                const auto *line = reinterpret_cast<const QRgb *>(page.constScanLine(y));
                ink = std::any_of(line, line + page.width(),
                                  [](QRgb pixel) { return qGray(pixel) < 160; });
            }
            QVERIFY2(ink,
                     qPrintable(
                         QStringLiteral("'%1' of \"%2\" in %3").arg(letter, text, font.family())));
        }
    }
}

void tst_MainWindow::noCaptionIsClipped()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QRect window = m_window->rect();
    for (QLabel *label : m_window->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->text()));
        const QRect inWindow(label->mapTo(m_window.get(), QPoint(0, 0)), label->size());
        QVERIFY2(window.contains(inWindow), qPrintable(label->text()));
    }
    for (QAbstractButton *button : m_window->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QToolButton *>(button))
            continue;
        const QString caption = runtime::withoutAccessMark(button->text());
        const QStyle *style = button->style();
        int room = button->contentsRect().width();
        if (qobject_cast<QRadioButton *>(button))
            room -= style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                    style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        QVERIFY2(button->fontMetrics().horizontalAdvance(caption) <= room, qPrintable(caption));
    }
    for (runtime::Frame *frame : m_window->findChildren<runtime::Frame *>())
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width(),
                 qPrintable(frame->title()));
}

void tst_MainWindow::summaryWindowIsNotLoadedAtStartUp()
{
    QCOMPARE(m_window->loadedResumo(), nullptr);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(top->objectName() != QStringLiteral("frmResumo"));
}

void tst_MainWindow::focusStartsOnPedido()
{
    showActive();
    QTRY_COMPARE(QApplication::focusWidget(),
                 control<QWidget>(m_window.get(), QStringLiteral("cmdPedido")));
}

void tst_MainWindow::tabFollowsDesignOrderSkippingDisabledLists()
{
    showActive();
    // An option group is one stop (its arrow keys move inside it), entered at
    // its selected button or, with none selected, at its first.
    const QStringList expected = {QStringLiteral("optTipoInt"), QStringLiteral("optPagDin"),
                                  QStringLiteral("cmbValor0"),  QStringLiteral("cmbValor1"),
                                  QStringLiteral("cmbValor2"),  QStringLiteral("cmdCalculadora"),
                                  QStringLiteral("cmdTotal"),   QStringLiteral("cmdSair"),
                                  QStringLiteral("mskCard"),    QStringLiteral("cmdPedido")};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // The text field inside a price list stands for its list.
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        visited << (focus ? focus->objectName() : QStringLiteral("(none)"));
    }
    QCOMPARE(visited, expected);
}

void tst_MainWindow::enterClicksTheFocusedButtonOnly()
{
    showActive();
    auto *pedido = control<QPushButton>(m_window.get(), QStringLiteral("cmdPedido"));
    auto *total = control<QPushButton>(m_window.get(), QStringLiteral("cmdTotal"));
    QSignalSpy pedidoClicks(pedido, &QAbstractButton::clicked);
    QSignalSpy totalClicks(total, &QAbstractButton::clicked);

    QTest::keyClick(pedido, Qt::Key_Return);
    QCOMPARE(pedidoClicks.count(), 1);

    auto *price = control<QWidget>(m_window.get(), QStringLiteral("cmbValor0"));
    price->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(pedidoClicks.count(), 1);
    QCOMPARE(totalClicks.count(), 0);
}

void tst_MainWindow::accessKeysClickFromAnywhere_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");

    QTest::newRow("Alt+C") << int(Qt::Key_C) << QStringLiteral("cmdCalculadora");
    QTest::newRow("Alt+P") << int(Qt::Key_P) << QStringLiteral("cmdPedido");
    QTest::newRow("Alt+T") << int(Qt::Key_T) << QStringLiteral("cmdTotal");
    QTest::newRow("Alt+R") << int(Qt::Key_R) << QStringLiteral("cmdSair");
}

void tst_MainWindow::accessKeysClickFromAnywhere()
{
    QFETCH(int, key);
    QFETCH(QString, button);

    // The calculator finds nothing to start here; the checkout's summary
    // closes as soon as it shows.
    qputenv("PATH", QByteArray("/nonexistent"));
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [this] {
        if (frmResumo *resumo = m_window->loadedResumo(); resumo && resumo->isVisible())
            resumo->cmdSair_Click();
    });
    closer.start(20);

    showActive();
    auto *target = control<QPushButton>(m_window.get(), button);
    auto *price = control<QWidget>(m_window.get(), QStringLiteral("cmbValor2"));
    price->setFocus();
    QSignalSpy clicks(target, &QAbstractButton::clicked);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);

    QTRY_COMPARE(clicks.count(), 1);
}

void tst_MainWindow::invalidPriceIsQuotedOnOneShortLine_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("quoted");

    QTest::newRow("a long text") << QStringLiteral("doze reais e cinquenta centavos, por favor")
                                 << QStringLiteral("doze reais e cinquenta centavos, por fa…");
    QTest::newRow("120 lines")
        << QStringList(120, QStringLiteral("7,50")).join(QStringLiteral("\r\n"))
        << QStringLiteral("7,50 7,50 7,50 7,50 7,50 7,50 7,50 7,50…");
    QTest::newRow("right-to-left override")
        << QStringLiteral("\u202E7,50") << QStringLiteral("7,50");
    QTest::newRow("isolates, marks, tab and C1 controls")
        << QStringLiteral("\u20667,50\u2069\u200F\t\u0085x\u009B") << QStringLiteral("7,50 x");
    QTest::newRow("an accent stays with its letter")
        << QString(38, u'x') + QStringLiteral("e\u0301zzz") << QString(38, u'x') + u'…';
    QTest::newRow("a character beyond 16 bits stays whole")
        << QString(38, u'x') + QStringLiteral("\U0001F355zz") << QString(38, u'x') + u'…';
}

void tst_MainWindow::invalidPriceIsQuotedOnOneShortLine()
{
    QFETCH(QString, pasted);
    QFETCH(QString, quoted);

    showActive();
    QTest::mouseClick(control<QRadioButton>(m_window.get(), QStringLiteral("optTipoInt")),
                      Qt::LeftButton);
    auto *price = control<ListCombo>(m_window.get(), QStringLiteral("cmbValor0"));
    price->lineEdit()->selectAll();
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(price->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(price->text(), pasted);

    QTest::mouseClick(control<QPushButton>(m_window.get(), QStringLiteral("cmdPedido")),
                      Qt::LeftButton);

    QCOMPARE(m_messages->messages,
             QStringList{QStringLiteral("Preço inválido: \"%1\"").arg(quoted)});
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
