/* A DLL planted beside the program by the planted-DLL try
 * (windows/try-planted-dlls.sh), copied under the name of each DLL the
 * program might look for there. It exports nothing; loaded, it leaves a
 * file beside itself, its own name with ".ran" added, and goes on. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t marker[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcpyW(marker + length, L".ran");
            HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}
