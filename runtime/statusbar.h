#pragma once

// A status bar of fixed panels, laid out left to right at their widths: text
// panels, and date and time panels that the bar keeps current by itself in
// the short regional forms. Panels that do not fit are cut at the right edge,
// so the first ones always show whole.

#include <QTimer>
#include <QWidget>

class QLabel;

namespace runtime {

class StatusBar : public QWidget
{
    Q_OBJECT

public:
    enum class Panel { Text, Date, Time };

    explicit StatusBar(QWidget *parent = nullptr);

    // Adds a panel width pixels wide and returns it.
    QLabel *addPanel(Panel kind, int width, const QString &text = {});

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Entry
    {
        Panel kind;
        int width;
        QLabel *label;
    };

    void layoutPanels();
    void refreshClock();

    QList<Entry> m_panels;
    QTimer m_clock;
};

} // namespace runtime
