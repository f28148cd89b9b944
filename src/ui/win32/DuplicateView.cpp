#include "ui/win32/DuplicateView.h"

#include "ui/win32/RouteListView.h"

void findDuplicateRoutes(MainWindow& window) {
    changeRouteList(window, [&](ListView& view) { showDuplicatesOnly(view, window.language); });
}

bool endDuplicateRoutes(MainWindow& window) {
    if (!window.list.duplicatesOnly) return false;
    changeRouteList(window, [&](ListView& view) { endDuplicatesOnly(view, window.language); });
    return true;
}
