// Entry point of the desktop program: COM apartment, DPI awareness, the window, the message loop.

#include <objbase.h>
#include <windows.h>

#include "ui/win32/MainFrame.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    MainWindow* window = createMainWindow(instance);
    const int exitCode = window ? runMainWindow(*window, showCommand) : 1;
    CoUninitialize();
    return exitCode;
}
