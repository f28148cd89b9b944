#include "library/Settings.h"

// Defined here rather than in the library store because the localization library links below it
// and reads the setting at every lookup.
std::string languageSetting = "system";
