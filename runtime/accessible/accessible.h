#pragma once

// The pieces of the program's accessibility (runtime/accessibility.h), one
// file each, as the factory dispatches to them: buttons.cpp (the command
// buttons, the toolbar and its buttons, option buttons), text.cpp (the price
// lists and their text fields, the card field), windows.cpp (the program's
// windows, frames, the status bar, the message box, named labels) and
// announcements.cpp (what a focus change lets a screen reader hear).

#include <QAccessibleWidget>
#include <QWidget>

namespace runtime::accessible {

// Whether a screen reader's action or edit may reach the control: only while
// the operator could reach it too, so not while it is hidden or disabled,
// nor while a box or another window of the program blocks its window.
bool reachable(const QWidget *control);

// The program's controls act on a screen reader's action as on the
// operator's, and only when the operator could.
class ControlAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    void doAction(const QString &action) override
    {
        if (reachable(widget()))
            act(action);
    }

protected:
    virtual void act(const QString &action) { QAccessibleWidget::doAction(action); }
};

// The program's interface for a widget of each file's kinds; null for a
// widget of any other kind.
QAccessibleInterface *buttonInterface(QWidget *widget);
QAccessibleInterface *textInterface(QWidget *widget);
QAccessibleInterface *windowInterface(QWidget *widget);

// Puts the focus announcements between Qt and the screen reader.
void installAnnouncements();

} // namespace runtime::accessible
