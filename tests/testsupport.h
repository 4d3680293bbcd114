#pragma once

// Shared pieces of the test executables: the regional setting, a recorder for
// the program's message boxes, lookups of controls by their design names and
// the main window as each test function finds it.

#include "app/frmmorvesta.h"
#include "runtime/messagebox.h"
#include "runtime/program.h"

#include <QLocale>
#include <QStringList>
#include <QWidget>
#include <QtTest>

class QListWidget;
class frmResumo;

#include <functional>
#include <memory>

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

// The entries of a list box, top to bottom.
QStringList entries(const QListWidget *list);

// Writes an executable file (a stand-in for a program the tests start).
bool writeProgram(const QString &path, const QByteArray &body);

// What the summary window showed while checkout held it up.
struct Shown
{
    bool visible = false;
    bool modal = false;
    bool mainBlocked = false;
    QString tipoPag, cartao, total;
    QStringList items;
};

// A fresh main window for each test function, with the program's message
// boxes recorded, its end counted instead of ending the test, and the PATH
// each test may change put back.
class MainWindowTest : public QObject
{
    Q_OBJECT

public:
    enum class Start { Hidden, Active };

protected:
    explicit MainWindowTest(Start start = Start::Active) : m_start(start) {}

    template <class T = QWidget> T *find(const QString &name) const
    {
        return control<T>(m_window.get(), name);
    }
    void click(const QString &name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void showActive();
    void typeCardNumber(const QString &digits) const;
    // Types text over what the price list of the slot holds.
    void typePrice(int slot, const QString &text) const;
    // Shows the summary through checkout and runs check while it is up.
    void withSummary(const std::function<void(frmResumo &)> &check);
    void pickBrand(int position) const;
    // Runs checkout, notes what the summary shows and closes it with "Sair".
    Shown checkOut(const std::function<void()> &route);

    std::unique_ptr<frmMorvesta> m_window;
    std::unique_ptr<MessageRecorder> m_messages;
    int m_ends = 0;

protected slots:
    void initTestCase();
    void init();
    void cleanup();

private:
    Start m_start;
    QByteArray m_savedPath;
};
