#pragma once

// Setting up the program, launching other programs and ending this one.

#include <QString>
#include <QStringList>

#include <functional>

namespace runtime {

// What Qt is told before the QApplication exists: in a release its debug and
// info messages stay off whatever its logging rules say, and where every
// plug-in is linked in it looks for none on disk. Calling it again does
// nothing.
void setUpQt();
// The program reads no command line, and Qt, which would take options from
// it (-stylesheet FILE, -platform, -plugin...), is given this alone: the
// program's name.
char *programName(int argc, char *argv[]);

// What holds for the whole program, set once at start-up after the
// QApplication and before the first window: what setUpQt() sets, for the
// tests and benchmarks that make their own QApplication; on Windows, the mutex that tells
// the installer the program runs; the program's name, the window
// font that boxes, menus and tool tips share, the rule that held keys act
// once, and what screen readers read of the program's controls (which must
// come before any control exists). main(), the tests and the benchmarks all
// start here, so each runs the same program. Calling it again does nothing.
void setUpProgram();

// Starts program detached, in a normal window, without a shell and without
// waiting for it. False when it could not be started.
bool launch(const QString &program, const QStringList &arguments = {});

// The desktop calculator to launch: calc.exe in the Windows system folder
// (wherever Windows is installed), elsewhere the first of the common desktop calculators found on
// the PATH. Empty when there is none.
QString desktopCalculator();

// Ends the program at once: every window closes, no further handler runs.
void endProgram();
// While set, endProgram() calls the hook instead (tests).
void setEndHook(std::function<void()> hook);

} // namespace runtime
