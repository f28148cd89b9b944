#include "ui/win32/ExportCommand.h"

#include <shobjidl.h>

#include <filesystem>
#include <string>

#include "library/Settings.h"
#include "platform/Platform.h"
#include "ui/Export.h"
#include "ui/Format.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/RouteListView.h"

namespace {

// The file the user names in the save dialog and whether it is to be GeoJSON; empty when cancelled.
std::filesystem::path askExportFile(const MainWindow& window, bool& geoJson) {
    IFileSaveDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(&dialog))) ||
        !dialog) {
        return {};
    }
    const std::u16string csvName = std::u16string(translate(window.language, "csvFileType")) + u" (*.csv)";
    const std::u16string geoName =
        std::u16string(translate(window.language, "geoJsonFileType")) + u" (*.geojson)";
    const COMDLG_FILTERSPEC types[] = {{wideText(csvName), L"*.csv"}, {wideText(geoName), L"*.geojson"}};
    dialog->SetFileTypes(2, types);
    dialog->SetFileTypeIndex(1);
    // The chosen type's extension is added to a name typed without one.
    dialog->SetDefaultExtension(L"csv");
    dialog->SetFileName(L"routes");
    const std::u16string title(translate(window.language, "exportRoutes"));
    dialog->SetTitle(wideText(title));
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_OVERWRITEPROMPT);

    std::filesystem::path path;
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->Show(window.mainWindow)) && SUCCEEDED(dialog->GetResult(&item)) && item) {
        wchar_t* text = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &text)) && text) {
            path = std::filesystem::path(text);
            CoTaskMemFree(text);
        }
        item->Release();
        UINT type = 1;
        dialog->GetFileTypeIndex(&type);
        geoJson = type == 2;
    }
    dialog->Release();
    return path;
}

}  // namespace

void exportListedRoutes(MainWindow& window) {
    bool geoJson = false;
    const std::filesystem::path path = askExportFile(window, geoJson);
    if (path.empty()) return;
    const std::vector<const RouteInfo*> routes = listedRoutes(window.list);
    std::size_t written = routes.size();
    std::size_t leftOut = 0;
    std::string bytes;
    if (geoJson) {
        GeoJsonExport exported = routesGeoJson(routes);
        bytes = std::move(exported.text);
        written = exported.written;
        leftOut = exported.leftOut;
    } else {
        bytes = routesCsv(routes, window.language);
    }
    // A route file is never replaced by a table (a name typed with ".gpx" keeps it in some
    // dialogs). The rest is written beside the target and put in its place only when whole: a
    // failed export leaves an earlier file of that name as it was.
    std::u16string extension = pathToWide(path.extension());
    for (char16_t& unit : extension) unit = unit >= u'A' && unit <= u'Z' ? unit + 32 : unit;
    if (extension == u".gpx" || !saveThroughTemporary(path, bytes)) {
        const std::u16string text(translate(window.language, "exportFailed"));
        MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONERROR);
        return;
    }
    std::u16string note = fillIn(translate(window.language, "exportedCount"), u"{n}",
                                 decimalText(static_cast<int64_t>(written)));
    if (leftOut > 0) {
        note += kStatusSeparator;
        note += fillIn(translate(window.language, "pointlessLeftOut"), u"{n}",
                       decimalText(static_cast<int64_t>(leftOut)));
    }
    changeRouteList(window, [&](ListView& view) { view.note = std::move(note); });
}
