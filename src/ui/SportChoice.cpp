#include "ui/SportChoice.h"

namespace {

// Combo box notification codes (winuser.h).
constexpr int kKillFocus = 4;
constexpr int kDropDown = 7;
constexpr int kSelEndOk = 9;
constexpr int kSelEndCancel = 10;

}  // namespace

std::optional<SportBoxEvent> sportBoxEventFor(int notificationCode) {
    switch (notificationCode) {
        case kDropDown:
            return SportBoxEvent::listOpened;
        case kSelEndOk:
            return SportBoxEvent::listChosen;
        case kSelEndCancel:
            return SportBoxEvent::listCancelled;
        case kKillFocus:
            return SportBoxEvent::focusLost;
        default:
            return std::nullopt;
    }
}

SportBoxAction sportBoxAction(SportBoxState& state, SportBoxEvent event, int shown, int current) {
    const bool changed = shown >= 0 && shown != current;
    switch (event) {
        case SportBoxEvent::listOpened:
            state.listOpen = true;
            return SportBoxAction::none;
        case SportBoxEvent::listChosen:
            // Only a pick from the open list counts; in the closed box it is one more arrow step.
            if (!state.listOpen) return SportBoxAction::none;
            state.listOpen = false;
            return shown >= 0 ? SportBoxAction::write : SportBoxAction::none;
        case SportBoxEvent::listCancelled:
            // The closed box reports it too when it loses the focus; the focus loss decides then.
            if (!state.listOpen) return SportBoxAction::none;
            state.listOpen = false;
            return shown != current ? SportBoxAction::restore : SportBoxAction::none;
        case SportBoxEvent::enterPressed:
            return changed ? SportBoxAction::write : SportBoxAction::none;
        case SportBoxEvent::escapePressed:
            return shown != current ? SportBoxAction::restore : SportBoxAction::none;
        case SportBoxEvent::focusLost:
            state.listOpen = false;
            return changed ? SportBoxAction::write : SportBoxAction::none;
    }
    return SportBoxAction::none;
}
