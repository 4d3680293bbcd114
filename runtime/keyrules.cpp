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
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
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
