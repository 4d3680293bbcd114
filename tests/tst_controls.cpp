// The runtime's controls and their event rules, driven through real widgets:
// list selections that always raise their click, option buttons that clear
// silently, command buttons and their keys, the keyed toolbar and the status
// bar clock.

#include "testsupport.h"

#include "runtime/commandbutton.h"
#include "runtime/listcombo.h"
#include "runtime/optionbutton.h"
#include "runtime/statusbar.h"
#include "runtime/toolbar.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

using runtime::ListCombo;

namespace {

const QStringList kFive = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d"), QStringLiteral("e")};

// A list of the five entries, shown with the focus, at the position given.
std::unique_ptr<ListCombo> focusedList(ListCombo::Kind kind, int position)
{
    auto list = std::make_unique<ListCombo>(kind);
    list->addItems(kFive);
    list->setListIndex(position);
    list->show();
    list->setFocus();
    return list;
}

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

// A text field and the command button "&Pedido" in a window of their own.
struct ButtonWindow : QWidget
{
    ButtonWindow()
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(other);
        layout->addWidget(button);
    }
    QLineEdit *other = new QLineEdit(this);
    runtime::CommandButton *button = new runtime::CommandButton(QStringLiteral("&Pedido"), this);
};

} // namespace

class tst_Controls : public QObject
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
    void commandButtonKeys_data();
    void commandButtonKeys();

    void heldSpaceTypesIntoATextField();

    void toolbarRaisesButtonKeys();
    void statusBarShowsTodayAndNow();
    void statusBarCutsPanelsAtTheRightEdge();
};

void tst_Controls::listIndexFromCodeAlwaysRaisesClick_data()
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

void tst_Controls::listIndexFromCodeAlwaysRaisesClick()
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

void tst_Controls::listIndexOnEmptyListRaisesClick()
{
    ListCombo list(ListCombo::Kind::DropDownList);
    QSignalSpy clicks(&list, &ListCombo::click);
    list.setListIndex(-1);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(list.listIndex(), -1);
}

void tst_Controls::operatorPickRaisesClick()
{
    auto focused = focusedList(ListCombo::Kind::DropDownList, -1);
    ListCombo &list = *focused;
    QSignalSpy clicks(&list, &ListCombo::click);

    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.listIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.listIndex(), 1);
    QCOMPARE(clicks.count(), 2);
}

void tst_Controls::simpleComboKeepsTypedTextOutOfTheList()
{
    auto focused = focusedList(ListCombo::Kind::SimpleCombo, -1);
    ListCombo &list = *focused;

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

void tst_Controls::simpleComboUpDownMoveThroughHiddenList()
{
    auto focused = focusedList(ListCombo::Kind::SimpleCombo, -1);
    ListCombo &list = *focused;

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

void tst_Controls::simpleComboSelectionFromCodeReplacesTypedText()
{
    auto focused = focusedList(ListCombo::Kind::SimpleCombo, 2);
    ListCombo &list = *focused;
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

void tst_Controls::simpleComboHasNoPopup()
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

void tst_Controls::optionButtonClickSelectsAndClearsOthers()
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

void tst_Controls::optionButtonClearedFromCodeRaisesNothing()
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

void tst_Controls::accessKeyClicksAtOnce_data()
{
    QTest::addColumn<bool>("modal");

    QTest::newRow("in a plain window") << false;
    QTest::newRow("in a modal window") << true;
}

void tst_Controls::accessKeyClicksAtOnce()
{
    QFETCH(bool, modal);

    ButtonWindow window;
    if (modal)
        window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.other->setFocus();
    QSignalSpy clicked(window.button, &QAbstractButton::clicked);

    QTest::keyClick(window.other, Qt::Key_P, Qt::AltModifier);

    // Before the key press returns, and only once.
    QCOMPARE(clicked.count(), 1);
    QTest::qWait(300);
    QCOMPARE(clicked.count(), 1);
}

void tst_Controls::commandButtonKeys_data()
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

void tst_Controls::commandButtonKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, onButton);
    QFETCH(int, clicks);

    ButtonWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    runtime::CommandButton *button = window.button;
    QWidget *target = onButton ? static_cast<QWidget *>(button) : window.other;
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

void tst_Controls::heldSpaceTypesIntoATextField()
{
    QLineEdit field; // a held key acts once on a button or in a box only
    for (const bool repeat : {false, true, true})
        QTest::simulateEvent(&field, true, Qt::Key_Space, {}, QStringLiteral(" "), repeat);
    QCOMPARE(field.text(), QStringLiteral("   "));
}

void tst_Controls::toolbarRaisesButtonKeys()
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

void tst_Controls::statusBarShowsTodayAndNow()
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

void tst_Controls::statusBarCutsPanelsAtTheRightEdge()
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

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"
