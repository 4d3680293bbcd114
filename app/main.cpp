#include "frmmorvesta.h"

#include "runtime/geometry.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvesta"));

    frmMorvesta window;
    runtime::centreOnScreen(&window);
    window.show();
    return app.exec();
}
