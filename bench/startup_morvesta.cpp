// The program's start-up as main() runs it, ending once the main window is
// shown and idle.

#include "startupquit.h"

#include "app/frmmorvesta.h"
#include "app/startup.h"

int main(int argc, char *argv[])
{
    return runMorvesta(argc, argv, [](frmMorvesta &window) { new QuitWhenShownAndIdle(&window); });
}
