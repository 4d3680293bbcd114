#pragma once

// A command button. Enter and Space click it while it has the focus, Alt with
// the access letter of its caption clicks it from anywhere in its window; it
// is never a window's default or cancel button. A graphical button shows its
// picture centred above the caption.

#include <QPushButton>

namespace runtime {

class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);
    CommandButton(const QIcon &picture, const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_graphical = false;
};

} // namespace runtime
