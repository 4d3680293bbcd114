#include "toolbar.h"

#include <QAction>

namespace runtime {

ToolBar::ToolBar(QWidget *parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QToolBar::actionTriggered, this, [this](QAction *action) {
        if (!action->isSeparator())
            emit buttonClick(key(action));
    });
}

QAction *ToolBar::addButton(const QString &key, const QString &toolTip, const QIcon &image)
{
    QAction *action = addAction(image, toolTip);
    action->setToolTip(toolTip);
    action->setData(key);
    return action;
}

QAction *ToolBar::addKeyedSeparator(const QString &key)
{
    QAction *separator = addSeparator();
    separator->setData(key);
    return separator;
}

QString ToolBar::key(const QAction *button)
{
    return button->data().toString();
}

QAction *ToolBar::button(const QString &key) const
{
    for (QAction *action : actions()) {
        if (!action->isSeparator() && ToolBar::key(action) == key)
            return action;
    }
    return nullptr;
}

} // namespace runtime
