#include "processes.h"

#ifdef Q_OS_WIN
#include <tlhelp32.h>

#include <cwchar>

QList<DWORD> processesNamed(const wchar_t *name)
{
    QList<DWORD> ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) == 0)
            ids.append(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

QList<DWORD> startedSince(const QList<DWORD> &before, const wchar_t *name)
{
    QList<DWORD> started;
    for (DWORD id : processesNamed(name)) {
        if (!before.contains(id))
            started.append(id);
    }
    return started;
}

void endProcesses(const QList<DWORD> &ids)
{
    for (DWORD id : ids) {
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
}
#endif
