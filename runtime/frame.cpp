#include "frame.h"

#include <QPainter>
#include <qdrawutil.h>

namespace runtime {

namespace {

constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;

} // namespace

Frame::Frame(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption) {}

void Frame::paintEvent(QPaintEvent *)
{
    // Drawn here rather than by the style: Fusion draws group boxes from an
    // image, and reading it loads every image plug-in at start-up.
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineTop, width(), height() - lineTop), palette(), true, 1);

    if (m_caption.isEmpty())
        return;
    const int captionWidth = metrics.horizontalAdvance(m_caption) + 2 * kCaptionPadding;
    const QRect captionRect(kCaptionIndent, 0, qMin(captionWidth, width() - 2 * kCaptionIndent),
                            metrics.height());
    painter.fillRect(captionRect, palette().window());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}

} // namespace runtime
