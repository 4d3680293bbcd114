// The program's start-up as main() does it, ending once the main window is
// shown and idle.

#include "startupquit.h"

#include "app/frmmorvesta.h"

#include "runtime/geometry.h"
#include "runtime/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    runtime::setUpProgram();

    frmMorvesta window;
    runtime::centreOnScreen(&window);
    new QuitWhenShownAndIdle(&window);
    window.show();
    return app.exec();
}
