#include "toolbar.h"

#include <QAction>
#include <QFrame>
#include <QToolButton>

namespace runtime {

namespace {

// The standard size of a toolbar button for 16 x 16 pictures, 345 x 330 twips.
constexpr QSize kButtonSize(23, 22);
constexpr int kSeparatorWidth = 8;

} // namespace

ToolBar::ToolBar(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ToolBar::append(QAction *entry, QWidget *shownBy)
{
    addAction(entry);
    const int top = qMax(0, (height() - kButtonSize.height()) / 2);
    shownBy->setGeometry(m_nextLeft, top, shownBy->width(), kButtonSize.height());
    m_nextLeft += shownBy->width();
    m_entries.append({entry, shownBy});
}

QAction *ToolBar::addButton(const QString &key, const QString &toolTip, const QIcon &image)
{
    auto *entry = new QAction(image, toolTip, this);
    entry->setToolTip(toolTip);
    entry->setData(key);
    auto *button = new QToolButton(this);
    button->setDefaultAction(entry);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(m_iconSize);
    button->resize(kButtonSize);
    connect(entry, &QAction::triggered, this, [this, key] { emit buttonClick(key); });
    append(entry, button);
    return entry;
}

QAction *ToolBar::addKeyedSeparator(const QString &key)
{
    auto *entry = new QAction(this);
    entry->setSeparator(true);
    entry->setData(key);
    auto *line = new QFrame(this);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->resize(kSeparatorWidth, kButtonSize.height());
    append(entry, line);
    return entry;
}

QString ToolBar::key(const QAction *entry)
{
    return entry->data().toString();
}

QAction *ToolBar::button(const QString &key) const
{
    for (const auto &[entry, shownBy] : m_entries) {
        if (!entry->isSeparator() && ToolBar::key(entry) == key)
            return entry;
    }
    return nullptr;
}

QWidget *ToolBar::widgetForAction(const QAction *entry) const
{
    for (const auto &[candidate, shownBy] : m_entries) {
        if (candidate == entry)
            return shownBy;
    }
    return nullptr;
}

} // namespace runtime
