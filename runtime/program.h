#pragma once

// Launching other programs and ending this one.

#include <QString>
#include <QStringList>

#include <functional>

namespace runtime {

// Starts program detached, in a normal window, without a shell and without
// waiting for it. False when it could not be started.
bool launch(const QString &program, const QStringList &arguments = {});

// The desktop calculator to launch: the system calculator on Windows,
// elsewhere the first of the common desktop calculators found on the PATH.
// Empty when there is none.
QString desktopCalculator();

// Ends the program at once: every window closes, no further handler runs.
void endProgram();
// While set, endProgram() calls the hook instead (tests).
void setEndHook(std::function<void()> hook);

} // namespace runtime
