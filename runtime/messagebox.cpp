#include "messagebox.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>
#include <QWindow>

namespace runtime {

namespace {

std::function<void(const QString &)> &messageHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

} // namespace

void msgBox(const QString &text, QWidget *parent)
{
    if (const auto &hook = messageHook()) {
        hook(text);
        return;
    }
    // A box of our own rather than a QMessageBox: that one limits its width
    // by its own rules, wraps or cuts long words, and under some desktop
    // styles puts a picture on its buttons.
    MessageBox box(parent, Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    box.setObjectName(QStringLiteral("msgBox"));
    box.setWindowTitle(kProgramTitle);
    auto *label = new QLabel(&box);
    label->setTextFormat(Qt::PlainText);
    auto *ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto *layout = new QVBoxLayout(&box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    // The line gets what the screen leaves beside the box's margins and the
    // window frame. Until the box is shown its frame may be unknown (X11);
    // it is taken to be as wide as the one around the caller's window.
    const QWidget *caller = parent ? parent->window() : nullptr;
    const QScreen *screen = caller ? caller->screen() : box.screen();
    QMargins frame =
        caller && caller->windowHandle() ? caller->windowHandle()->frameMargins() : QMargins();
    if (frame.isNull()) {
        box.winId(); // creates the box's window
        frame = box.windowHandle()->frameMargins();
    }
    const QMargins inside = layout->contentsMargins();
    const int room = screen->availableGeometry().width() - frame.left() - frame.right() -
                     inside.left() - inside.right();
    const QFontMetrics metrics = label->fontMetrics();
    label->setText(metrics.elidedText(oneLine(text), Qt::ElideRight, room));
    // A short text would make a box so narrow that window managers cut its
    // title; give it room for the title beside the title bar's picture and
    // buttons (each about a title's width in Openbox, Metacity and Windows).
    label->setMinimumWidth(qMin(room, metrics.horizontalAdvance(kProgramTitle) * 4));
    box.exec();
}

void MessageBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString oneLine(const QString &text, qsizetype maxLength)
{
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        switch (QChar::category(code)) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            line += u' ';
            break;
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
            break;
        default:
            line += QStringView(text).mid(i, units);
        }
        i += units - 1;
    }
    line = line.simplified();
    if (maxLength < 0 || line.size() <= maxLength)
        return line;
    if (maxLength == 0)
        return {};
    // Cut where a character the operator sees ends, with room for the "…".
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
    characters.setPosition(maxLength - 1);
    if (!characters.isAtBoundary())
        characters.toPreviousBoundary();
    return QStringView(line).left(qMax<qsizetype>(0, characters.position())).trimmed().toString() +
           u'…';
}

void setMessageHook(std::function<void(const QString &)> hook)
{
    messageHook() = std::move(hook);
}

} // namespace runtime
