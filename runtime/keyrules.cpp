#include "keyrules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

namespace runtime {

namespace {

bool answersOrClicks(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space ||
           key == Qt::Key_Escape;
}

class HeldKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyRelease && watched->isWindowType()) {
            const auto *key = static_cast<const QKeyEvent *>(event);
            m_releasedKey = key->key();
            m_releasedAt = key->timestamp();
            return false;
        }
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (!repeats(*key))
            return false;
        // The focus widget accepting the override is what keeps a key from
        // the access keys; eating it keeps it from the widget as well.
        if (key->modifiers() & Qt::AltModifier) {
            key->accept();
            return true;
        }
        if (type != QEvent::KeyPress || !answersOrClicks(key->key()))
            return false;
        const auto *widget = qobject_cast<const QWidget *>(watched);
        if (!widget)
            return false;
        if (qobject_cast<const QAbstractButton *>(widget) ||
            qobject_cast<const QDialog *>(widget->window())) {
            key->accept();
            return true;
        }
        return false;
    }

private:
    // A held key repeats as a release and a press with the same time stamp
    // under X11, and Qt marks the pair as auto-repeated only when the press
    // has already been read when the release is handled.
    bool repeats(const QKeyEvent &key) const
    {
        return key.isAutoRepeat() || (key.timestamp() != 0 && key.timestamp() == m_releasedAt &&
                                      key.key() == m_releasedKey);
    }

    // The last key released, as the window system delivered it.
    int m_releasedKey = 0;
    quint64 m_releasedAt = 0;
};

} // namespace

void installHeldKeyRule()
{
    static QPointer<HeldKeyFilter> filter;
    if (filter || !qApp)
        return;
    filter = new HeldKeyFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace runtime
