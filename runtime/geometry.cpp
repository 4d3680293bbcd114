#include "geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace runtime {

namespace {

// The frame the window system draws around the window, null while unknown.
QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void centre(QWidget *window, const QMargins &frame)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect outside = window->geometry().marginsAdded(frame);
    outside.moveCenter(screen->availableGeometry().center());
    // Before the window is shown, Qt takes the position as the frame's; after,
    // move() places the frame too.
    window->move(outside.topLeft());
}

const QString kWatcherName = QStringLiteral("runtime_frameWatcher");

// Watches a window that was centred without its frame and centres it again
// on the first show, move or resize that finds the frame known.
class FrameWatcher : public QObject
{
public:
    explicit FrameWatcher(QWidget *window) : QObject(window)
    {
        setObjectName(kWatcherName);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMargins frame = frameMargins(window);
        if (frame.isNull())
            return false;
        window->removeEventFilter(this);
        deleteLater();
        centre(window, frame);
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget *window)
{
    const QMargins frame = frameMargins(window);
    centre(window, frame);
    if (frame.isNull() && !window->findChild<QObject *>(kWatcherName, Qt::FindDirectChildrenOnly))
        new FrameWatcher(window);
}

} // namespace runtime
