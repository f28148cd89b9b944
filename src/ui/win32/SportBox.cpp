#include "ui/win32/SportBox.h"

#include <algorithm>
#include <utility>

#include "core/SportWeather.h"
#include "ui/SportChoice.h"
#include "ui/win32/BulkCommands.h"
#include "ui/win32/LibraryCommands.h"

namespace {

int routeSportItem(const RouteInfo& route) {
    const auto known = std::find(sportKeys.begin(), sportKeys.end(), route.sportKey);
    return known == sportKeys.end() ? -1 : static_cast<int>(known - sportKeys.begin());
}

void act(MainWindow& window, SportBoxEvent event) {
    const RouteInfo* route = selectedRoute(window);
    if (route == nullptr) return;
    // For several selected routes the box shows no sport, and any it shows is a choice for all.
    const bool several = window.list.selected.size() > 1;
    const auto shown = static_cast<int>(SendMessageW(window.sportCombo, CB_GETCURSEL, 0, 0));
    switch (sportBoxAction(window.sportBox, event, shown, several ? -1 : routeSportItem(*route))) {
        case SportBoxAction::none:
            return;
        case SportBoxAction::restore:
            if (several) {
                window.fillingSportCombo = true;
                SendMessageW(window.sportCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                window.fillingSportCombo = false;
            } else {
                showRouteSport(window, *route);
            }
            return;
        case SportBoxAction::write:
            // One write at a time: leaving the box right after Enter must not write again.
            if (!window.sportChoiceFile.empty()) return;
            // The file is taken now: leaving the box by a click on another row selects that row
            // before the write runs. The write waits until the box has closed its list and passed
            // the focus on, since it refills the box.
            window.sportChoiceFile = route->filePath;
            window.sportChoiceFiles = several ? window.list.selected : std::vector<std::filesystem::path>();
            window.sportChoice = shown;
            PostMessageW(window.mainWindow, kSportChosenMessage, 0, 0);
            return;
    }
}

}  // namespace

void handleSportBoxNotice(MainWindow& window, int notificationCode) {
    if (const auto event = sportBoxEventFor(notificationCode)) act(window, *event);
}

bool handleSportBoxKey(MainWindow& window, const MSG& message) {
    if (message.hwnd != window.sportCombo || message.message != WM_KEYDOWN) return false;
    if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) return false;
    // In the open list the box picks or cancels itself and reports it.
    if (SendMessageW(window.sportCombo, CB_GETDROPPEDSTATE, 0, 0)) return false;
    // Taken here either way: dialog navigation would turn them into IDOK and IDCANCEL.
    if (!window.fillingSportCombo)
        act(window, message.wParam == VK_RETURN ? SportBoxEvent::enterPressed : SportBoxEvent::escapePressed);
    return true;
}

void writeChosenSport(MainWindow& window) {
    const std::filesystem::path file = std::exchange(window.sportChoiceFile, {});
    const int choice = std::exchange(window.sportChoice, -1);
    std::vector<std::filesystem::path> files = std::exchange(window.sportChoiceFiles, {});
    if (file.empty() || choice < 0) return;
    if (!files.empty()) {
        startSportChange(window, std::move(files), static_cast<std::size_t>(choice));
        return;
    }
    changeRouteSport(window, file, static_cast<std::size_t>(choice));
}
