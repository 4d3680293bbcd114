/* A probe for the Windows scripts, run under Wine:
 *
 *   winprobe wait <title> <seconds>  waits for a visible top-level window
 *                                    with that title and prints its frame
 *                                    as "left top width height"
 *   winprobe close <title>           asks that window to close
 *
 * Exit code 0 when the window was there, 1 when it was not. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

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
    fputs("usage: winprobe wait <title> <seconds> | winprobe close <title>\n", stderr);
    return 2;
}
