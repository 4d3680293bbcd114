#pragma once

// A masked edit box over QLineEdit. Masks are written as the program's design
// writes them: '#' is a digit position, every other character is a fixed
// character shown as it is ("####.####.####.####" for a card number, 19
// spaces for a field that shows blanks only, "" for no mask at all). Digit
// positions not yet typed show the prompt character.
//
// A digit position takes the digits 0 to 9 only, by every route: typing,
// pasting, dropping and input methods. Other digits (Arabic-Indic,
// full-width...) are refused like letters. Text dropped on the field is
// refused while its mask has no digit position (no mask, or blanks only);
// with digit positions the drop obeys the mask like typed text.
//
// gotFocus() and lostFocus() come when the focus moves inside the program,
// not when another program takes or gives back the focus. A box or another
// window of the program taking the focus, and giving it back, is a move
// inside the program. Entering a masked field, by key or by click, puts the
// caret on the first digit position not yet typed, so the operator types the
// number from its start.
//
// A sensitive field (the card number) keeps its text in, as a password field
// does: copy and cut do nothing, by key or by its context menu, a selection
// never becomes the X11 primary selection, nothing is dragged out of it, and
// input methods are told not to learn or predict what it holds. Pastes and
// drops into it work as in any other field.

#include <QLineEdit>

namespace runtime {

class MaskEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MaskEdit(QWidget *parent = nullptr);

    QString mask() const { return m_mask; }
    // Setting the mask the field already has keeps what was typed.
    void setMask(const QString &mask);

    bool isSensitive() const { return m_sensitive; }
    void setSensitive(bool sensitive);

    QChar promptChar() const { return m_prompt; }
    void setPromptChar(QChar prompt);

    // What was typed into the digit positions, without fixed characters and
    // prompts; the whole text when there is no mask.
    QString typedChars() const;
    // The text as the operator entered it, as a screen reader reads it: up to
    // the last digit typed, fixed characters as shown and a digit position
    // not typed before it as a blank; the whole text when there is no mask.
    QString enteredText() const;
    // The text as shown: fixed characters and prompts included.
    QString displayedText() const;

    // Text from outside the keyboard and the clipboard (a screen reader's or
    // a dictation tool's edit) replaces the characters from..to as a paste
    // would: only the digits 0 to 9 of the text go in, as many as the digit
    // positions hold. A field without digit positions is first entered, as
    // the operator enters it before pasting (gotFocus(), and lostFocus()
    // after). Text without such a digit changes nothing.
    void replaceFromOutside(int from, int to, const QString &text);

signals:
    void gotFocus();
    void lostFocus();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void applyMask();
    void caretToFirstBlank();
    bool hasDigitPositions() const;
    void dropPrimarySelection();

    QString m_mask;
    QChar m_prompt = u'_';
    bool m_caretOnPress = false;
    bool m_sensitive = false;
    bool m_watchingSelection = false;
    // Inside one of the field's own events, the moment QLineEdit copies a
    // selection to the X11 primary selection.
    bool m_inOwnEvent = false;
    // The focus went to another window of this program.
    bool m_awayInProgram = false;
};

} // namespace runtime
