#include "statusbar.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>

namespace runtime {

namespace {

constexpr int kGap = 2;
constexpr int kMargin = 1;

} // namespace

StatusBar::StatusBar(QWidget *parent) : QWidget(parent)
{
    m_clock.setSingleShot(true);
    connect(&m_clock, &QTimer::timeout, this, &StatusBar::refreshClock);
}

QLabel *StatusBar::addPanel(Panel kind, int width, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(1);
    m_panels.append({kind, width, label});
    layoutPanels();
    if (kind != Panel::Text)
        refreshClock();
    return label;
}

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanels();
}

void StatusBar::layoutPanels()
{
    int left = kMargin;
    const int height = this->height() - 2 * kMargin;
    for (const Entry &entry : std::as_const(m_panels)) {
        const int width = qMax(0, qMin(entry.width, this->width() - kMargin - left));
        entry.label->setGeometry(left, kMargin + 1, width, height - 1);
        entry.label->setVisible(width > 0);
        left += width + kGap;
    }
}

void StatusBar::refreshClock()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    bool showsSeconds = false;
    for (const Entry &entry : std::as_const(m_panels)) {
        if (entry.kind == Panel::Date) {
            entry.label->setText(locale.toString(now.date(), QLocale::ShortFormat));
        } else if (entry.kind == Panel::Time) {
            const QString format = locale.timeFormat(QLocale::ShortFormat);
            showsSeconds = showsSeconds || format.contains(u's');
            entry.label->setText(locale.toString(now.time(), format));
        }
    }
    // Wake up just after the shown text changes, not every second.
    const int msIntoSecond = now.time().msec();
    const int untilNext =
        showsSeconds ? 1000 - msIntoSecond : (60 - now.time().second()) * 1000 - msIntoSecond;
    m_clock.start(untilNext + 20);
}

} // namespace runtime
