// The program's start-up as main() does it, ending once the main window is
// shown and idle.

#include "startupquit.h"

#include "app/frmmorvesta.h"

#include "runtime/geometry.h"
#include "runtime/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    int qtArgc = 1;
    char *qtArgv[] = {runtime::programName(argc, argv), nullptr};
    runtime::setUpQt();
    QApplication app(qtArgc, qtArgv);
    runtime::setUpProgram();

    frmMorvesta window;
    runtime::centreOnScreen(&window);
    new QuitWhenShownAndIdle(&window);
    window.show();
    return app.exec();
}
