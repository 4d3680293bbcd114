#pragma once

// List controls whose selection follows the program's event rule: setting the
// selected position from code raises the control's click before the setter
// returns, every time, -1 and an unchanged position included. A plain
// QComboBox stays silent when the index does not change, which would leave a
// flavour slot's price out of step.
//
// Two kinds are used on the counter:
//   - DropDownList: the operator can only pick one of the entries;
//   - SimpleCombo: only the text field shows; the operator may type over it
//     (typed text never becomes an entry), and Up and Down move the selection
//     through the hidden list.
//
// A drop-down list's text is its selected entry, and a screen reader hears
// it change as a key or the wheel moves the selection of the closed list
// (Qt 6.4 tells a reader only that the selection changed, which it cannot
// read there; in the open list the reader follows the entries itself).
//
// The mouse wheel never gives either kind the focus. A drop-down list follows
// the wheel only while it has the focus; a simple combo box never does (a
// price turned by a wheel meant for something else would go unseen). A wheel
// turn a list does not take goes on to the controls around it.

#include <QComboBox>

namespace runtime {

class ListCombo : public QComboBox
{
    Q_OBJECT

public:
    enum class Kind { DropDownList, SimpleCombo };

    explicit ListCombo(Kind kind, QWidget *parent = nullptr);

    // The selected position, -1 for none.
    int listIndex() const { return currentIndex(); }
    // Selects position index (-1: none) and raises click().
    void setListIndex(int index);

    // The selected entry, or what stands in the text field of a SimpleCombo.
    QString text() const { return currentText(); }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

signals:
    // Raised by setListIndex() and by an operator's pick.
    void click();

private:
    // After a key or the wheel moved the selection of the closed list.
    void announceNewEntry(const QString &before);

    Kind m_kind;
};

} // namespace runtime
