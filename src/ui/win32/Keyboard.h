#pragma once
// Keyboard use of the main window: the shortcuts, Tab between the controls (dialog-style
// navigation in the message loop) and the focus kept across deactivation.

#include "ui/win32/MainWindow.h"

// Called by the message loop for every message before it is dispatched; true when the message
// was handled (a shortcut, or dialog navigation) and must not be dispatched.
bool translateWindowMessage(MainWindow& window, MSG& message);
// WM_ACTIVATE: keeps the focused control while the window is inactive and gives it back after
// (the search box the first time).
void handleActivation(MainWindow& window, WPARAM wParam);
void focusSearchBox(MainWindow& window);
