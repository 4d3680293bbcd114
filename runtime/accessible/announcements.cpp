// What a focus change does to the text of the controls it leaves and enters
// (a price selected as the focus arrives and deselected as it leaves, the
// card field's mask written as it is entered) is not announced: it comes
// before the focus itself is announced, and a screen reader would speak it
// as a change of whatever it was reading, or take the new control for
// already announced. The announcement of the focus reads the control as
// the change left it. (On X11 a pop-up menu closing over a field gives the
// window, and so the field, the focus again, which is announced.)

#include "accessible.h"

#include <QApplication>
#include <QPointer>

namespace runtime::accessible {

namespace {

QPointer<QObject> &announcedFocus()
{
    static QPointer<QObject> focus;
    return focus;
}

bool sideEffectOfFocusChange(const QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        break;
    default:
        return false;
    }
    const QWidget *focus = QApplication::focusWidget();
    return focus && focus != announcedFocus();
}

void announce(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::Focus)
        announcedFocus() = event->object();
    else if (sideEffectOfFocusChange(event))
        return;
    // Qt hands an event to the screen reader itself only while no update
    // handler is installed, and has no other way to it: this one steps out
    // of the way for the delivery.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(announce);
}

} // namespace

void installAnnouncements()
{
    QAccessible::installUpdateHandler(announce);
}

} // namespace runtime::accessible
