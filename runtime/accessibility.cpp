#include "accessibility.h"

#include "form.h"
#include "frame.h"
#include "listcombo.h"
#include "messagebox.h"
#include "optionbutton.h"
#include "statusbar.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

namespace runtime {

namespace {

class ListComboAccessible : public QAccessibleWidget
{
public:
    explicit ListComboAccessible(ListCombo *list) : QAccessibleWidget(list, QAccessible::ComboBox)
    {}

    // The name is the accessible name or the buddy label's caption, as for
    // any other control; the value is what the list shows.
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? list()->text() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = !list()->isEditable();
        state.expanded = state.expandable && list()->view()->isVisible();
        return state;
    }

    // The pop-up list first, then the text field of a list that has one.
    int childCount() const override { return list()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->isEditable())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child->object() == list()->view())
            return 0;
        return list()->isEditable() && child->object() == list()->lineEdit() ? 1 : -1;
    }
    // The list keeps the focus for its text field.
    QAccessibleInterface *focusChild() const override { return child(1); }

    QStringList actionNames() const override
    {
        return list()->isEditable()
                   ? QAccessibleWidget::actionNames()
                   : QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() && !list()->isEditable() && list()->isEnabled())
            list()->view()->isVisible() ? list()->hidePopup() : list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ListCombo *list() const { return static_cast<ListCombo *>(widget()); }
};

class OptionButtonAccessible : public QAccessibleWidget
{
public:
    explicit OptionButtonAccessible(OptionButton *option)
        : QAccessibleWidget(option, QAccessible::RadioButton)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        // The caption without its access mark ("&&" is a plain "&").
        static const QRegularExpression accessMark(QStringLiteral("&(?!&)"));
        return option()->text().remove(accessMark);
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
    void doAction(const QString &action) override
    {
        if ((action == toggleAction() || action == pressAction()) && option()->isEnabled())
            option()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    OptionButton *option() const { return static_cast<OptionButton *>(widget()); }
};

// Qt's tool buttons click within a screen reader's call; a command that
// opens a box would hold the reader until the box is closed. These click
// once the call has returned, as Qt's push buttons do.
class ToolBarButtonAccessible : public QAccessibleWidget
{
public:
    explicit ToolBarButtonAccessible(QToolButton *button)
        : QAccessibleWidget(button, QAccessible::PushButton)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (button()->isEnabled())
            button()->animateClick();
    }

private:
    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

class NamedLabelAccessible : public QAccessibleWidget
{
public:
    explicit NamedLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text t) const override
    {
        const QString shown = static_cast<QLabel *>(widget())->text();
        if (t == QAccessible::Value ||
            (t == QAccessible::Description && widget()->accessibleDescription().isEmpty()))
            return shown;
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    // Qt asks once for each class of the object's ancestry, the object's own
    // first; only that first question is answered here.
    if (!object || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // The program's windows are plain widgets, which Qt reads as a client
    // area; a screen reader announces a window by its role. Menus and boxes
    // are windows too, but Qt reads those by their own roles.
    if (widget->isWindow() && qobject_cast<Form *>(widget))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (auto *frame = qobject_cast<Frame *>(widget))
        return new QAccessibleWidget(frame, QAccessible::Grouping, frame->title());
    if (qobject_cast<ToolBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    if (qobject_cast<ToolBar *>(widget->parentWidget())) {
        if (auto *button = qobject_cast<QToolButton *>(widget))
            return new ToolBarButtonAccessible(button);
        return new QAccessibleWidget(widget, QAccessible::Separator);
    }
    if (qobject_cast<StatusBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    if (qobject_cast<MessageBox *>(widget))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    if (auto *list = qobject_cast<ListCombo *>(widget))
        return new ListComboAccessible(list);
    if (auto *option = qobject_cast<OptionButton *>(widget))
        return new OptionButtonAccessible(option);
    if (auto *label = qobject_cast<QLabel *>(widget); label && !label->accessibleName().isEmpty())
        return new NamedLabelAccessible(label);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace runtime
