#pragma once
// Putting the active language's texts on the controls, and the user's choice of language.

#include "ui/win32/MainWindow.h"

void applyLanguage(MainWindow& window);
// The language combo box's choice: saved, resolved and applied.
void selectLanguage(MainWindow& window);
// The units box's choice: saved, then every figure shown again in the new units.
void selectUnits(MainWindow& window);
// The system locale may have changed: with the "system" setting, a new language is applied, and
// a new region's date form for English.
void followSystemLanguage(MainWindow& window);
