// The masked edit box: its mask and prompts, what it takes by every route,
// what a screen reader reads of it and where the caret stands as it is
// entered.

#include "testsupport.h"

#include "runtime/maskedit.h"

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QVBoxLayout>

class tst_MaskEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpCounter(); }

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
};

void tst_MaskEdit::maskStates_data()
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

void tst_MaskEdit::maskStates()
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
    reader->addSelection(0, reader->characterCount()); // selected, and taken back
    reader->removeSelection(1);
    QCOMPARE(reader->selectionCount(), read.isEmpty() ? 0 : 1);
    reader->removeSelection(0);
    QCOMPARE(reader->selectionCount(), 0);
}

void tst_MaskEdit::maskRejectsNonDigits()
{
    runtime::MaskEdit edit;
    edit.setMask(QStringLiteral("####.####.####.####"));
    edit.show();
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, QStringLiteral("a1-b2 .c"));
    QCOMPARE(edit.typedChars(), QStringLiteral("12"));
}

void tst_MaskEdit::maskTakesAsciiDigitsOnly_data()
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

void tst_MaskEdit::maskTakesAsciiDigitsOnly()
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

void tst_MaskEdit::sameMaskAgainKeepsDigits()
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

void tst_MaskEdit::otherMaskClearsDigits()
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

void tst_MaskEdit::maskFocusSignalsFollowTheFocus()
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

void tst_MaskEdit::enteringMaskedFieldTypesFromFirstBlank_data()
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
    QTest::newRow("Tab, full field keeps its number")
        << false << QStringLiteral("4111111111111111") << QStringLiteral("4111.1111.1111.1111");
}

void tst_MaskEdit::enteringMaskedFieldTypesFromFirstBlank()
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

QTEST_MAIN(tst_MaskEdit)
#include "tst_maskedit.moc"
