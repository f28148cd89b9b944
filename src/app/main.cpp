// Entry point of the desktop program: COM apartment, DPI awareness, the window, the message loop.

#include <objbase.h>
#include <windows.h>

#include "ui/win32/MainWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    createMainWindow(instance);
    const int exitCode = runMainWindow(showCommand);
    CoUninitialize();
    return exitCode;
}
