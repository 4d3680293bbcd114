#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class QWindow;

// Plays keys as the window system delivers them, one step every 20 ms, so
// that the steps go on inside any box or summary a key opens. Each key goes
// to the window it is meant for, the box or summary that is up or else the
// main window, once the window system has given that window the focus (a
// busy machine or Wine takes its time); if it never does, the play stops and
// says so. Steps, separated by spaces:
//   "ret", "spc", "tab",    Enter, Space, Tab or Alt+letter pressed and
//   "a-p"...                released;
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

    void play(const QString &script, const std::function<void()> &checkout);

    bool done = false;
    int boxes = 0, summaries = 0;
    QString failure;

private:
    // A key event at the given time stamp (0: Qt's own), through the shortcut
    // map first, as the window system's events go.
    void addKey(bool press, int key, Qt::KeyboardModifiers modifiers, bool repeat, quint64 at);

    QWindow *meantFor() const;
    // Whether the window has the focus; ten seconds without it end the play.
    bool hasFocus(QWindow *window);
    bool answer();
    void next();

    QWidget *m_main;
    QList<std::function<bool()>> m_steps;
    qsizetype m_index = 0;
    // Time stamps of the keys played as X11 sends them, 20 ms apart.
    quint64 m_clock = 1'000'000'000;
    bool m_answered = false;
    int m_waits = 0;
    QElapsedTimer m_waiting;
};
