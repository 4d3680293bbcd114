// The program's windows: lazily loaded modal forms, the message box and
// where a window is placed on the screen.

#include "testsupport.h"

#include "runtime/form.h"
#include "runtime/geometry.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

// A form that counts its activations.
class CountingForm : public runtime::Form
{
public:
    int activations = 0;

protected:
    void Form_Activate() override { ++activations; }
};

// What a real message box showed, read while it was up.
struct ShownBox
{
    QString name, title, text;
    Qt::TextFormat format = Qt::RichText;
    QStringList buttons;
    bool buttonPicture = true;
    bool defaultButton = false;
    bool lineFits = false;
    QRect frame, screen;
};

// Shows text in the program's message box, reads the box and closes it with
// Enter.
ShownBox showMessage(const QString &text)
{
    ShownBox shown;
    std::function<void()> read;
    read = [&] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            QTimer::singleShot(10, read);
            return;
        }
        shown.name = box->objectName();
        shown.title = box->windowTitle();
        // The label that shows the text (a box may hold a picture label too).
        const QLabel *label = nullptr;
        for (const QLabel *candidate : box->findChildren<QLabel *>()) {
            if (!label || candidate->text().size() > label->text().size())
                label = candidate;
        }
        if (label) {
            shown.text = label->text();
            shown.format = label->textFormat();
            shown.lineFits = label->fontMetrics().horizontalAdvance(label->text()) <=
                             label->contentsRect().width();
        }
        shown.buttonPicture = false;
        for (const QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
            shown.buttons.append(button->text());
            shown.buttonPicture = shown.buttonPicture || !button->icon().isNull();
            if (const auto *push = qobject_cast<const QPushButton *>(button))
                shown.defaultButton = push->isDefault();
        }
        shown.frame = box->frameGeometry();
        shown.screen = box->screen()->availableGeometry();
        QTest::keyClick(box, Qt::Key_Return);
    };
    QTimer::singleShot(0, read);
    runtime::msgBox(text);
    return shown;
}

} // namespace

class tst_Forms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpCounter(); }

    void lazyWindowLoadsHiddenOnFirstReference();
    void lazyWindowUnloadDestroysAndReloadsFresh();
    void showModalBlocksUntilUnloaded();
    void showModalRaisesActivateOncePerShow();
    void formClosingOnlyByUnloadRefusesCloseRequests();

    void messageBoxIsPlainOkOnlyAndFitsTheScreen_data();
    void messageBoxIsPlainOkOnlyAndFitsTheScreen();
    void windowIsCentredWithItsFrame_data();
    void windowIsCentredWithItsFrame();
};

void tst_Forms::lazyWindowLoadsHiddenOnFirstReference()
{
    runtime::LazyWindow<CountingForm> window;
    QCOMPARE(window.peek(), nullptr);

    CountingForm &first = window.get();
    QVERIFY(window.peek() != nullptr);
    QVERIFY(!first.isVisible());
    QCOMPARE(first.activations, 0);
    QCOMPARE(&window.get(), &first);
}

void tst_Forms::lazyWindowUnloadDestroysAndReloadsFresh()
{
    runtime::LazyWindow<CountingForm> window;
    auto *content = new QLabel(QStringLiteral("line"), &window.get());
    QPointer<CountingForm> old = &window.get();
    QPointer<QLabel> oldContent = content;

    window->unload();
    // The reference lets go at once; the window itself goes in the event loop.
    QVERIFY(window.peek() == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(old.isNull());
    QVERIFY(oldContent.isNull());

    CountingForm &fresh = window.get();
    QVERIFY(fresh.findChildren<QLabel *>().isEmpty());
}

void tst_Forms::showModalBlocksUntilUnloaded()
{
    runtime::LazyWindow<CountingForm> window;
    bool shownModal = false;
    bool blockedCaller = true;
    bool returned = false;
    QTimer::singleShot(0, [&] {
        shownModal = window.peek() != nullptr && window->isVisible() && window->isModal();
        blockedCaller = !returned;
        window->unload();
    });

    window->showModal();
    returned = true;

    QVERIFY(shownModal);
    QVERIFY(blockedCaller);
    QVERIFY(window.peek() == nullptr);
}

void tst_Forms::showModalRaisesActivateOncePerShow()
{
    CountingForm form;
    QTimer::singleShot(0, &form, [&] { form.hide(); });
    form.showModal();
    QCOMPARE(form.activations, 1);
    QTimer::singleShot(0, &form, [&] { form.hide(); });
    form.showModal();
    QCOMPARE(form.activations, 2);
}

void tst_Forms::formClosingOnlyByUnloadRefusesCloseRequests()
{
    CountingForm refusing;
    refusing.setClosesOnlyByUnload(true);
    refusing.show();
    QVERIFY(QTest::qWaitForWindowExposed(&refusing));
    refusing.windowHandle()->close();
    QCoreApplication::processEvents();
    QVERIFY(refusing.isVisible());

    CountingForm plain;
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    plain.windowHandle()->close();
    QCoreApplication::processEvents();
    QVERIFY(!plain.isVisible());
}

void tst_Forms::messageBoxIsPlainOkOnlyAndFitsTheScreen_data()
{
    QTest::addColumn<QString>("text");
    // The text on one line; a cut line shows a beginning of it and "…".
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("cut");

    const QString markup = QStringLiteral("<b>Preço</b> & <i>\"x\"</i>");
    QTest::newRow("markup is text") << markup << markup << false;
    const QString sentence = QStringLiteral("Não foi possível abrir a calculadora.");
    QTest::newRow("a sentence shows whole") << sentence << sentence << false;
    QTest::newRow("a 10,000-character word")
        << QString(10000, u'x') << QString(10000, u'x') << true;
    QTest::newRow("a pasted text of three lines")
        << QStringLiteral("12,50\nquinze\r\n\tcatorze") << QStringLiteral("12,50 quinze catorze")
        << false;
    QTest::newRow("a pasted text of 120 lines")
        << QStringList(120, QStringLiteral("7,50")).join(u'\n')
        << QStringList(120, QStringLiteral("7,50")).join(u' ') << true;
    QTest::newRow("direction overrides, isolates, marks and controls")
        << QStringLiteral("Preço \u202E05,7\u202C\u2066x\u2069\u200E\u0007\u009B fim")
        << QStringLiteral("Preço 05,7x fim") << false;
}

void tst_Forms::messageBoxIsPlainOkOnlyAndFitsTheScreen()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QFETCH(bool, cut);

    const ShownBox shown = showMessage(text);

    if (cut) {
        QVERIFY2(shown.text.endsWith(u'…'), qPrintable(shown.text));
        QVERIFY2(line.startsWith(shown.text.chopped(1)), qPrintable(shown.text));
        // Cut where the screen ends, not before.
        QVERIFY(shown.frame.width() > shown.screen.width() * 9 / 10);
    } else {
        QCOMPARE(shown.text, line);
    }
    QVERIFY(shown.lineFits);
    QVERIFY2(
        shown.screen.contains(shown.frame),
        qPrintable(QStringLiteral("%1x%2").arg(shown.frame.width()).arg(shown.frame.height())));
    QCOMPARE(shown.format, Qt::PlainText);
    QCOMPARE(shown.name, QStringLiteral("msgBox"));
    QCOMPARE(shown.title, QStringLiteral("Morvesta"));
    QCOMPARE(shown.buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!shown.buttonPicture);
    QVERIFY(shown.defaultButton);
}

void tst_Forms::windowIsCentredWithItsFrame_data()
{
    QTest::addColumn<bool>("movedWhenShown");

    QTest::newRow("centred before its first show") << false;
    QTest::newRow("moved once shown, stays") << true;
}

void tst_Forms::windowIsCentredWithItsFrame()
{
    QFETCH(bool, movedWhenShown);

    QWidget window;
    window.setFixedSize(417, 408);
    runtime::centreOnScreen(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->availableGeometry();
    // The window system draws a frame, or there is nothing to tell apart.
    QTRY_VERIFY(window.frameGeometry() != window.geometry());
    QTRY_COMPARE(window.frameGeometry().center(), screen.center());

    if (movedWhenShown) {
        const QPoint elsewhere = screen.topLeft() + QPoint(10, 20);
        window.move(elsewhere);
        QTRY_COMPARE(window.frameGeometry().topLeft(), elsewhere);
        QTest::qWait(20);
        QCOMPARE(window.frameGeometry().topLeft(), elsewhere);
    }
}

QTEST_MAIN(tst_Forms)
#include "tst_forms.moc"
