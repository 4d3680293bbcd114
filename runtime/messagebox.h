#pragma once

// The message box: the text, one OK button, no icon, the program's title,
// the caller waits until it is closed. The text is always shown as plain
// text, whatever characters an operator put into it.

#include <QString>

#include <functional>

class QWidget;

namespace runtime {

inline const QString kProgramTitle = QStringLiteral("Morvesta");

void msgBox(const QString &text, QWidget *parent = nullptr);

// While set, msgBox() hands its text to the hook instead of showing a box
// (tests, benchmarks). Pass an empty function to show boxes again.
void setMessageHook(std::function<void(const QString &)> hook);

} // namespace runtime
