#include "frmmorvesta.h"

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
    window.show();
    return app.exec();
}
