// The floor for start-up: a bare Qt program showing one window of the main
// window's size, holding one label and one push button, that quits once shown
// and idle.

#include "startupquit.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(417, 408);
    auto *label = new QLabel(QStringLiteral("Morvesta Turo Velmura"), &window);
    label->move(48, 40);
    auto *button = new QPushButton(QStringLiteral("&Pedido"), &window);
    button->setGeometry(192, 312, 65, 57);
    new QuitWhenShownAndIdle(&window);
    window.show();
    return app.exec();
}
