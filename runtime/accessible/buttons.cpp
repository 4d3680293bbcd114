// The command buttons, the toolbar with its buttons and separators, and the
// option buttons; and the rule that a screen reader's actions reach only a
// control the operator could reach.

#include "accessible.h"

#include "runtime/commandbutton.h"
#include "runtime/optionbutton.h"
#include "runtime/text.h"
#include "runtime/toolbar.h"

#include <QApplication>
#include <QKeySequence>
#include <QTimer>
#include <QToolButton>

#include <chrono>

namespace runtime::accessible {

bool reachable(const QWidget *control)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return control->isVisible() && control->isEnabled() && (!modal || modal == control->window());
}

namespace {

// A button reads its accessible name, or else its caption.
QString buttonName(const QAbstractButton *button)
{
    const QString name = button->accessibleName();
    return name.isEmpty() ? withoutAccessMark(button->text()) : name;
}

class OptionButtonAccessible : public ControlAccessible
{
public:
    explicit OptionButtonAccessible(OptionButton *option)
        : ControlAccessible(option, QAccessible::RadioButton)
    {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? buttonName(option()) : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = option()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

protected:
    // Qt's toggle only checks the button; the operator's choice runs its
    // handler.
    void act(const QString &action) override
    {
        if (action == toggleAction() || action == pressAction())
            option()->click();
        else
            ControlAccessible::act(action);
    }

private:
    OptionButton *option() const { return static_cast<OptionButton *>(widget()); }
};

// The command buttons and the toolbar's buttons. A press clicks once the
// screen reader's call has returned, as Qt's push buttons do: a command that
// opens a box would otherwise hold the reader until the box is closed (Qt's
// tool buttons click within the call). The click is judged again when it
// comes: a press made just before another command opened a box or the
// summary does nothing behind it. A second press while the first is pending
// adds nothing.
class ButtonAccessible : public ControlAccessible
{
public:
    explicit ButtonAccessible(QAbstractButton *button)
        : ControlAccessible(button, QAccessible::PushButton)
    {
        // Shown pressed for as long as Qt's animated click shows it.
        m_pendingPress.setInterval(std::chrono::milliseconds(100));
        m_pendingPress.setSingleShot(true);
        m_pendingPress.callOnTimeout(button, [button] {
            button->setDown(false);
            if (reachable(button))
                button->click();
        });
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return buttonName(button());
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

protected:
    void act(const QString &action) override
    {
        if (action != pressAction()) {
            ControlAccessible::act(action);
        } else if (!m_pendingPress.isActive()) {
            button()->setDown(true);
            m_pendingPress.start();
        }
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }

    // Lives as long as the button: Qt drops a control's interface with it.
    QTimer m_pendingPress;
};

} // namespace

QAccessibleInterface *buttonInterface(QWidget *widget)
{
    if (qobject_cast<ToolBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    if (qobject_cast<ToolBar *>(widget->parentWidget())) {
        if (auto *button = qobject_cast<QToolButton *>(widget))
            return new ButtonAccessible(button);
        return new QAccessibleWidget(widget, QAccessible::Separator);
    }
    if (auto *button = qobject_cast<CommandButton *>(widget))
        return new ButtonAccessible(button);
    if (auto *option = qobject_cast<OptionButton *>(widget))
        return new OptionButtonAccessible(option);
    return nullptr;
}

} // namespace runtime::accessible
