#pragma once

// What a screen reader hears of the program's own controls. Qt gives its
// controls an accessibility interface with the role of their kind; the
// frame, toolbar and status bar here are drawn by the program, and the list
// and option controls follow the program's event rules, so they answer here:
//   - the program's windows (its Forms) are windows (Qt reads a plain widget
//     as a client area), named by their titles or accessible names; menus
//     keep Qt's pop-up menu role;
//   - a Frame is a grouping named by its caption;
//   - a ToolBar is a tool bar, the lines between its buttons separators, and
//     its buttons push buttons named by their tool tips, which a screen
//     reader's press clicks after the reader's call has returned;
//   - a StatusBar is a status bar, whose panels read the text they show;
//   - a ListCombo is a combo box named by its accessible name or by the label
//     whose buddy it is, its text the value (Qt's own names a combo box by
//     its text on Linux, so seven lists would all read "combo box");
//   - an OptionButton chosen by a screen reader's action is clicked, as by
//     the operator, so its handler runs (Qt's toggle action only checks it);
//   - a label given an accessible name reads that name, and its text as its
//     value and description: the summary's total reads "Total" and "5,9";
//   - the message box is an alert, and raises one as it opens, so its text
//     is read without the operator moving to it.
//
// installAccessibility() adds the program's factory (setUpProgram() calls it);
// it must come before the controls are made, since Qt makes a control's interface at the control's
// first accessibility event and keeps it. The interfaces here hold nothing
// but the control, and read everything from it when asked.

namespace runtime {

void installAccessibility();

} // namespace runtime
