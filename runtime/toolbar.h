#pragma once

// A toolbar whose buttons carry a key. A click on a button raises
// buttonClick() with that key; separators carry a key too but take no click.

#include <QToolBar>

namespace runtime {

class ToolBar : public QToolBar
{
    Q_OBJECT

public:
    explicit ToolBar(QWidget *parent = nullptr);

    QAction *addButton(const QString &key, const QString &toolTip, const QIcon &image);
    QAction *addKeyedSeparator(const QString &key);

    static QString key(const QAction *button);
    QAction *button(const QString &key) const;

signals:
    void buttonClick(const QString &key);
};

} // namespace runtime
