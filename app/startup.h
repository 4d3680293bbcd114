#pragma once

// The program's start-up, as main() runs it and the start-up benchmark
// measures it: Qt given the program's name alone and set up before the
// application object, the program's own set-up, the main window loaded,
// centred and shown, and the event loop until the program ends.

#include <functional>

class frmMorvesta;

// beforeShow, when given, sees the main window once loaded, before it is shown.
int runMorvesta(int argc, char *argv[], const std::function<void(frmMorvesta &)> &beforeShow = {});
