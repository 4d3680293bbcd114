// The price lists with their text fields and the card number field: one line
// of text each, which a screen reader reads where it stands on the screen,
// so that its caret moves over the text as the operator sees it.

#include "accessible.h"

#include "runtime/listcombo.h"
#include "runtime/maskedit.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace runtime::accessible {

namespace {

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

// A control whose value is its line, which it also gives as its text.
class LineAccessible : public ControlAccessible, public LineText
{
public:
    using ControlAccessible::ControlAccessible;

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? line() : QAccessibleWidget::text(t);
    }
    using LineText::text;

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
};

// The name is the accessible name or the buddy label's caption, as for any
// other control; the value, and the text, is what the list shows (Qt's own
// combo box is named by its text on Linux, so seven lists would all read
// "combo box", and gives a screen reader no way to its value).
class ListComboAccessible : public LineAccessible
{
public:
    explicit ListComboAccessible(ListCombo *list) : LineAccessible(list, QAccessible::ComboBox) {}

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

// The price lists' text fields. A screen reader's edits go in as typed text.
class LineEditAccessible : public LineAccessible, public QAccessibleEditableTextInterface
{
public:
    explicit LineEditAccessible(QLineEdit *edit) : LineAccessible(edit, QAccessible::EditableText)
    {}

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
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return LineAccessible::interface_cast(type);
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
        if (reachable(edit()) && !edit()->isReadOnly())
            replace(start, end, text);
    }

protected:
    virtual void replace(int start, int end, const QString &text)
    {
        edit()->setSelection(start, end - start);
        edit()->insert(text);
    }
    QString line() const override { return edit()->displayText(); }
    void selectedRange(int *start, int *end) const override
    {
        *start = edit()->selectionStart() < 0 ? 0 : edit()->selectionStart();
        *end = *start + int(edit()->selectedText().size());
    }

    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
};

// The card number field reads what the operator entered, up to the last
// digit typed, not the prompts and fixed characters still to be filled; a
// screen reader's edits go in as a paste, only digits, into its digit
// positions.
class MaskEditAccessible : public LineEditAccessible
{
public:
    explicit MaskEditAccessible(MaskEdit *edit) : LineEditAccessible(edit) {}

protected:
    void replace(int start, int end, const QString &text) override
    {
        card()->replaceFromOutside(start, end, text);
    }
    QString line() const override { return card()->enteredText(); }

private:
    MaskEdit *card() const { return static_cast<MaskEdit *>(edit()); }
};

} // namespace

QAccessibleInterface *textInterface(QWidget *widget)
{
    if (auto *list = qobject_cast<ListCombo *>(widget))
        return new ListComboAccessible(list);
    if (auto *card = qobject_cast<MaskEdit *>(widget))
        return new MaskEditAccessible(card);
    if (auto *edit = qobject_cast<QLineEdit *>(widget);
        edit && qobject_cast<ListCombo *>(edit->parentWidget()))
        return new LineEditAccessible(edit);
    return nullptr;
}

} // namespace runtime::accessible
