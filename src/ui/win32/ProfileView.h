#pragma once
// The panel's lower part: the selected route's figures from its points (moving time, maximum
// speed, heart rate, cadence, power) and its elevation profile.

#include "ui/win32/MainWindow.h"

inline constexpr wchar_t kProfileClassName[] = L"TirnProfile";

// Registers the "TirnProfile" class, a child of the main window that paints itself.
void registerProfileClass(HINSTANCE instance);
