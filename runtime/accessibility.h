#pragma once

// What a screen reader hears of the program's own controls, and what it may
// do with them. Qt gives its controls an accessibility interface with the
// role of their kind; the frame, toolbar and status bar here are drawn by the
// program, and the program's controls follow its event rules, so they answer
// here:
//   - the program's windows (its Forms) are windows (Qt reads a plain widget
//     as a client area), named by their titles or accessible names; a window
//     shown modally (the summary) is a dialog whose text is its named labels,
//     "Pagamento Dinheiro. Total 5,9", read as it opens; menus keep Qt's
//     pop-up menu role;
//   - a Frame is a grouping named by its caption;
//   - a ToolBar is a tool bar, the lines between its buttons separators, and
//     its buttons push buttons named by their tool tips;
//   - a StatusBar is a status bar, whose panels read the text they show;
//   - a ListCombo is a combo box named by its accessible name or by the label
//     whose buddy it is, its text the value, which it also gives as its text
//     (Qt's own names a combo box by its text on Linux, so seven lists would
//     all read "combo box", and gives a screen reader no way to its value);
//   - the card field and the price lists' text fields read the text where it
//     stands (the card field up to its last digit typed, blanks for the
//     digits not typed);
//   - a label given an accessible name reads that name, and its text as its
//     value and description: the summary's total reads "Total" and "5,9";
//   - the message box is an alert, and raises one as it opens, so its text
//     is read without the operator moving to it.
//
// A screen reader's actions and edits reach a control only as the operator's
// keys and clicks would: not while it is hidden or disabled, and not while a
// box or the summary blocks its window. A press on a button clicks once the
// reader's call has returned (a command that opens a box would hold the
// reader until the box is closed); choosing an option button clicks it, so
// its handler runs; text put into a price goes in as typed, into the card
// field as a paste (only digits, into its digit positions).
//
// What a focus change does to the text of the controls it leaves and enters
// (a price selected, the card field's mask written) is not announced ahead
// of the focus: the focus announcement reads the control as it then is.
//
// installAccessibility() adds the program's factory (setUpProgram() calls
// it); it must come before the controls are made, since Qt makes a control's
// interface at the control's first accessibility event and keeps it. The
// interfaces hold nothing but the control (a button also its pending press),
// and read everything from it when asked. The factory here only dispatches
// to the kinds of control in accessible/.

namespace runtime {

void installAccessibility();

} // namespace runtime
