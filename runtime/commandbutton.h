#pragma once

// A command button. Enter and Space click it while it has the focus, Alt with
// the access letter of its caption clicks it from anywhere in its window; it
// is never a window's default or cancel button. A graphical button shows its
// picture centred above the caption.
//
// An access key clicks at once, as the key is pressed: a box that the command
// opens is up before the next key is read, and Qt hands no access key to a
// window that a box blocks, so a second access key typed quickly after the
// first never acts behind the box.

#include <QPushButton>

namespace runtime {

class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);
    CommandButton(const QIcon &picture, const QString &caption, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_graphical = false;
};

} // namespace runtime
