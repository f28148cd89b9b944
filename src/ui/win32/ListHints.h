#pragma once
// What the route list tells beyond its cells: tooltips over the Ghost caption and over a sport
// guessed from the speed, the hint in the list of an empty library, and the mark of a broken file
// in a glyph the list's font has.

#include <string>

#include "ui/win32/MainWindow.h"

// Subclasses the list and its header and gives both to the window's tooltip; after createToolTips.
void installListHints(MainWindow& window);
// The warning sign before a broken file's name, or "!" where the list's font lacks the sign (an
// empty box says nothing); again after a font change.
void chooseBrokenMark(MainWindow& window);
// The tooltip's text over `control` (the list or its header) at the client point; empty for none.
std::u16string listHintText(const MainWindow& window, HWND control, POINT point);
