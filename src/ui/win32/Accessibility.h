#pragma once
// What assistive technology and the mouse pointer learn about the controls: hidden labels that
// name the search box and the combo boxes, and tooltips that name the shortcuts.

#include <string>
#include <string_view>

#include "ui/win32/MainWindow.h"

// A hidden static with the text of `nameKey`, created just before the control it names so that
// it precedes it in the Z-order.
void createAccessibleLabel(MainWindow& window, std::string_view nameKey);
void createToolTips(MainWindow& window);
// Gives `control` to the window's tooltip, which asks the window for its text when it shows.
void addToolTipControl(const MainWindow& window, HWND control);
// The labels' texts in the window's language (the tooltips ask for theirs when shown).
void applyAccessibleTexts(MainWindow& window);
// The tooltip's text for a control where the pointer is now; empty for none (no tip shows).
std::u16string toolTipTextOf(const MainWindow& window, HWND control);
// WM_NOTIFY TTN_GETDISPINFOW from the tooltip control.
void fillToolTipText(MainWindow& window, NMTTDISPINFOW& info);
