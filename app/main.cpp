#include "frmmorvesta.h"

#include "runtime/geometry.h"
#include "runtime/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    runtime::setUpProgram();

    frmMorvesta window;
    runtime::centreOnScreen(&window);
    window.show();
    return app.exec();
}
