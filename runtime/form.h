#pragma once

// The program's windows. Each is a Form, which is also how a screen reader
// tells them from the menus and boxes Qt makes; a Form can be shown modally
// and unloaded, as the summary window is.
//
// showModal() shows the window, blocks the program's other windows and
// returns only when the window is hidden or unloaded. Showing the window
// makes it the program's active window and raises Form_Activate(); giving
// the focus back from another program does not.
//
// unload() ends a modal display, raises unloaded() and destroys the window
// with all its contents once control is back in the event loop (the handler
// that asked for it may still be running on one of its buttons).

#include <QPointer>
#include <QWidget>

#include <memory>

class QEventLoop;

namespace runtime {

class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(Qt::WindowFlags flags = Qt::Window);
    ~Form() override;

    void showModal();
    void unload();

    // Whether close requests (Alt+F4, a taskbar's close entry) are refused, so
    // that the window goes away only by unload().
    void setClosesOnlyByUnload(bool only) { m_closesOnlyByUnload = only; }

signals:
    void unloaded();

protected:
    virtual void Form_Activate() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QEventLoop *m_modalLoop = nullptr;
    bool m_closesOnlyByUnload = false;
    bool m_unloading = false;
};

// The window behind a design name: the first reference creates it, loaded and
// hidden; unloading destroys it; the next reference creates a fresh one.
template <class T> class LazyWindow
{
public:
    LazyWindow() = default;
    LazyWindow(const LazyWindow &) = delete;
    LazyWindow &operator=(const LazyWindow &) = delete;

    T &get()
    {
        if (!m_window) {
            m_window = std::make_unique<T>();
            // The window destroys itself after unload(); let go of it first.
            QObject::connect(m_window.get(), &Form::unloaded, m_window.get(),
                             [this] { static_cast<void>(m_window.release()); });
        }
        return *m_window;
    }
    T *operator->() { return &get(); }

    // The loaded window, without creating one.
    T *peek() const { return m_window.get(); }

private:
    std::unique_ptr<T> m_window;
};

} // namespace runtime
