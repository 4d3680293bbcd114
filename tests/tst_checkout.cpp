// Payment entry, checkout and the routes to the four commands, driven through
// the main window as the operator uses it.

#include "testsupport.h"

#include "app/frmmorvesta.h"
#include "summary/frmresumo.h"

#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/program.h"
#include "runtime/toolbar.h"

#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRawFont>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/qtestspontaneevent.h>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <tlhelp32.h>

namespace {

// The ids of the running processes with that executable name.
QList<DWORD> processesNamed(const wchar_t *name)
{
    QList<DWORD> ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) == 0)
            ids.append(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// The processes with that executable name that are not among before.
QList<DWORD> startedSince(const QList<DWORD> &before, const wchar_t *name)
{
    QList<DWORD> started;
    for (DWORD id : processesNamed(name)) {
        if (!before.contains(id))
            started.append(id);
    }
    return started;
}

void endProcesses(const QList<DWORD> &ids)
{
    for (DWORD id : ids) {
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
}

} // namespace
#endif

using runtime::ListCombo;

namespace {

const QString kBlank(19, u' ');
const QString kDigitMask = QStringLiteral("####.####.####.####");

// What the summary window showed while checkout held it up.
struct Shown
{
    bool visible = false;
    bool modal = false;
    bool mainBlocked = false;
    QString tipoPag, cartao, total;
    QStringList items;
};

// A control as a screen reader reads it: role, name, description and the
// same of its entries, but for the entries of a list.
QString readOut(QObject *object)
{
    QAccessibleInterface *control = QAccessible::queryAccessibleInterface(object);
    const QAccessible::Role role = control->role();
    QStringList read{QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role)),
                     control->text(QAccessible::Name), control->text(QAccessible::Description)};
    const bool list = role == QAccessible::ComboBox || role == QAccessible::List;
    for (int i = 0; !list && i < control->childCount(); ++i)
        read << readOut(control->child(i)->object());
    for (int i = 0; i < control->childCount(); ++i) // a reader goes back by these indexes
        if (control->indexOfChild(control->child(i)) != i)
            read << QStringLiteral("child %1 misplaced").arg(i);
    return read.join(u'|');
}

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

// Plays keys as the window system delivers them, one step every 20 ms, so
// that the steps go on inside any box or summary a key opens. Each key goes
// to the window it is meant for, the box or summary that is up or else the
// main window, once the window system has given that window the focus (a
// busy machine or Wine takes its time); if it never does, the play stops and
// says so. Steps, separated by spaces:
//   "ret", "spc", "a-p"...  Enter, Space or Alt+letter pressed and released;
//   "ret~", "a-c~"...       the same held down: repeated eight times before the
//                           release, each repeat a release and a press marked
//                           as repeated;
//   "ret=", "a-c="...       the same as X11 sends it to Qt: the repeated release
//                           and press share a time stamp and are not marked;
//   "tlb-total"             checkout from the toolbar;
//   "!"                     answers what is open, once it is: Enter on a
//                           box, Sair on the summary.
class KeyPlayer : public QObject
{
public:
    explicit KeyPlayer(QWidget *main) : m_main(main) {}

    void play(const QString &script, const std::function<void()> &checkout)
    {
        for (const QString &token : script.split(u' ', Qt::SkipEmptyParts)) {
            if (token == QLatin1String("!")) {
                m_steps.append([this] { return answer(); });
            } else if (token == QLatin1String("tlb-total")) {
                m_steps.append([checkout] { return checkout(), true; });
            } else {
                const QChar last = token.back();
                const bool held = last == u'~' || last == u'=';
                const bool marked = last == u'~';
                const QString name = held ? token.chopped(1) : token;
                int key = Qt::Key_Return;
                Qt::KeyboardModifiers modifiers;
                if (name == QLatin1String("spc")) {
                    key = Qt::Key_Space;
                } else if (name.startsWith(QLatin1String("a-"))) {
                    key = Qt::Key_A + (name.at(2).unicode() - u'a');
                    modifiers = Qt::AltModifier;
                }
                addKey(true, key, modifiers, false, (m_clock += 20));
                for (int i = 0; held && i < 8; ++i) {
                    const quint64 at = marked ? 0 : (m_clock += 20);
                    addKey(false, key, modifiers, marked, at);
                    addKey(true, key, modifiers, marked, at);
                }
                addKey(false, key, modifiers, false, (m_clock += 20));
            }
        }
        QTimer::singleShot(0, this, &KeyPlayer::next);
    }

    bool done = false;
    int boxes = 0, summaries = 0;
    QString failure;

private:
    // A key event at the given time stamp (0: Qt's own), through the shortcut
    // map first, as the window system's events go.
    void addKey(bool press, int key, Qt::KeyboardModifiers modifiers, bool repeat, quint64 at)
    {
        m_steps.append([=, this] {
            const QString text = key == Qt::Key_Return  ? QStringLiteral("\r")
                                 : key == Qt::Key_Space ? QStringLiteral(" ")
                                                        : QString(QChar(u'a' + key - Qt::Key_A));
            QWindow *window = meantFor();
            if (!hasFocus(window))
                return false;
            if (at == 0) {
                QTest::simulateEvent(window, press, key, modifiers, text, repeat);
                return true;
            }
            if (press && qt_sendShortcutOverrideEvent(window, at, key, modifiers, text, repeat))
                return true;
            QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers, text,
                            repeat);
            event.setTimestamp(at);
            QSpontaneKeyEvent::setSpontaneous(&event);
            qApp->notify(window, &event);
            return true;
        });
    }

    QWindow *meantFor() const
    {
        const QWidget *modal = QApplication::activeModalWidget();
        return (modal ? modal : m_main)->windowHandle();
    }

    // Whether the window has the focus; ten seconds without it end the play.
    bool hasFocus(QWindow *window)
    {
        if (QGuiApplication::focusWindow() == window) {
            m_waiting.invalidate();
            return true;
        }
        // When a window of the program closes, the window manager gives the
        // focus back to the main window.
        if (!QGuiApplication::focusWindow() && window == m_main->windowHandle())
            m_main->activateWindow();
        if (!m_waiting.isValid())
            m_waiting.start();
        else if (m_waiting.hasExpired(10000))
            failure = window->objectName() + QStringLiteral(" never got the focus");
        return false;
    }

    bool answer()
    {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            m_answered = true;
            if (auto *summary = qobject_cast<frmResumo *>(modal)) {
                ++summaries;
                QTest::mouseClick(summary->ui().cmdSair, Qt::LeftButton);
            } else if (hasFocus(modal->windowHandle())) {
                ++boxes;
                for (const bool press : {true, false})
                    QTest::simulateEvent(modal->windowHandle(), press, Qt::Key_Return, {},
                                         QStringLiteral("\r"), false);
            }
            return false;
        }
        // Whatever was going to open has had a second to do it.
        if (m_answered || ++m_waits > 50) {
            m_answered = false;
            m_waits = 0;
            return true;
        }
        return false;
    }

    void next()
    {
        if (m_index >= m_steps.size() || !failure.isEmpty()) {
            done = true;
            return;
        }
        const qsizetype step = m_index++;
        QTimer::singleShot(20, this, &KeyPlayer::next);
        if (!m_steps[step]())
            m_index = step;
    }

    QWidget *m_main;
    QList<std::function<bool()>> m_steps;
    qsizetype m_index = 0;
    // Time stamps of the keys played as X11 sends them, 20 ms apart.
    quint64 m_clock = 1'000'000'000;
    bool m_answered = false;
    int m_waits = 0;
    QElapsedTimer m_waiting;
};

} // namespace

class tst_Checkout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

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
    void screenReaderReadsEveryControl_data();
    void screenReaderReadsEveryControl();
    void windowsLookAsTheirReferences();

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
    template <class T = QWidget> T *find(const QString &name) const
    {
        return control<T>(m_window.get(), name);
    }
    void click(const QString &name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void typeCardNumber(const QString &digits) const;
    void pickBrand(int position) const;
    // Runs checkout, notes what the summary shows and closes it with "Sair".
    Shown checkOut(const std::function<void()> &route);
    // Plays script (KeyPlayer) with the focus on the named control, real
    // boxes shown, and a calculator that opens no window. What ran, as
    // "P1 T0 C0 R0 B1 S0": clicks of Pedido, Total, Calculadora and Sair on
    // the main window, boxes and summaries the player had to answer.
    QString playKeys(const QString &focus, const QString &script);

    std::unique_ptr<frmMorvesta> m_window;
    std::unique_ptr<MessageRecorder> m_messages;
    QByteArray m_savedPath;
    int m_ends = 0;
};

void tst_Checkout::initTestCase()
{
    setUpCounter();
    m_savedPath = qgetenv("PATH");
    runtime::setEndHook([this] { ++m_ends; });
}

void tst_Checkout::init()
{
    m_ends = 0;
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<frmMorvesta>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_Checkout::cleanup()
{
    m_window.reset();
    m_messages.reset();
    qputenv("PATH", m_savedPath);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Checkout::typeCardNumber(const QString &digits) const
{
    auto *card = find<runtime::MaskEdit>(QStringLiteral("mskCard"));
    QTest::mouseClick(card, Qt::LeftButton);
    QTRY_VERIFY(card->hasFocus());
    QTest::keyClicks(card, digits);
}

void tst_Checkout::pickBrand(int position) const
{
    auto *brands = find<ListCombo>(QStringLiteral("cmbCard"));
    brands->setFocus();
    for (int step = 0; step < 8 && brands->listIndex() != position; ++step)
        QTest::keyClick(brands, Qt::Key_Down);
    QCOMPARE(brands->listIndex(), position);
}

Shown tst_Checkout::checkOut(const std::function<void()> &route)
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

void tst_Checkout::paymentChoiceSetsCardFields_data()
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

void tst_Checkout::paymentChoiceSetsCardFields()
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

void tst_Checkout::cardNumberFieldMaskFollowsFocus_data()
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

void tst_Checkout::cardNumberFieldMaskFollowsFocus()
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

void tst_Checkout::cardNumberGoesInButNeverOut_data()
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

void tst_Checkout::cardNumberGoesInButNeverOut()
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

void tst_Checkout::focusBackFromOurWindowsIsAGain_data()
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

void tst_Checkout::focusBackFromOurWindowsIsAGain()
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

void tst_Checkout::checkoutWritesPayment_data()
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

void tst_Checkout::checkoutWritesPayment()
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

void tst_Checkout::checkoutResetsMainWindow()
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

void tst_Checkout::checkoutBlocksUntilSummaryCloses()
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

void tst_Checkout::twoOrdersInARow()
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

void tst_Checkout::screenReaderReadsEveryControl_data()
{
    QTest::addColumn<QString>("control"); // a design name; on the summary after a "/"
    QTest::addColumn<QString>("reads");
    const char *rows[][2] = {
        {"Frame1", "Grouping|Tipo||RadioButton|Inteira||RadioButton|1/2 - 1/2||RadioButton|3/3|"},
        {"Frame3", "Grouping|Sabor||ComboBox|Sabor 1||ComboBox|Sabor 2||ComboBox|Sabor 3|"},
        {"Frame4", "Grouping|Preço||ComboBox|Preço 1||ComboBox|Preço 2||ComboBox|Preço 3|"},
        {"Frame2",
         "Grouping|Pagamento||RadioButton|Dinheiro||RadioButton|Cheque||RadioButton|Cartão|"},
        {"cmbCard", "ComboBox|Cartão|"},
        {"mskCard", "EditableText|Número|"},
        {"cmdSair", "Button|Sair|"},
        {"tlbFerramentas", "ToolBar|||Button|Calculadora|Calculadora|Separator|||Button|Pedido|"
                           "Pedido|Button|Total|Total|Separator|||Button|Sair|Sair"},
        {"sbMorvesta", "StatusBar|||StaticText|Morvesta Turo Velmura||StaticText|%1||StaticText|"
                       "%2||StaticText||"},
        {"/lstItem", "List|Pizza|"},
        {"/lstValor", "List|Preço|"},
        {"/lblTipoPag", "StaticText|Pagamento|Dinheiro"},
        {"/lblVrTot", "StaticText|Total|5,9"},
        {"msgBox", "AlertMessage|Morvesta||StaticText|Pedido Cadastrado||Button|OK|"},
        {"mnuPop", "PopupMenu|||MenuItem|Calculadora||MenuItem|Pedido||MenuItem|Total||"
                   "Separator|||MenuItem|Sair|"}};
    for (const auto &[control, reads] : rows)
        QTest::newRow(control) << QString::fromUtf8(control) << QString::fromUtf8(reads);
}

void tst_Checkout::screenReaderReadsEveryControl()
{
    QFETCH(QString, control);
    QFETCH(QString, reads);
    QString read; // the box and the summary are read while they are up
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *resumo = qobject_cast<frmResumo *>(modal))
            read = readOut(::control<QWidget>(resumo, control.mid(1))), resumo->cmdSair_Click();
        else if (auto *box = qobject_cast<QDialog *>(modal))
            read = readOut(box), box->accept();
    });
    poll.start(5);
    if (control == QLatin1String("msgBox"))
        m_messages.reset();
    for (const char *name : {"optTipoMeia", "optPagDin", "cmdPedido"})
        click(QString::fromLatin1(name));
    if (control.startsWith(u'/'))
        click(QStringLiteral("cmdTotal"));
    m_window->mnuPop(); // made on first use
    const QList<QLabel *> panels = find(QStringLiteral("sbMorvesta"))->findChildren<QLabel *>();
    QCOMPARE(read.isEmpty() ? readOut(find(control)) : read,
             reads.replace(QLatin1String("%1"), panels[1]->text())
                 .replace(QLatin1String("%2"), panels[2]->text()));
}

void tst_Checkout::windowsLookAsTheirReferences()
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

QString tst_Checkout::playKeys(const QString &focus, const QString &script)
{
    m_messages.reset();
    QTemporaryDir dir;
    const QString calculator = dir.filePath(QStringLiteral("galculator"));
    QFile stub(calculator);
    if (!stub.open(QIODevice::WriteOnly))
        return QStringLiteral("no calculator");
    stub.write("#!/bin/sh\n");
    stub.close();
    stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

void tst_Checkout::heldKeyActsOnce_data()
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
    QTest::newRow("Alt+C held") << price << QStringLiteral("a-c~ !")
                                << QStringLiteral("P0 T0 C1 R0 B0 S0");
    QTest::newRow("Alt+C held, X11")
        << price << QStringLiteral("a-c= !") << QStringLiteral("P0 T0 C1 R0 B0 S0");
    QTest::newRow("Alt+R held on the summary, X11")
        << price << QStringLiteral("tlb-total a-r= !") << QStringLiteral("P0 T0 C0 R0 B0 S0");
}

void tst_Checkout::heldKeyActsOnce()
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

void tst_Checkout::accessKeyNeverActsBehindABox_data()
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

void tst_Checkout::accessKeyNeverActsBehindABox()
{
    QFETCH(QString, keys);
    QFETCH(QString, ran);

    QCOMPARE(playKeys(QStringLiteral("cmbValor1"), keys), ran);
    QCOMPARE(m_ends, 0);
}

void tst_Checkout::everyRouteReachesItsCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("route");

    for (const char *command : {"Calculadora", "Pedido", "Total", "Sair"}) {
        for (const char *route : {"button", "toolbar", "menu", "access key", "Enter"})
            QTest::addRow("%s by %s", command, route)
                << QString::fromLatin1(command) << QString::fromLatin1(route);
    }
}

void tst_Checkout::everyRouteReachesItsCommand()
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

void tst_Checkout::toolbarKeysAreExact_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("lower case") << QStringLiteral("pedido");
    QTest::newRow("upper case") << QStringLiteral("SAIR");
    QTest::newRow("mixed case") << QStringLiteral("CalCuladora");
    QTest::newRow("trailing space") << QStringLiteral("Total ");
    QTest::newRow("empty key") << QString();
    QTest::newRow("separator key") << QStringLiteral("nada");
}

void tst_Checkout::toolbarKeysAreExact()
{
    QFETCH(QString, key);
    qputenv("PATH", QByteArray("/nonexistent"));
    click(QStringLiteral("optTipoInt"));

    m_window->tlbFerramentas_ButtonClick(key);

    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_ends, 0);
    QCOMPARE(m_window->loadedResumo(), nullptr);
}

void tst_Checkout::rightPressOpensMenuOnBareSurfaceOnly_data()
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

void tst_Checkout::rightPressOpensMenuOnBareSurfaceOnly()
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

void tst_Checkout::menuEntryChosenWithRightButton()
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

void tst_Checkout::calculatorLaunchesEveryTime()
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
    const QString calculator = dir.filePath(QStringLiteral("galculator"));
    QFile script(calculator);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho run >> \"" + marker.toLocal8Bit() + "\"\nsleep 1\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
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

void tst_Checkout::calculatorThatCannotStartKeepsTheOrder_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("no calculator installed") << false;
    QTest::newRow("calculator is not a program") << true;
}

void tst_Checkout::calculatorThatCannotStartKeepsTheOrder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows always has its calculator in its system folder; a program that cannot start "
          "is tried by launchReportsWhatCannotStart");
#endif
    QFETCH(bool, present);

    QTemporaryDir dir;
    if (present) {
        QFile broken(dir.filePath(QStringLiteral("gnome-calculator")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x7f"
                     "ELF not really\n");
        broken.close();
        QVERIFY(broken.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
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

QTEST_MAIN(tst_Checkout)
#include "tst_checkout.moc"
