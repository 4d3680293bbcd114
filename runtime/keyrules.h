#pragma once

// Held keys act once. A key held down repeats, and every repeat would act as
// another press: Enter on a focused button clicks it again, Enter in a box
// answers the box and the next repeat clicks the button behind it, Alt with
// an access letter clicks its command again (and a repeat that outlives the
// window it was meant for clicks the same letter on the window below).
//
// installHeldKeyRule() sets, once for the whole program, the rule that drops
// such repeats (flagged as such, or, as X11 sends them, a release and a press
// of the key at the same instant): an auto-repeated key with Alt never
// reaches an access key or a control, and an auto-repeated Enter, Space or
// Escape never reaches a button or anything in a dialog box. A real second
// press acts as always.
// Calling it again does nothing.

namespace runtime {

void installHeldKeyRule();

} // namespace runtime
