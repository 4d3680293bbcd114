#include "optionbutton.h"

namespace runtime {

void OptionButton::setValue(bool on)
{
    if (on) {
        if (!isChecked())
            click();
        return;
    }
    const bool exclusive = autoExclusive();
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(exclusive);
}

} // namespace runtime
