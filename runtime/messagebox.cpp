#include "messagebox.h"

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
    box.exec();
}

void setMessageHook(std::function<void(const QString &)> hook)
{
    messageHook() = std::move(hook);
}

} // namespace runtime
