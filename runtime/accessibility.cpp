#include "accessibility.h"

#include "commandbutton.h"
#include "form.h"
#include "frame.h"
#include "listcombo.h"
#include "maskedit.h"
#include "messagebox.h"
#include "optionbutton.h"
#include "statusbar.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QKeySequence>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

namespace runtime {

namespace {

// A caption without its access mark ("&&" is a plain "&").
QString withoutAccessMark(QString caption)
{
    static const QRegularExpression accessMark(QStringLiteral("&(?!&)"));
    return caption.remove(accessMark);
}

// Whether a screen reader's action or edit may reach the control: only while
// the operator could reach it too, so not while it is hidden or disabled,
// nor while a box or another window of the program blocks its window.
bool reachable(const QWidget *control)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return control->isVisible() && control->isEnabled() && (!modal || modal == control->window());
}

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

// A control's text, one line of it, as a screen reader reads and walks it.
class LineText : public QAccessibleTextInterface
{
public:
    QString text(int start, int end) const override
    {
        return start <= end ? line().mid(start, end - start) : QString();
    }
    int characterCount() const override { return int(line().size()); }
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1)
            selectedRange(start, end);
    }
    int selectionCount() const override
    {
        int start = 0, end = 0;
        selectedRange(&start, &end);
        return start < end ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            setSelection(0, 0, 0);
    }
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    // The text has no attributes: one run over the whole line, which a
    // screen reader splits what it speaks by (an empty run makes it speak
    // none of the line).
    QString attributes(int offset, int *start, int *end) const override
    {
        const int count = characterCount();
        *start = offset >= 0 && offset < count ? 0 : offset;
        *end = offset >= 0 && offset < count ? count : offset;
        return {};
    }

protected:
    virtual QString line() const = 0;
    virtual void selectedRange(int *start, int *end) const { *start = *end = 0; }
};

class ListComboAccessible : public ControlAccessible, public LineText
{
public:
    explicit ListComboAccessible(ListCombo *list) : ControlAccessible(list, QAccessible::ComboBox)
    {}

    // The name is the accessible name or the buddy label's caption, as for
    // any other control; the value is what the list shows, which a screen
    // reader also reads as the list's text.
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? list()->text() : QAccessibleWidget::text(t);
    }
    using LineText::text;
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
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

protected:
    void act(const QString &action) override
    {
        if (action == showMenuAction() && !list()->isEditable())
            list()->view()->isVisible() ? list()->hidePopup() : list()->showPopup();
        else
            ControlAccessible::act(action);
    }
    QString line() const override { return list()->text(); }
    // A drop-down list with the focus has its entry selected, as it shows it
    // (a screen reader speaks a changed text that is selected).
    void selectedRange(int *start, int *end) const override
    {
        *start = 0;
        *end = !list()->isEditable() && list()->hasFocus() ? int(line().size()) : 0;
    }

private:
    ListCombo *list() const { return static_cast<ListCombo *>(widget()); }
};

class OptionButtonAccessible : public ControlAccessible
{
public:
    explicit OptionButtonAccessible(OptionButton *option)
        : ControlAccessible(option, QAccessible::RadioButton)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutAccessMark(option()->text());
        return QAccessibleWidget::text(t);
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
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutAccessMark(button()->text());
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
        if (action == pressAction())
            pressLater(button());
        else
            ControlAccessible::act(action);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }

    // Shown pressed for as long as Qt's animated click shows it.
    static void pressLater(QAbstractButton *button)
    {
        static const char pending[] = "morvestaPressPending";
        if (button->property(pending).toBool())
            return;
        button->setProperty(pending, true);
        button->setDown(true);
        QTimer::singleShot(100, button, [button] {
            button->setProperty(pending, false);
            button->setDown(false);
            if (reachable(button))
                button->click();
        });
    }
};

// The card number field and the price lists' text fields. A screen reader
// reads the text where it stands on the screen, so that its caret moves over
// the text as the operator sees it. Its edits go the way the operator's do: into a
// price as typed text, into the card field as a paste, only digits.
class LineEditAccessible : public ControlAccessible,
                           public LineText,
                           public QAccessibleEditableTextInterface
{
public:
    explicit LineEditAccessible(QLineEdit *edit)
        : ControlAccessible(edit, QAccessible::EditableText)
    {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? line() : QAccessibleWidget::text(t);
    }
    using LineText::text;
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override
    {
        if (reachable(edit()))
            edit()->setCursorPosition(position);
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0 && reachable(edit()))
            start < end ? edit()->setSelection(start, end - start) : edit()->deselect();
    }
    QRect characterRect(int offset) const override
    {
        // Where the caret would stand before the character, as wide as it.
        const QString ch = text(offset, offset + 1);
        if (ch.isEmpty())
            return {};
        const QFontMetrics metrics(edit()->font());
        const int before = metrics.horizontalAdvance(line().left(offset));
        const QRect field = edit()->contentsRect().marginsRemoved(edit()->textMargins());
        const QRect rect(field.left() + before, field.top(), metrics.horizontalAdvance(ch),
                         metrics.height());
        return QRect(edit()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        if (!reachable(edit()) || edit()->isReadOnly())
            return;
        if (auto *card = qobject_cast<MaskEdit *>(edit())) {
            card->replaceFromOutside(start, end, text);
            return;
        }
        edit()->setSelection(start, end - start);
        edit()->insert(text);
    }

protected:
    // The card field reads what the operator entered, not the prompts and
    // fixed characters still to be filled.
    QString line() const override
    {
        const auto *card = qobject_cast<const MaskEdit *>(edit());
        return card ? card->enteredText() : edit()->displayText();
    }
    void selectedRange(int *start, int *end) const override
    {
        *start = edit()->selectionStart() < 0 ? 0 : edit()->selectionStart();
        *end = *start + int(edit()->selectedText().size());
    }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
};

// The program's windows. A window shown modally is a dialog, and reads the
// labels that carry a name (the summary's payment line and total) as its
// text, which a screen reader speaks as the window opens.
class FormAccessible : public ControlAccessible
{
public:
    explicit FormAccessible(Form *form) : ControlAccessible(form, QAccessible::Window) {}

    QAccessible::Role role() const override
    {
        return widget()->isModal() ? QAccessible::Dialog : QAccessible::Window;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Description || !widget()->accessibleDescription().isEmpty())
            return QAccessibleWidget::text(t);
        QStringList lines;
        const auto labels = widget()->findChildren<QLabel *>();
        for (const QLabel *label : labels) {
            if (!label->accessibleName().isEmpty() && !label->text().isEmpty())
                lines << label->accessibleName() + u' ' + label->text().trimmed();
        }
        return lines.join(QLatin1String(". "));
    }
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
    if (auto *form = qobject_cast<Form *>(widget); form && form->isWindow())
        return new FormAccessible(form);
    if (auto *frame = qobject_cast<Frame *>(widget))
        return new QAccessibleWidget(frame, QAccessible::Grouping, frame->title());
    if (qobject_cast<ToolBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    if (qobject_cast<ToolBar *>(widget->parentWidget())) {
        if (auto *button = qobject_cast<QToolButton *>(widget))
            return new ButtonAccessible(button);
        return new QAccessibleWidget(widget, QAccessible::Separator);
    }
    if (auto *button = qobject_cast<CommandButton *>(widget))
        return new ButtonAccessible(button);
    if (qobject_cast<StatusBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    if (qobject_cast<MessageBox *>(widget))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    if (auto *list = qobject_cast<ListCombo *>(widget))
        return new ListComboAccessible(list);
    if (auto *edit = qobject_cast<QLineEdit *>(widget);
        edit && (qobject_cast<MaskEdit *>(edit) || qobject_cast<ListCombo *>(edit->parentWidget())))
        return new LineEditAccessible(edit);
    if (auto *option = qobject_cast<OptionButton *>(widget))
        return new OptionButtonAccessible(option);
    if (auto *label = qobject_cast<QLabel *>(widget); label && !label->accessibleName().isEmpty())
        return new NamedLabelAccessible(label);
    return nullptr;
}

// What a focus change does to the text of the controls it leaves and enters
// (a price selected as the focus arrives and deselected as it leaves, the
// card field's mask written as it is entered) is not announced: it comes
// before the focus itself is announced, and a screen reader would speak it
// as a change of whatever it was reading, or take the new control for
// already announced. The announcement of the focus reads the control as
// the change left it. (On X11 a pop-up menu closing over a field gives the
// window, and so the field, the focus again, which is announced.)
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
    // Qt's own delivery to the screen reader, with this hook out of its way.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(announce);
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        QAccessible::installUpdateHandler(announce);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace runtime
