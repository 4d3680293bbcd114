#pragma once

// The Windows processes a test starts by way of the program (the system
// calculator), found by their executable name and ended again.

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QList>

#include <qt_windows.h>

// The ids of the running processes with that executable name.
QList<DWORD> processesNamed(const wchar_t *name);
// The processes with that executable name that are not among before.
QList<DWORD> startedSince(const QList<DWORD> &before, const wchar_t *name);
void endProcesses(const QList<DWORD> &ids);
#endif
