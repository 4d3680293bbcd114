/* A probe for the Windows scripts, run under Wine:
 *
 *   winprobe wait <title> <seconds>  waits for a visible top-level window
 *                                    with that title and prints its frame
 *                                    as "left top width height"
 *   winprobe close <title>           asks that window to close
 *   winprobe reads <title>           prints the window as UI Automation, and
 *                                    so a screen reader, reads it: its
 *                                    control type id and its name
 *   winprobe text <title>            prints the window's static texts (a
 *                                    message box's message), one a line,
 *                                    in UTF-8
 *   winprobe run <command line>      runs the command line as it is (Wine
 *                                    would quote an argument with spaces,
 *                                    as an uninstaller's "_?=" must not be)
 *                                    and waits for it to end
 *
 * Exit code 0 when the window was there, 1 when it was not; for run, the
 * program's exit code, 255 when it could not be started. */
#include <windows.h>

#include <ole2.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

/* UI Automation's flat client calls, looked up at run time: mingw-w64 has
   neither their declarations nor an import library for them. */
typedef void *UiaNode;
typedef HRESULT(WINAPI *NodeFromHandle)(HWND, UiaNode *);
typedef HRESULT(WINAPI *GetPropertyValue)(UiaNode, int, VARIANT *);
enum { ControlTypeProperty = 30003, NameProperty = 30005 };

static int printReading(HWND window)
{
    HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
    NodeFromHandle nodeFromHandle =
        core ? (NodeFromHandle)(void (*)(void))GetProcAddress(core, "UiaNodeFromHandle") : NULL;
    GetPropertyValue propertyValue =
        core ? (GetPropertyValue)(void (*)(void))GetProcAddress(core, "UiaGetPropertyValue") : NULL;
    UiaNode node = NULL;
    VARIANT type, name;
    VariantInit(&type);
    VariantInit(&name);
    if (!nodeFromHandle || !propertyValue || FAILED(nodeFromHandle(window, &node)) ||
        FAILED(propertyValue(node, ControlTypeProperty, &type)) ||
        FAILED(propertyValue(node, NameProperty, &name)) || type.vt != VT_I4 || name.vt != VT_BSTR)
        return 1;
    printf("%ld %ls\n", (long)type.lVal, name.bstrVal);
    return 0;
}

static BOOL CALLBACK printStatic(HWND child, LPARAM unused)
{
    (void)unused;
    wchar_t kind[16], text[1024];
    char utf8[4096];
    if (GetClassNameW(child, kind, 16) && _wcsicmp(kind, L"Static") == 0 &&
        GetWindowTextW(child, text, 1024) > 0 &&
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL) > 0)
        printf("%s\n", utf8);
    return TRUE;
}

static HWND findShown(const wchar_t *title)
{
    HWND window = FindWindowW(NULL, title);
    return window && IsWindowVisible(window) ? window : NULL;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc >= 4 && wcscmp(argv[1], L"wait") == 0) {
        const DWORD deadline = GetTickCount() + (DWORD)(_wtof(argv[3]) * 1000);
        for (;;) {
            HWND window = findShown(argv[2]);
            RECT frame;
            if (window && GetWindowRect(window, &frame)) {
                printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                       frame.bottom - frame.top);
                return 0;
            }
            if ((LONG)(GetTickCount() - deadline) > 0)
                return 1;
            Sleep(100);
        }
    }
    if (argc >= 3 && wcscmp(argv[1], L"close") == 0) {
        HWND window = findShown(argv[2]);
        return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc >= 3 && wcscmp(argv[1], L"reads") == 0) {
        HWND window = findShown(argv[2]);
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        return window ? printReading(window) : 1;
    }
    if (argc >= 3 && wcscmp(argv[1], L"text") == 0) {
        HWND window = findShown(argv[2]);
        return window ? (EnumChildWindows(window, printStatic, 0), 0) : 1;
    }
    if (argc >= 3 && wcscmp(argv[1], L"run") == 0) {
        STARTUPINFOW startup = {.cb = sizeof startup};
        PROCESS_INFORMATION process;
        DWORD status = 255;
        if (!CreateProcessW(NULL, argv[2], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            return 255;
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        return (int)status;
    }
    fputs("usage: winprobe wait <title> <seconds> | close <title> | reads <title> | text <title> |"
          " run <command line>\n",
          stderr);
    return 2;
}
