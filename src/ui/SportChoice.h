#pragma once
// When the panel's sport box writes a sport into the route's file. A combo box reports every
// change of its selection, also each arrow key press in the closed box; a file is rewritten only
// on a deliberate choice: an item picked from the open list, or Enter or leaving the box after
// arrowing to another sport. Escape, or closing the list without a pick, shows the route's sport
// again.

#include <optional>

enum class SportBoxEvent {
    listOpened,     // CBN_DROPDOWN
    listChosen,     // CBN_SELENDOK: an item picked; also sent for arrows in a closed box
    listCancelled,  // CBN_SELENDCANCEL: closed without a pick; also sent before focus loss
    enterPressed,   // in the closed box
    escapePressed,  // in the closed box
    focusLost,      // CBN_KILLFOCUS
};

enum class SportBoxAction {
    none,
    write,    // write the shown sport into the route's file
    restore,  // show the route's own sport again
};

struct SportBoxState {
    bool listOpen = false;  // between CBN_DROPDOWN and the end of that list's selection
};

// The box's notification code as an event, or none for codes that do not matter here.
std::optional<SportBoxEvent> sportBoxEventFor(int notificationCode);

// `shown` is the box's selected item, `current` the item of the route's sport (-1: none of them).
SportBoxAction sportBoxAction(SportBoxState& state, SportBoxEvent event, int shown, int current);
