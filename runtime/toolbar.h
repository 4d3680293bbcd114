#pragma once

// A toolbar: a row of flat picture buttons, each carrying a key, with
// separators between groups. A click on a button raises buttonClick() with
// its key; separators carry a key too but take no click. Built from plain
// tool buttons (a QToolBar would also build its overflow menu and load every
// image plug-in at start-up to draw its arrow).

#include <QWidget>

class QAction;

namespace runtime {

class ToolBar : public QWidget
{
    Q_OBJECT

public:
    explicit ToolBar(QWidget *parent = nullptr);

    QAction *addButton(const QString &key, const QString &toolTip, const QIcon &image);
    QAction *addKeyedSeparator(const QString &key);

    static QString key(const QAction *entry);
    // The button with the given key, null for none (separators included).
    QAction *button(const QString &key) const;
    // The widget that shows the entry.
    QWidget *widgetForAction(const QAction *entry) const;

    QSize iconSize() const { return m_iconSize; }

signals:
    void buttonClick(const QString &key);

private:
    void append(QAction *entry, QWidget *shownBy);

    QSize m_iconSize{16, 16};
    QList<QPair<QAction *, QWidget *>> m_entries;
    int m_nextLeft = 2;
};

} // namespace runtime
