// The runtime layer's rules, driven through real widgets: list selections
// that always raise their click, option buttons that clear silently, the
// masked edit box, lazily loaded modal forms, the message box, the keyed
// toolbar, the status bar clock, command buttons and program launch.

#include "testsupport.h"

#include "runtime/commandbutton.h"
#include "runtime/form.h"
#include "runtime/geometry.h"
#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/program.h"
#include "runtime/statusbar.h"
#include "runtime/toolbar.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QClipboard>
#include <QMimeData>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

using runtime::ListCombo;

namespace {

const QStringList kFive = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d"), QStringLiteral("e")};

// A form that counts its activations.
class CountingForm : public runtime::Form
{
public:
    int activations = 0;

protected:
    void Form_Activate() override { ++activations; }
};

// Two option buttons sharing a container, shown.
struct OptionGroup
{
    OptionGroup()
    {
        auto *layout = new QVBoxLayout(&container);
        layout->addWidget(first);
        layout->addWidget(second);
        container.show();
    }
    QWidget container;
    runtime::OptionButton *first = new runtime::OptionButton(QStringLiteral("one"), &container);
    runtime::OptionButton *second = new runtime::OptionButton(QStringLiteral("two"), &container);
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

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(body);
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class tst_Runtime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpCounter(); }

    void listIndexFromCodeAlwaysRaisesClick_data();
    void listIndexFromCodeAlwaysRaisesClick();
    void listIndexOnEmptyListRaisesClick();
    void operatorPickRaisesClick();
    void simpleComboKeepsTypedTextOutOfTheList();
    void simpleComboUpDownMoveThroughHiddenList();
    void simpleComboSelectionFromCodeReplacesTypedText();
    void simpleComboHasNoPopup();

    void optionButtonClickSelectsAndClearsOthers();
    void optionButtonClearedFromCodeRaisesNothing();

    void accessKeyClicksAtOnce_data();
    void accessKeyClicksAtOnce();
#ifndef Q_OS_WIN
    void calculatorSearchSkipsRelativeFolders_data();
    void calculatorSearchSkipsRelativeFolders();
#endif

    void maskStates_data();
    void maskStates();
    void maskRejectsNonDigits();
    void maskTakesAsciiDigitsOnly_data();
    void maskTakesAsciiDigitsOnly();
    void sameMaskAgainKeepsDigits();
    void otherMaskClearsDigits();
    void maskFocusSignalsFollowTheFocus();
    void enteringMaskedFieldTypesFromFirstBlank_data();
    void enteringMaskedFieldTypesFromFirstBlank();

    void lazyWindowLoadsHiddenOnFirstReference();
    void lazyWindowUnloadDestroysAndReloadsFresh();
    void showModalBlocksUntilUnloaded();
    void showModalRaisesActivateOncePerShow();
    void formClosingOnlyByUnloadRefusesCloseRequests();

    void messageBoxIsPlainOkOnlyAndFitsTheScreen_data();
    void messageBoxIsPlainOkOnlyAndFitsTheScreen();
    void windowIsCentredWithItsFrame_data();
    void windowIsCentredWithItsFrame();

    void toolbarRaisesButtonKeys();
    void statusBarShowsTodayAndNow();
    void statusBarCutsPanelsAtTheRightEdge();

    void commandButtonKeys_data();
    void commandButtonKeys();

    void launchStartsProgramDetached();
    void launchReportsWhatCannotStart_data();
    void launchReportsWhatCannotStart();
#ifdef Q_OS_WIN
    void calculatorIsTheSystemCalculator();
#else
    void calculatorIsFirstFoundOnPath();
#endif
};

void tst_Runtime::listIndexFromCodeAlwaysRaisesClick_data()
{
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    for (const bool simple : {false, true}) {
        const char *kind = simple ? "simple combo" : "drop-down list";
        QTest::addRow("%s: none to none", kind) << simple << -1 << -1;
        QTest::addRow("%s: none to first", kind) << simple << -1 << 0;
        QTest::addRow("%s: unchanged position", kind) << simple << 2 << 2;
        QTest::addRow("%s: position to none", kind) << simple << 3 << -1;
        QTest::addRow("%s: position to last", kind) << simple << 0 << 4;
    }
}

void tst_Runtime::listIndexFromCodeAlwaysRaisesClick()
{
    QFETCH(bool, simple);
    QFETCH(int, before);
    QFETCH(int, after);

    ListCombo list(simple ? ListCombo::Kind::SimpleCombo : ListCombo::Kind::DropDownList);
    list.addItems(kFive);
    list.setListIndex(before);
    QSignalSpy clicks(&list, &ListCombo::click);
    int seenIndex = -2;
    connect(&list, &ListCombo::click, &list, [&] { seenIndex = list.listIndex(); });

    list.setListIndex(after);

    QCOMPARE(clicks.count(), 1);
    // The handler already sees the new selection.
    QCOMPARE(seenIndex, after);
    QCOMPARE(list.text(), after == -1 ? QString() : kFive.at(after));
}

void tst_Runtime::listIndexOnEmptyListRaisesClick()
{
    ListCombo list(ListCombo::Kind::DropDownList);
    QSignalSpy clicks(&list, &ListCombo::click);
    list.setListIndex(-1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(list.listIndex(), -1);
}

void tst_Runtime::operatorPickRaisesClick()
{
    ListCombo list(ListCombo::Kind::DropDownList);
    list.addItems(kFive);
    list.setListIndex(-1);
    list.show();
    list.setFocus();
    QSignalSpy clicks(&list, &ListCombo::click);

    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.listIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.listIndex(), 1);
    QCOMPARE(clicks.count(), 2);
}

void tst_Runtime::simpleComboKeepsTypedTextOutOfTheList()
{
    ListCombo list(ListCombo::Kind::SimpleCombo);
    list.addItems(kFive);
    list.setListIndex(-1);
    list.show();
    list.setFocus();

    QTest::keyClicks(&list, QStringLiteral("ab"));
    QCOMPARE(list.text(), QStringLiteral("ab"));
    QTest::keyClick(&list, Qt::Key_Return);

    QCOMPARE(list.count(), 5);
    QCOMPARE(list.itemText(4), QStringLiteral("e"));
    QCOMPARE(list.text(), QStringLiteral("ab"));
    // Typing "a" must not complete to an entry either.
    list.lineEdit()->clear();
    QTest::keyClicks(&list, QStringLiteral("a"));
    QCOMPARE(list.text(), QStringLiteral("a"));
}

void tst_Runtime::simpleComboUpDownMoveThroughHiddenList()
{
    ListCombo list(ListCombo::Kind::SimpleCombo);
    list.addItems(kFive);
    list.setListIndex(-1);
    list.show();
    list.setFocus();

    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.text(), QStringLiteral("a"));
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.text(), QStringLiteral("c"));
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(list.text(), QStringLiteral("b"));
    QCOMPARE(list.listIndex(), 1);
    QCOMPARE(list.count(), 5);
}

void tst_Runtime::simpleComboSelectionFromCodeReplacesTypedText()
{
    ListCombo list(ListCombo::Kind::SimpleCombo);
    list.addItems(kFive);
    list.setListIndex(2);
    list.show();
    list.setFocus();
    list.lineEdit()->selectAll();
    QTest::keyClicks(&list, QStringLiteral("99"));
    QCOMPARE(list.text(), QStringLiteral("99"));

    list.setListIndex(2);
    QCOMPARE(list.text(), QStringLiteral("c"));

    list.lineEdit()->selectAll();
    QTest::keyClicks(&list, QStringLiteral("99"));
    list.setListIndex(-1);
    QCOMPARE(list.text(), QString());
}

void tst_Runtime::simpleComboHasNoPopup()
{
    ListCombo list(ListCombo::Kind::SimpleCombo);
    list.addItems(kFive);
    list.show();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_F4);
    QTest::keyClick(&list, Qt::Key_Down, Qt::AltModifier);
    list.showPopup();
    QVERIFY(!list.view()->isVisible());
}

void tst_Runtime::optionButtonClickSelectsAndClearsOthers()
{
    OptionGroup group;
    runtime::OptionButton *first = group.first;
    runtime::OptionButton *second = group.second;
    QSignalSpy secondClicks(second, &QAbstractButton::clicked);

    QTest::mouseClick(first, Qt::LeftButton);
    QVERIFY(first->value());
    QTest::mouseClick(second, Qt::LeftButton);
    QVERIFY(second->value());
    QVERIFY(!first->value());
    QCOMPARE(secondClicks.count(), 1);
}

void tst_Runtime::optionButtonClearedFromCodeRaisesNothing()
{
    OptionGroup group;
    runtime::OptionButton *first = group.first;
    runtime::OptionButton *second = group.second;
    QTest::mouseClick(first, Qt::LeftButton);
    QSignalSpy firstClicks(first, &QAbstractButton::clicked);
    QSignalSpy secondClicks(second, &QAbstractButton::clicked);

    first->setValue(false);

    QVERIFY(!first->value());
    QVERIFY(!second->value());
    QCOMPARE(firstClicks.count(), 0);
    QCOMPARE(secondClicks.count(), 0);
    // The group still works as a group afterwards.
    QTest::mouseClick(second, Qt::LeftButton);
    QTest::mouseClick(first, Qt::LeftButton);
    QVERIFY(first->value());
    QVERIFY(!second->value());
}

void tst_Runtime::accessKeyClicksAtOnce_data()
{
    QTest::addColumn<bool>("modal");

    QTest::newRow("in a plain window") << false;
    QTest::newRow("in a modal window") << true;
}

void tst_Runtime::accessKeyClicksAtOnce()
{
    QFETCH(bool, modal);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit;
    auto *button = new runtime::CommandButton(QStringLiteral("&Pedido"));
    layout->addWidget(other);
    layout->addWidget(button);
    if (modal)
        window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    QTest::keyClick(other, Qt::Key_P, Qt::AltModifier);

    // Before the key press returns, and only once.
    QCOMPARE(clicked.count(), 1);
    QTest::qWait(300);
    QCOMPARE(clicked.count(), 1);
}

#ifndef Q_OS_WIN
void tst_Runtime::calculatorSearchSkipsRelativeFolders_data()
{
    // "%abs" stands for a folder given by its absolute path.
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("found");

    QTest::newRow("current folder first") << QStringLiteral(".:%abs") << true;
    QTest::newRow("relative folder first") << QStringLiteral("bin:%abs") << true;
    QTest::newRow("relative entries only") << QStringLiteral(".:bin::") << false;
}

void tst_Runtime::calculatorSearchSkipsRelativeFolders()
{
    QFETCH(QString, path);
    QFETCH(bool, found);

    // Calculators in the current folder and below it, and one further down
    // the candidate list in an absolute folder.
    QTemporaryDir here, absolute;
    QVERIFY(QDir(here.path()).mkdir(QStringLiteral("bin")));
    QVERIFY(writeScript(here.filePath(QStringLiteral("gnome-calculator")), "#!/bin/sh\n"));
    QVERIFY(writeScript(here.filePath(QStringLiteral("bin/gnome-calculator")), "#!/bin/sh\n"));
    QVERIFY(writeScript(absolute.filePath(QStringLiteral("xcalc")), "#!/bin/sh\n"));

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

void tst_Runtime::maskStates_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("typing");
    QTest::addColumn<QString>("displayed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read"); // by a screen reader

    const QString digits = QStringLiteral("####.####.####.####");
    const QString blank(19, u' ');
    QTest::newRow("no mask, nothing typed")
        << QString() << QString() << QString() << QString() << QString();
    QTest::newRow("no mask takes any text")
        << QString() << QStringLiteral("abc 12") << QStringLiteral("abc 12")
        << QStringLiteral("abc 12") << QStringLiteral("abc 12");
    QTest::newRow("digit mask, nothing typed")
        << digits << QString() << QStringLiteral("____.____.____.____") << QString() << QString();
    QTest::newRow("digit mask, one digit")
        << digits << QStringLiteral("4") << QStringLiteral("4___.____.____.____")
        << QStringLiteral("4") << QStringLiteral("4");
    QTest::newRow("digit mask, four digits")
        << digits << QStringLiteral("1234") << QStringLiteral("1234.____.____.____")
        << QStringLiteral("1234") << QStringLiteral("1234");
    QTest::newRow("digit mask, a digit typed after two skipped")
        << digits << QStringLiteral("\u2192\u21927") << QStringLiteral("__7_.____.____.____")
        << QStringLiteral("7") << QStringLiteral("  7");
    QTest::newRow("digit mask, five digits cross a group")
        << digits << QStringLiteral("12345") << QStringLiteral("1234.5___.____.____")
        << QStringLiteral("12345") << QStringLiteral("1234.5");
    QTest::newRow("digit mask, complete number")
        << digits << QStringLiteral("4111111111111111") << QStringLiteral("4111.1111.1111.1111")
        << QStringLiteral("4111111111111111") << QStringLiteral("4111.1111.1111.1111");
    QTest::newRow("digit mask, seventeenth digit has no place")
        << digits << QStringLiteral("41111111111111119") << QStringLiteral("4111.1111.1111.1111")
        << QStringLiteral("4111111111111111") << QStringLiteral("4111.1111.1111.1111");
    QTest::newRow("blank mask shows blanks only")
        << blank << QStringLiteral("123") << blank << QString() << QString();
}

void tst_Runtime::maskStates()
{
    QFETCH(QString, mask);
    QFETCH(QString, typing);
    QFETCH(QString, displayed);
    QFETCH(QString, typed);
    QFETCH(QString, read);

    runtime::MaskEdit edit;
    edit.setPromptChar(u'_');
    edit.setMask(mask);
    edit.show();
    edit.setFocus();
    edit.home(false);
    for (const QChar c : typing) // an arrow is the Right key
        c == u'\u2192' ? QTest::keyClick(&edit, Qt::Key_Right) : QTest::keyClicks(&edit, c);

    QCOMPARE(edit.displayedText(), displayed);
    QCOMPARE(edit.typedChars(), typed);
    QAccessibleTextInterface *reader =
        QAccessible::queryAccessibleInterface(&edit)->textInterface();
    QCOMPARE(reader->text(0, reader->characterCount()), read);
}

void tst_Runtime::maskRejectsNonDigits()
{
    runtime::MaskEdit edit;
    edit.setMask(QStringLiteral("####.####.####.####"));
    edit.show();
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, QStringLiteral("a1-b2 .c"));
    QCOMPARE(edit.typedChars(), QStringLiteral("12"));
}

void tst_Runtime::maskTakesAsciiDigitsOnly_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("displayed");

    const QString none = QStringLiteral("____.____.____.____");
    for (const char *route : {"typing", "paste", "drop", "input method"}) {
        const QString how = QString::fromLatin1(route);
        QTest::addRow("%s: Arabic-Indic digits", route)
            << how << QStringLiteral("\u0664\u0661\u0661\u0661") << none;
        QTest::addRow("%s: full-width digits", route)
            << how << QStringLiteral("\uFF13\uFF13\uFF13\uFF13") << none;
        QTest::addRow("%s: Devanagari digits", route)
            << how << QStringLiteral("\u096A\u096A\u096A\u096A") << none;
        QTest::addRow("%s: digits 0 to 9", route)
            << how << QStringLiteral("4109") << QStringLiteral("4109.____.____.____");
    }
}

void tst_Runtime::maskTakesAsciiDigitsOnly()
{
    QFETCH(QString, route);
    QFETCH(QString, text);
    QFETCH(QString, displayed);

    runtime::MaskEdit edit;
    edit.setMinimumWidth(300);
    edit.setMask(QStringLiteral("####.####.####.####"));
    edit.show();
    edit.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    edit.home(false);

    if (route == QLatin1String("typing")) {
        // As a keyboard layout of that script types them.
        for (const QChar c : std::as_const(text))
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key(c.unicode()), QString(c), {});
    } else if (route == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    } else if (route == QLatin1String("drop")) {
        QMimeData data;
        data.setText(text);
        const QPoint at(2, edit.height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&edit, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&edit, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&edit, &drop);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(&edit, &commit);
    }

    QCOMPARE(edit.displayedText(), displayed);
}

void tst_Runtime::sameMaskAgainKeepsDigits()
{
    const QString digits = QStringLiteral("####.####.####.####");
    runtime::MaskEdit edit;
    edit.setMask(digits);
    edit.show();
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, QStringLiteral("123456"));
    edit.setMask(digits);
    QCOMPARE(edit.displayedText(), QStringLiteral("1234.56__.____.____"));
}

void tst_Runtime::otherMaskClearsDigits()
{
    runtime::MaskEdit edit;
    edit.setMask(QStringLiteral("####.####.####.####"));
    edit.show();
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, QStringLiteral("1234"));
    edit.setMask(QString(19, u' '));
    QCOMPARE(edit.typedChars(), QString());
    edit.setMask(QStringLiteral("####.####.####.####"));
    QCOMPARE(edit.displayedText(), QStringLiteral("____.____.____.____"));
}

void tst_Runtime::maskFocusSignalsFollowTheFocus()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit;
    auto *edit = new runtime::MaskEdit;
    layout->addWidget(before);
    layout->addWidget(edit);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QSignalSpy gained(edit, &runtime::MaskEdit::gotFocus);
    QSignalSpy lost(edit, &runtime::MaskEdit::lostFocus);

    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_COMPARE(gained.count(), 1);
    QCOMPARE(lost.count(), 0);
    QTest::keyClick(edit, Qt::Key_Backtab);
    QTRY_COMPARE(lost.count(), 1);
    QCOMPARE(gained.count(), 1);
}

void tst_Runtime::enteringMaskedFieldTypesFromFirstBlank_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::addColumn<QString>("already");
    QTest::addColumn<QString>("displayed");

    QTest::newRow("click, empty field")
        << true << QString() << QStringLiteral("5678.____.____.____");
    QTest::newRow("Tab, empty field")
        << false << QString() << QStringLiteral("5678.____.____.____");
    QTest::newRow("click, digits kept")
        << true << QStringLiteral("12345") << QStringLiteral("1234.5567.8___.____");
    QTest::newRow("Tab, digits kept")
        << false << QStringLiteral("12345") << QStringLiteral("1234.5567.8___.____");
}

void tst_Runtime::enteringMaskedFieldTypesFromFirstBlank()
{
    QFETCH(bool, byClick);
    QFETCH(QString, already);
    QFETCH(QString, displayed);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit;
    auto *edit = new runtime::MaskEdit;
    edit->setMinimumWidth(300);
    layout->addWidget(before);
    layout->addWidget(edit);
    // As the card number field does: the digit mask on every focus gain.
    connect(edit, &runtime::MaskEdit::gotFocus, edit,
            [edit] { edit->setMask(QStringLiteral("####.####.####.####")); });
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (!already.isEmpty()) {
        edit->setFocus();
        edit->home(false);
        QTest::keyClicks(edit, already);
    }
    before->setFocus();

    if (byClick)
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 5, edit->height() / 2));
    else
        QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("5678"));

    QCOMPARE(edit->displayedText(), displayed);
}

void tst_Runtime::lazyWindowLoadsHiddenOnFirstReference()
{
    runtime::LazyWindow<CountingForm> window;
    QCOMPARE(window.peek(), nullptr);

    CountingForm &first = window.get();
    QVERIFY(window.peek() != nullptr);
    QVERIFY(!first.isVisible());
    QCOMPARE(first.activations, 0);
    QCOMPARE(&window.get(), &first);
}

void tst_Runtime::lazyWindowUnloadDestroysAndReloadsFresh()
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

void tst_Runtime::showModalBlocksUntilUnloaded()
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

void tst_Runtime::showModalRaisesActivateOncePerShow()
{
    CountingForm form;
    QTimer::singleShot(0, &form, [&] { form.hide(); });
    form.showModal();
    QCOMPARE(form.activations, 1);
    QTimer::singleShot(0, &form, [&] { form.hide(); });
    form.showModal();
    QCOMPARE(form.activations, 2);
}

void tst_Runtime::formClosingOnlyByUnloadRefusesCloseRequests()
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

void tst_Runtime::messageBoxIsPlainOkOnlyAndFitsTheScreen_data()
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

void tst_Runtime::messageBoxIsPlainOkOnlyAndFitsTheScreen()
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

void tst_Runtime::windowIsCentredWithItsFrame_data()
{
    QTest::addColumn<bool>("movedWhenShown");

    QTest::newRow("centred before its first show") << false;
    QTest::newRow("moved once shown, stays") << true;
}

void tst_Runtime::windowIsCentredWithItsFrame()
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

void tst_Runtime::toolbarRaisesButtonKeys()
{
    runtime::ToolBar bar;
    QAction *calc = bar.addButton(QStringLiteral("Calculadora"), QStringLiteral("Calculadora"), {});
    QAction *nada = bar.addKeyedSeparator(QStringLiteral("nada"));
    QAction *exit = bar.addButton(QStringLiteral("Sair"), QStringLiteral("Sair"), {});
    bar.show();
    QSignalSpy keys(&bar, &runtime::ToolBar::buttonClick);

    QTest::mouseClick(bar.widgetForAction(exit), Qt::LeftButton);
    QTest::mouseClick(bar.widgetForAction(nada), Qt::LeftButton);
    QTest::mouseClick(bar.widgetForAction(calc), Qt::LeftButton);

    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.at(0).at(0).toString(), QStringLiteral("Sair"));
    QCOMPARE(keys.at(1).at(0).toString(), QStringLiteral("Calculadora"));
    QCOMPARE(runtime::ToolBar::key(nada), QStringLiteral("nada"));
    QCOMPARE(bar.button(QStringLiteral("Sair")), exit);
    QCOMPARE(bar.button(QStringLiteral("nada")), nullptr);
}

void tst_Runtime::statusBarShowsTodayAndNow()
{
    const QLocale locale;
    const QDateTime before = QDateTime::currentDateTime();
    runtime::StatusBar bar;
    QLabel *text = bar.addPanel(runtime::StatusBar::Panel::Text, 100, QStringLiteral("casa"));
    QLabel *date = bar.addPanel(runtime::StatusBar::Panel::Date, 80);
    QLabel *time = bar.addPanel(runtime::StatusBar::Panel::Time, 80);
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(text->text(), QStringLiteral("casa"));
    const auto shortDate = [&](const QDateTime &at) {
        return locale.toString(at.date(), QLocale::ShortFormat);
    };
    const auto shortTime = [&](const QDateTime &at) {
        return locale.toString(at.time(), QLocale::ShortFormat);
    };
    QVERIFY2(date->text() == shortDate(before) || date->text() == shortDate(after),
             qPrintable(date->text()));
    QVERIFY2(time->text() == shortTime(before) || time->text() == shortTime(after),
             qPrintable(time->text()));
    // pt_BR short forms: dd/MM/yyyy and HH:mm.
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"))
                .match(date->text())
                .hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(time->text()).hasMatch());
}

void tst_Runtime::statusBarCutsPanelsAtTheRightEdge()
{
    runtime::StatusBar bar;
    bar.resize(150, 25);
    QLabel *first = bar.addPanel(runtime::StatusBar::Panel::Text, 100);
    QLabel *second = bar.addPanel(runtime::StatusBar::Panel::Text, 100);
    QLabel *third = bar.addPanel(runtime::StatusBar::Panel::Text, 100);
    bar.show();

    QCOMPARE(first->width(), 100);
    QVERIFY(second->width() > 0 && second->width() < 100);
    QVERIFY(second->geometry().right() < bar.width());
    QVERIFY(!third->isVisible());
}

void tst_Runtime::commandButtonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("onButton");
    QTest::addColumn<int>("clicks");

    QTest::newRow("Enter on the focused button") << int(Qt::Key_Return) << 0 << true << 1;
    QTest::newRow("keypad Enter on the focused button") << int(Qt::Key_Enter) << 0 << true << 1;
    QTest::newRow("Space on the focused button") << int(Qt::Key_Space) << 0 << true << 1;
    QTest::newRow("Alt+access letter from elsewhere")
        << int(Qt::Key_P) << int(Qt::AltModifier) << false << 1;
    QTest::newRow("Enter elsewhere is no default button") << int(Qt::Key_Return) << 0 << false << 0;
    QTest::newRow("Escape is no cancel button") << int(Qt::Key_Escape) << 0 << false << 0;
    QTest::newRow("the letter alone does nothing") << int(Qt::Key_P) << 0 << false << 0;
}

void tst_Runtime::commandButtonKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, onButton);
    QFETCH(int, clicks);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit;
    auto *button = new runtime::CommandButton(QStringLiteral("&Pedido"));
    layout->addWidget(other);
    layout->addWidget(button);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *target = onButton ? static_cast<QWidget *>(button) : other;
    target->setFocus();
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // Nothing that did not click at once clicks later.
    QTest::qWait(clicks ? 0 : 300);
    QTRY_COMPARE(clicked.count(), clicks);
    // Qt marks a focused auto-default button as the default; no other is.
    if (!button->hasFocus())
        QVERIFY(!button->isDefault());
}

void tst_Runtime::launchStartsProgramDetached()
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

void tst_Runtime::launchReportsWhatCannotStart_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("no such file") << QStringLiteral("missing") << QByteArray();
    QTest::newRow("not a program")
        << QStringLiteral("text") << QByteArray("just some text\x01\x02");
    QTest::newRow("no path at all") << QString() << QByteArray();
}

void tst_Runtime::launchReportsWhatCannotStart()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);

    QTemporaryDir dir;
    QString path;
    if (!fileName.isEmpty()) {
        path = dir.filePath(fileName);
        if (!contents.isEmpty())
            QVERIFY(writeScript(path, contents));
    }
    QVERIFY(!runtime::launch(path));
}

#ifdef Q_OS_WIN
void tst_Runtime::calculatorIsTheSystemCalculator()
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
void tst_Runtime::calculatorIsFirstFoundOnPath()
{
    QTemporaryDir first, second;
    QVERIFY(writeScript(first.filePath(QStringLiteral("xcalc")), "#!/bin/sh\n"));
    QVERIFY(writeScript(second.filePath(QStringLiteral("galculator")), "#!/bin/sh\n"));
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

#endif

QTEST_MAIN(tst_Runtime)
#include "tst_runtime.moc"
