// The program's windows, the frames and the status bar inside them, the
// message box, and the labels given a name.

#include "accessible.h"

#include "runtime/form.h"
#include "runtime/frame.h"
#include "runtime/messagebox.h"
#include "runtime/statusbar.h"

#include <QLabel>

namespace runtime::accessible {

namespace {

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

} // namespace

QAccessibleInterface *windowInterface(QWidget *widget)
{
    // The program's windows are plain widgets, which Qt reads as a client
    // area; a screen reader announces a window by its role. Menus and boxes
    // are windows too, but Qt reads those by their own roles.
    if (auto *form = qobject_cast<Form *>(widget); form && form->isWindow())
        return new FormAccessible(form);
    if (auto *frame = qobject_cast<Frame *>(widget))
        return new QAccessibleWidget(frame, QAccessible::Grouping, frame->title());
    if (qobject_cast<StatusBar *>(widget))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    if (qobject_cast<MessageBox *>(widget))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    if (auto *label = qobject_cast<QLabel *>(widget); label && !label->accessibleName().isEmpty())
        return new NamedLabelAccessible(label);
    return nullptr;
}

} // namespace runtime::accessible
