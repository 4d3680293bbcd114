#include "commandbutton.h"

#include <QShortcutEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace runtime {

CommandButton::CommandButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    // Outside a dialog Qt clicks a push button on Enter only when it is an
    // auto-default button; no button is made the default.
    setAutoDefault(true);
}

CommandButton::CommandButton(const QIcon &picture, const QString &caption, QWidget *parent)
    : CommandButton(caption, parent)
{
    setIcon(picture);
    setIconSize(QSize(32, 32));
    m_graphical = true;
}

bool CommandButton::event(QEvent *event)
{
    // Qt clicks on an access key after a short animated press; a box opened
    // meanwhile by another command would not stop that click.
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        click();
        return true;
    }
    return QPushButton::event(event);
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    if (!m_graphical) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int shift = isDown() ? 1 : 0;
    const int textHeight = fontMetrics().height();
    const int pictureTop =
        inside.top() + qMax(0, (inside.height() - iconSize().height() - textHeight) / 2);
    const QRect pictureRect(inside.left() + (inside.width() - iconSize().width()) / 2 + shift,
                            pictureTop + shift, iconSize().width(), iconSize().height());
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon().paint(&painter, pictureRect, Qt::AlignCenter, mode);

    const QRect textRect(inside.left() + shift, pictureRect.bottom() + 1 + shift, inside.width(),
                         textHeight);
    painter.drawItemText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic,
                         palette(), isEnabled(), text(), QPalette::ButtonText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace runtime
