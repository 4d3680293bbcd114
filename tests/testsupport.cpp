#include "testsupport.h"

#include "summary/frmresumo.h"

#include "runtime/listcombo.h"
#include "runtime/maskedit.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

bool writeProgram(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(body);
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void MainWindowTest::initTestCase()
{
    setUpCounter();
    m_savedPath = qgetenv("PATH");
    runtime::setEndHook([this] { ++m_ends; });
}

void MainWindowTest::init()
{
    useBrazilianPortuguese();
    m_ends = 0;
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<frmMorvesta>();
    if (m_start == Start::Active)
        showActive();
}

void MainWindowTest::cleanup()
{
    m_window.reset();
    m_messages.reset();
    qputenv("PATH", m_savedPath);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void MainWindowTest::showActive()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void MainWindowTest::typeCardNumber(const QString &digits) const
{
    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    QTest::mouseClick(card, Qt::LeftButton);
    QTRY_VERIFY(card->hasFocus());
    QTest::keyClicks(card, digits);
}

void MainWindowTest::pickBrand(int position) const
{
    auto *brands = find<runtime::ListCombo>(QStringLiteral("cmbCard"));
    brands->setFocus();
    for (int step = 0; step < 8 && brands->listIndex() != position; ++step)
        QTest::keyClick(brands, Qt::Key_Down);
    QCOMPARE(brands->listIndex(), position);
}

Shown MainWindowTest::checkOut(const std::function<void()> &route)
{
    Shown shown;
    bool closed = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        QPointer<frmResumo> resumo = m_window->loadedResumo();
        if (!resumo || !resumo->isVisible() || closed)
            return;
        poll.stop();
        shown.visible = true;
        shown.modal = resumo->isModal();
        // A click on the main window, through the window system, must not
        // reach its buttons.
        auto *pedidoButton = find<QPushButton>(QStringLiteral("cmdPedido"));
        QSignalSpy pedido(pedidoButton, &QAbstractButton::clicked);
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                          pedidoButton->geometry().center());
        shown.mainBlocked = pedido.isEmpty() && QApplication::activeModalWidget() == resumo;
        shown.tipoPag = resumo->ui().lblTipoPag->text();
        shown.cartao = resumo->ui().lblCartao->text();
        shown.total = resumo->ui().lblVrTot->text();
        for (int row = 0; row < resumo->ui().lstItem->count(); ++row)
            shown.items << resumo->ui().lstItem->item(row)->text();
        closed = true;
        QTest::mouseClick(resumo->ui().cmdSair, Qt::LeftButton);
    });
    poll.start(5);
    route();
    // Callers check what was shown; a summary that never came leaves it empty.
    static_cast<void>(QTest::qWaitFor([&] { return closed && !m_window->loadedResumo(); }));
    return shown;
}

void MainWindowTest::typePrice(int slot, const QString &text) const
{
    auto *list = find<runtime::ListCombo>(QStringLiteral("cmbValor%1").arg(slot));
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClick(list->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(list->lineEdit(), text);
}

void MainWindowTest::withSummary(const std::function<void(frmResumo &)> &check)
{
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        QPointer<frmResumo> resumo = m_window->loadedResumo();
        QVERIFY(resumo && resumo->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(resumo));
        check(*resumo);
        checked = true;
        if (resumo && resumo->isVisible())
            QTest::mouseClick(resumo->ui().cmdSair, Qt::LeftButton);
    });
    m_window->cmdTotal_Click();
    QVERIFY(checked);
}

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}
