#pragma once

// Shared pieces of the test executables: the regional setting, a recorder for
// the program's message boxes and lookups of controls by their design names.

#include "runtime/messagebox.h"
#include "runtime/program.h"

#include <QLocale>
#include <QStringList>
#include <QWidget>
#include <QtTest>

// Records every message box instead of showing it, for as long as it lives.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        runtime::setMessageHook([this](const QString &text) { messages.append(text); });
    }
    ~MessageRecorder() { runtime::setMessageHook({}); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList messages;
};

template <class T> T *control(const QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

// The counter's regional setting, unless a test sets another.
inline void useBrazilianPortuguese()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

// The program as main() sets it up, at the counter's regional setting.
inline void setUpCounter()
{
    runtime::setUpProgram();
    useBrazilianPortuguese();
}

inline void usePointLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
