#include "messagebox.h"

#include <QLabel>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("msgBox"));
    // A short text would make a box so narrow that window managers cut its
    // title; give it room for the title and its buttons.
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(box.fontMetrics().horizontalAdvance(kProgramTitle) * 3);
    box.exec();
}

void setMessageHook(std::function<void(const QString &)> hook)
{
    messageHook() = std::move(hook);
}

} // namespace runtime
