#include "startup.h"

#include "frmmorvesta.h"

#include "runtime/geometry.h"
#include "runtime/program.h"

#include <QApplication>

int runMorvesta(int argc, char *argv[], const std::function<void(frmMorvesta &)> &beforeShow)
{
    int qtArgc = 1;
    char *qtArgv[] = {runtime::programName(argc, argv), nullptr};
    runtime::setUpQt();
    QApplication app(qtArgc, qtArgv);
    runtime::setUpProgram();

    frmMorvesta window;
    runtime::centreOnScreen(&window);
    if (beforeShow)
        beforeShow(window);
    window.show();
    return app.exec();
}
