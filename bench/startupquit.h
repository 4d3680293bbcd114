#pragma once

// The start-up benchmarks end a program at the same point: once its window has
// been painted for the first time and the event loop has nothing left to do.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

class QuitWhenShownAndIdle : public QObject
{
public:
    explicit QuitWhenShownAndIdle(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};
