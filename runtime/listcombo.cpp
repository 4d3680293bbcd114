#include "listcombo.h"

#include <QAccessible>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleOptionFrame>
#include <QWheelEvent>

namespace runtime {

namespace {

// Draws an editable combo box as a bare text field: no arrow, the edit field
// over the whole inside of the frame.
class TextFieldOnlyStyle : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        if (control == CC_ComboBox) {
            if (sub == SC_ComboBoxArrow)
                return {};
            if (sub == SC_ComboBoxEditField || sub == SC_ComboBoxListBoxPopup) {
                const int frame = pixelMetric(PM_DefaultFrameWidth, option, widget);
                return option->rect.adjusted(frame + 1, frame, -frame, -frame);
            }
        }
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        // No pop-up list: the combo box then builds none of its pop-up's
        // widgets either.
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        if (control != CC_ComboBox) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionFrame frame;
        frame.QStyleOption::operator=(*option);
        frame.lineWidth = pixelMetric(PM_DefaultFrameWidth, option, widget);
        frame.midLineWidth = 0;
        frame.state |= State_Sunken;
        drawPrimitive(PE_PanelLineEdit, &frame, painter, widget);
    }
};

} // namespace

ListCombo::ListCombo(Kind kind, QWidget *parent) : QComboBox(parent), m_kind(kind)
{
    if (m_kind == Kind::SimpleCombo) {
        auto *style = new TextFieldOnlyStyle;
        style->setParent(this);
        setStyle(style);
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        lineEdit()->setFrame(false);
    }
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &ListCombo::click);
}

void ListCombo::announceNewEntry(const QString &before)
{
    // Told as the entry's text coming in whole: a screen reader told of the
    // old text going would say that the selection was deleted.
    if (m_kind != Kind::DropDownList || !QAccessible::isActive() || text() == before ||
        text().isEmpty())
        return;
    QAccessibleTextInsertEvent change(this, 0, text());
    QAccessible::updateAccessibility(&change);
}

void ListCombo::keyPressEvent(QKeyEvent *event)
{
    const QString before = text();
    QComboBox::keyPressEvent(event);
    announceNewEntry(before);
}

void ListCombo::setListIndex(int index)
{
    Q_ASSERT(index >= -1 && index < count());
    // QComboBox also resets a typed-over text field here, unchanged index or not.
    setCurrentIndex(index);
    emit click();
}

void ListCombo::showPopup()
{
    // A simple combo box has no list to open.
    if (m_kind == Kind::DropDownList)
        QComboBox::showPopup();
}

void ListCombo::wheelEvent(QWheelEvent *event)
{
    if (m_kind == Kind::DropDownList && hasFocus()) {
        const QString before = text();
        QComboBox::wheelEvent(event);
        announceNewEntry(before);
    } else
        event->ignore();
}

} // namespace runtime
