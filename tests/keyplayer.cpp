#include "keyplayer.h"

#include "summary/frmresumo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

void KeyPlayer::play(const QString &script, const std::function<void()> &checkout)
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
            } else if (name == QLatin1String("tab")) {
                key = Qt::Key_Tab;
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

void KeyPlayer::addKey(bool press, int key, Qt::KeyboardModifiers modifiers, bool repeat,
                       quint64 at)
{
    m_steps.append([=, this] {
        const QString text = key == Qt::Key_Return  ? QStringLiteral("\r")
                             : key == Qt::Key_Space ? QStringLiteral(" ")
                             : key == Qt::Key_Tab   ? QStringLiteral("\t")
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

QWindow *KeyPlayer::meantFor() const
{
    const QWidget *modal = QApplication::activeModalWidget();
    return (modal ? modal : m_main)->windowHandle();
}

bool KeyPlayer::hasFocus(QWindow *window)
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

bool KeyPlayer::answer()
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

void KeyPlayer::next()
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
