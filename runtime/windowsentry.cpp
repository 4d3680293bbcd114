// The Windows program's entry point (the linker's --entry, app/CMakeLists.txt),
// ahead of the C runtime's and of every static initialiser, Qt's among them:
// from here on a DLL asked for by name is looked for in Windows' system folder
// alone, never in the program's folder or the current one, where a copy
// planted beside the program would run inside it (signed, trusted, as the
// program is). The DLLs the program imports that are not among Windows'
// KnownDLLs, which always come from the system folder, are delay-loaded
// (windows/dlls.txt), so they too are asked for only after this.

#include <qt_windows.h>

extern "C" {

int WinMainCRTStartup(void); // mingw-w64's entry point for a windowed program

// The load configuration asks the same of Windows 10 version 1607 and later
// for the DLLs imported directly. GNU ld links it in without naming it in the
// PE header; windows/load-config.pl names it there after the link.
extern const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used;
const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32, // DependentLoadFlags
};

int morvestaEntry(void)
{
    // (Read from memory here so that the link keeps it: nothing else refers
    // to it.)
    if (*static_cast<const volatile DWORD *>(&_load_config_used.Size) == 0)
        return 1;
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return WinMainCRTStartup();
}
}
