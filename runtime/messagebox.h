#pragma once

// The message box: the text on one line, one OK button, no icon, the
// program's title, the caller waits until it is closed. The text is always
// shown as plain text, whatever characters an operator put into it, and the
// box always fits on the screen: a line too long for it ends in "…".

#include <QDialog>
#include <QString>

#include <functional>

namespace runtime {

inline const QString kProgramTitle = QStringLiteral("Morvesta");

// The box msgBox() shows. As it opens it raises the alert that screen
// readers announce, as Qt's own message box does.
class MessageBox : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent *event) override;
};

void msgBox(const QString &text, QWidget *parent = nullptr);

// The text as one line that shows what it says: line breaks and other
// control characters become spaces, invisible format characters (direction
// overrides, isolates and marks, zero-width joiners) are left out, and runs
// of spaces become one. With a maxLength, a longer line is cut at a
// character boundary and ends in "…", at most maxLength characters in all.
QString oneLine(const QString &text, qsizetype maxLength = -1);

// While set, msgBox() hands its text to the hook instead of showing a box
// (tests, benchmarks). Pass an empty function to show boxes again.
void setMessageHook(std::function<void(const QString &)> hook);

} // namespace runtime
