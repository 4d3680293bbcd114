#pragma once

// Option buttons as the program's event rule wants them: an operator's click
// selects the button, clears the others of its container and raises
// clicked(); setValue(false) from code clears the button and raises nothing.
// (An auto-exclusive QRadioButton refuses to be unchecked on its own.)

#include <QRadioButton>

namespace runtime {

class OptionButton : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

    bool value() const { return isChecked(); }
    // true selects the button as a click would (raising clicked() only if it
    // was not selected); false clears it silently.
    void setValue(bool on);

protected:
    // The whole control takes the click, not only its circle and caption.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace runtime
