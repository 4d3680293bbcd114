#include "form.h"

#include "geometry.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QShowEvent>

namespace runtime {

Form::Form(Qt::WindowFlags flags) : QWidget(nullptr, flags) {}

Form::~Form()
{
    if (m_modalLoop)
        m_modalLoop->quit();
}

void Form::showModal()
{
    if (m_modalLoop)
        return;
    setWindowModality(Qt::ApplicationModal);
    centreOnScreen(this);
    show();
    raise();
    activateWindow();

    QEventLoop loop;
    m_modalLoop = &loop;
    const QPointer<Form> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard)
        m_modalLoop = nullptr;
}

void Form::unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    hide();
    emit unloaded();
    deleteLater();
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void Form::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->quit();
}

void Form::closeEvent(QCloseEvent *event)
{
    // Qt delivers the window system's close request like any other close, and
    // this program never closes a form except by unloading it.
    if (m_closesOnlyByUnload && !m_unloading) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace runtime
