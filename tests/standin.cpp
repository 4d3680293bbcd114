// A stand-in for another program, started by the launch tests:
//
//   standin <file> <milliseconds>
//
// appends one line to <file> and then stays alive for <milliseconds>, so a
// test can tell that it ran and that nobody waited for it. On Windows the
// line says how the program was asked to show its window ("show 1" is a
// normal window with the focus); elsewhere it is "ran".

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
    if (argc == 1) {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        return 0;
    }
    if (argc < 3)
        return 2;
    {
        std::ofstream out(argv[1], std::ios::app | std::ios::binary);
#ifdef _WIN32
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        GetStartupInfoW(&startup);
        const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
        out << "show " << show << '\n';
#else
        out << "ran\n";
#endif
        if (!out)
            return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return 0;
}
