// The main window: start-up construction of every control, the window procedure and the layout.

#include "ui/win32/MainFrame.h"

#include <array>
#include <memory>

#include "ui/CommandDispatch.h"
#include "ui/ControlIds.h"
#include "ui/LanguageMenu.h"
#include "ui/Layout.h"
#include "ui/RouteColumns.h"
#include "ui/win32/Accessibility.h"
#include "ui/win32/BulkCommands.h"
#include "ui/win32/DetailPanel.h"
#include "ui/win32/DropImport.h"
#include "ui/win32/ExportCommand.h"
#include "ui/win32/FilterBar.h"
#include "ui/win32/Keyboard.h"
#include "ui/win32/LanguageView.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/LibraryWatch.h"
#include "ui/win32/ListColumns.h"
#include "ui/win32/ListHints.h"
#include "ui/win32/OverviewView.h"
#include "ui/win32/ProfileView.h"
#include "ui/win32/RouteListMenu.h"
#include "ui/win32/RouteListView.h"
#include "ui/win32/SportBox.h"
#include "ui/win32/WindowPlacement.h"

namespace {

// Tab and Shift+Tab move through every control with WS_TABSTOP, in creation order.
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_FLAT;
constexpr DWORD kComboStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
// SS_NOPREFIX: the statics show route names, weather notes and paths from files, in which an "&"
// is text, not the mark of an access key.
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;

HINSTANCE windowInstance() {
    return reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
}

HFONT createUiFont(int height, int weight, UINT dpi) {
    return CreateFontW(-scaledPixels(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
}

struct WindowFonts {
    HFONT body = nullptr;
    HFONT stat = nullptr;
    HFONT title = nullptr;
    HFONT small = nullptr;
};

WindowFonts createFonts(UINT dpi) {
    return {createUiFont(18, FW_NORMAL, dpi), createUiFont(19, FW_SEMIBOLD, dpi),
            createUiFont(34, FW_BOLD, dpi), createUiFont(15, FW_NORMAL, dpi)};
}

void setControlFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HWND createChild(const MainWindow& window, const wchar_t* className, DWORD exStyle, DWORD style,
                 const wchar_t* text, int id, HFONT font) {
    HWND control =
        CreateWindowExW(exStyle, className, text, style, 0, 0, 0, 0, window.mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), windowInstance(), nullptr);
    setControlFont(control, font);
    return control;
}

HWND createStatic(const MainWindow& window, const wchar_t* text, HFONT font) {
    HWND control = CreateWindowExW(0, L"STATIC", text, kStaticStyle, 0, 0, 10, 10, window.mainWindow, nullptr,
                                   windowInstance(), nullptr);
    setControlFont(control, font);
    return control;
}

void insertColumns(const MainWindow& window) {
    // German headers until the language is applied, as every caption at creation.
    const ActiveLanguage german = resolveLanguage("de");
    for (int index = 0; index < static_cast<int>(kRouteColumnCount); ++index) {
        const std::u16string header = columnHeaderText(routeColumns[index], german);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        // Figures stand right-aligned, so that their digits line up; the widths follow the
        // measured texts (ListColumns).
        column.fmt = routeColumns[index].figure ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = scaledPixels(routeColumns[index].width, window.dpi);
        column.pszText = const_cast<wchar_t*>(wideText(header));
        column.iSubItem = index;
        SendMessageW(window.routeList, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

void createControls(MainWindow& window) {
    const ActiveLanguage german = resolveLanguage("de");
    for (const ToolButton& button : toolButtons) {
        const std::u16string caption = controlCaption(german, button.icon, button.captionKey);
        createChild(window, L"BUTTON", 0, kButtonStyle, wideText(caption), button.controlId, window.bodyFont);
    }
    createAccessibleLabel(window, "searchBoxName");
    window.searchBox =
        createChild(window, L"EDIT", WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                    L"", IDC_SEARCH, window.bodyFont);
    SendMessageW(window.searchBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Suchen"));
    createAccessibleLabel(window, "languageBoxName");
    window.languageCombo =
        createChild(window, L"COMBOBOX", 0, kComboStyle, L"", IDC_LANGUAGE, window.smallFont);
    createAccessibleLabel(window, "unitsBoxName");
    window.unitsCombo = createChild(window, L"COMBOBOX", 0, kComboStyle, L"", IDC_UNITS, window.smallFont);

    HWND header = createStatic(window, L"TIRN GPX\r\nTirn GPX Library", window.titleFont);
    SetWindowLongPtrW(header, GWLP_ID, IDC_HEADER);

    for (std::size_t box = 0; box < kFilterCount; ++box) {
        createAccessibleLabel(window, routeFilters[box].nameKey);
        window.filterCombos[box] = createChild(window, L"COMBOBOX", 0, kComboStyle, L"",
                                               routeFilters[box].controlId, window.smallFont);
    }
    window.resetButton = createChild(window, L"BUTTON", 0, kButtonStyle, L"\u00d7 Zur\u00fccksetzen",
                                     IDC_RESET, window.smallFont);

    createAccessibleLabel(window, "routes");  // screen readers name the list by it
    window.routeList =
        createChild(window, WC_LISTVIEWW, WS_EX_CLIENTEDGE,
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, L"",
                    IDC_ROUTE_LIST, window.bodyFont);
    SendMessageW(window.routeList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    insertColumns(window);

    window.titleStatic = createStatic(window, L"Eine Route w\u00e4hlen", window.titleFont);
    // A name too long for the panel ends in an ellipsis instead of wrapping out of sight; the
    // whole name shows in its tooltip, for which the static takes the mouse (SS_NOTIFY).
    SetWindowLongPtrW(window.titleStatic, GWL_STYLE,
                      GetWindowLongPtrW(window.titleStatic, GWL_STYLE) | SS_ENDELLIPSIS | SS_NOTIFY);
    window.fileNameStatic = createStatic(window, L"", window.smallFont);
    window.subtitleStatic = createStatic(window, L"", window.smallFont);
    window.sketchView =
        CreateWindowExW(0, L"TirnSketch", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window.mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SKETCH)), windowInstance(), nullptr);
    window.distanceStatic = createStatic(window, L"Distanz\r\n\u2013", window.statFont);
    window.timeStatic = createStatic(window, L"Zeit\r\n\u2013", window.statFont);
    window.ascentStatic = createStatic(window, L"Anstieg\r\n\u2013", window.statFont);
    window.pointsStatic = createStatic(window, L"Punkte\r\n\u2013", window.statFont);
    window.weatherStatic = createStatic(window, L"", window.statFont);
    createAccessibleLabel(window, "sportBoxName");
    window.sportCombo =
        createChild(window, L"ComboBox", 0, kComboStyle, L"", IDC_SPORT_CHANGE, window.bodyFont);
    window.speedStatic = createStatic(window, L"", window.statFont);
    window.typeStatic = createStatic(window, L"", window.statFont);
    window.startStatic = createStatic(window, L"", window.statFont);
    window.finishStatic = createStatic(window, L"", window.statFont);
    window.statusStatic = createStatic(window, L"", window.smallFont);
    window.profileView = CreateWindowExW(
        0, kProfileClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window.mainWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROFILE)), windowInstance(), nullptr);
    createOverviewControls(window);
    createToolTips(window);
    installListHints(window);
    createBulkControls(window);
}

void handleCommand(MainWindow& window, int id, int code) {
    switch (dispatchCommand(id, code, window.fillingLanguageCombo, window.fillingSportCombo,
                            window.list.focusedRow)) {
        case Command::importFiles:
            importFiles(window);
            break;
        case Command::chooseLibraryFolder:
            chooseLibraryFolder(window);
            break;
        case Command::reload:
            scanLibrary(window, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
            break;
        case Command::rebuildList:
            routeListControlChanged(window, id);
            break;
        case Command::resetFilters:
            resetRouteList(window);
            break;
        case Command::selectLanguage:
            selectLanguage(window);
            break;
        case Command::selectUnits:
            selectUnits(window);
            break;
        case Command::sportBox:
            handleSportBoxNotice(window, code);
            break;
        case Command::exportRoutes:
            exportListedRoutes(window);
            break;
        case Command::toggleOverview:
            toggleOverview(window);
            break;
        case Command::clearOverviewPick:
            clearOverviewPick(window);
            break;
        case Command::none:
            break;
    }
}

// Fonts and brushes belong to the window; its children are gone by WM_NCDESTROY.
void releaseWindowState(MainWindow* window) {
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(window->bodyFont), static_cast<HGDIOBJ>(window->statFont),
          static_cast<HGDIOBJ>(window->titleFont), static_cast<HGDIOBJ>(window->smallFont),
          static_cast<HGDIOBJ>(window->backgroundBrush), static_cast<HGDIOBJ>(window->sketchBrush)}) {
        if (object) DeleteObject(object);
    }
    delete window;
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->mainWindow = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    MainWindow* window = mainWindowOf(hwnd);
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            releaseWindowState(window);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_CLOSE:
        case WM_ENDSESSION:
            if (message == WM_CLOSE || wParam) rememberWindowPlacement(*window);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_DESTROY:
            stopSportRun(*window);
            stopWatchingLibrary(*window);
            PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            handleActivation(*window, wParam);
            return 0;
        case WM_DPICHANGED:
            applyDpi(*window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SIZE:
            layoutMainWindow(*window, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, window->backgroundBrush);
            return 1;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == TTN_GETDISPINFOW && header->hwndFrom == window->toolTip) {
                fillToolTipText(*window, *reinterpret_cast<NMTTDISPINFOW*>(lParam));
                return 0;
            }
            if (header->idFrom == static_cast<UINT_PTR>(IDC_ROUTE_LIST))
                return handleRouteListNotify(*window, header);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BULK_CANCEL) cancelSportRun(*window);
            handleCommand(*window, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CONTEXTMENU:
            if (showRouteListMenu(*window, reinterpret_cast<HWND>(wParam), lParam)) return 0;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_DROPFILES:
            importDroppedFiles(*window, reinterpret_cast<HDROP>(wParam));
            return 0;
        case kFolderChangedMessage:
            libraryFolderChanged(*window);
            return 0;
        case kSportChosenMessage:
            writeChosenSport(*window);
            return 0;
        case kSportRunMessage:
            sportRunReport(*window);
            return 0;
        case kRescanDoneMessage:
            libraryRescanDone(*window, wParam);
            return 0;
        case WM_SETTINGCHANGE:
            // Sent with "intl" when the user changes the regional settings.
            if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
                followSystemLanguage(*window);
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colorRef(kTextColor));
            SetBkColor(dc, colorRef(kBackgroundColor));
            return reinterpret_cast<LRESULT>(window->backgroundBrush);
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void layoutMainWindow(MainWindow& window, int clientWidth, int clientHeight) {
    const auto rects = layoutControls(static_cast<uint16_t>(clientWidth), static_cast<uint16_t>(clientHeight),
                                      window.dpi, window.filterWidths);
    std::array<HWND, layoutSlotCount> controls{};
    controls[slotImport] = GetDlgItem(window.mainWindow, IDC_IMPORT);
    controls[slotExport] = GetDlgItem(window.mainWindow, IDC_EXPORT);
    controls[slotFolder] = GetDlgItem(window.mainWindow, IDC_FOLDER);
    controls[slotReload] = GetDlgItem(window.mainWindow, IDC_RELOAD);
    controls[slotLanguage] = window.languageCombo;
    controls[slotUnits] = window.unitsCombo;
    controls[slotSearch] = window.searchBox;
    controls[slotHeader] = GetDlgItem(window.mainWindow, IDC_HEADER);
    for (std::size_t box = 0; box < kFilterCount; ++box)
        controls[slotFirstFilter + box] = window.filterCombos[box];
    controls[slotReset] = window.resetButton;
    controls[slotRouteList] = window.routeList;
    controls[slotStatus] = window.statusStatic;
    controls[slotTitle] = window.titleStatic;
    controls[slotSubtitle] = window.subtitleStatic;
    controls[slotSketch] = window.sketchView;
    controls[slotDistance] = window.distanceStatic;
    controls[slotTime] = window.timeStatic;
    controls[slotAscent] = window.ascentStatic;
    controls[slotPoints] = window.pointsStatic;
    controls[slotWeather] = window.weatherStatic;
    controls[slotSportCombo] = window.sportCombo;
    controls[slotFileName] = window.fileNameStatic;
    controls[slotSpeed] = window.speedStatic;
    controls[slotType] = window.typeStatic;
    controls[slotStart] = window.startStatic;
    controls[slotFinish] = window.finishStatic;
    controls[slotProfile] = window.profileView;
    for (std::size_t slot = 0; slot < layoutSlotCount; ++slot) {
        const ControlRect& rect = rects[slot];
        MoveWindow(controls[slot], rect.left, rect.top, rect.width, rect.height, TRUE);
    }
    fitRouteListColumns(window);
    placeBulkControls(window);
    layoutOverview(window, rects);
}

MainWindow* createMainWindow(HINSTANCE instance) {
    WNDCLASSW mainClass{};
    mainClass.style = 0;
    mainClass.lpfnWndProc = mainWindowProc;
    mainClass.hInstance = instance;
    mainClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = CreateSolidBrush(colorRef(kBackgroundColor));
    mainClass.lpszClassName = L"TirnGpxLibraryWindow";
    RegisterClassW(&mainClass);

    // The window owns the state from WM_NCCREATE on and frees it at WM_NCDESTROY.
    auto state = std::make_unique<MainWindow>();
    MainWindow* window = state.get();
    HWND hwnd = CreateWindowExW(0, L"TirnGpxLibraryWindow", L"Tirn GPX Library",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 1380,
                                860, nullptr, nullptr, instance, window);
    if (hwnd == nullptr) return nullptr;
    state.release();
    window->dpi = GetDpiForWindow(hwnd);
    if (window->dpi == 0) window->dpi = 96;
    HANDLE smallIcon = LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    window->settings = loadSettings();
    window->language = resolveLanguage(window->settings.languageSetting, window->settings.units);

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;  // the list and the tooltips
    InitCommonControlsEx(&controls);

    const WindowFonts fonts = createFonts(window->dpi);
    window->bodyFont = fonts.body;
    window->statFont = fonts.stat;
    window->titleFont = fonts.title;
    window->smallFont = fonts.small;
    window->backgroundBrush = CreateSolidBrush(colorRef(kBackgroundColor));
    window->sketchBrush = CreateSolidBrush(colorRef(kSketchBackgroundColor));

    WNDCLASSW sketchClass{};
    sketchClass.lpfnWndProc = sketchWindowProc;
    sketchClass.hInstance = instance;
    sketchClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    sketchClass.lpszClassName = L"TirnSketch";
    RegisterClassW(&sketchClass);
    registerProfileClass(instance);

    createControls(*window);
    // Placed before the library is read: a long scan shows the window where it belongs.
    placeMainWindow(*window);
    applyLanguage(*window);
    // Watched before it is read, so that no change made meanwhile goes unseen.
    watchLibraryFolder(*window);
    scanLibrary(*window);
    DragAcceptFiles(hwnd, TRUE);
    return window;
}

int runMainWindow(MainWindow& window, int showCommand) {
    const bool normal =
        showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT || showCommand == SW_SHOW;
    ShowWindow(window.mainWindow, window.startMaximized && normal ? SW_SHOWMAXIMIZED : showCommand);
    UpdateWindow(window.mainWindow);
    tellFolderNotListed(window);
    focusSearchBox(window);
    // The state is freed with the window: the loop reaches it through the window while it exists.
    HWND mainWindow = window.mainWindow;
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        MainWindow* state = mainWindowOf(mainWindow);
        if (state && translateWindowMessage(*state, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void applyDpi(MainWindow& window, UINT dpi, const RECT* suggested) {
    if (dpi == 0 || dpi == window.dpi) {
        if (suggested) {
            SetWindowPos(window.mainWindow, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return;
    }
    window.dpi = dpi;
    const WindowFonts fonts = createFonts(dpi);
    const std::pair<HFONT, HFONT> replaced[] = {{window.bodyFont, fonts.body},
                                                {window.statFont, fonts.stat},
                                                {window.titleFont, fonts.title},
                                                {window.smallFont, fonts.small}};
    // Each control keeps its kind of font, at the new size.
    for (HWND child = GetWindow(window.mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto current = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        for (const auto& [from, to] : replaced) {
            if (current == from) setControlFont(child, to);
        }
    }
    for (const auto& [from, to] : replaced) DeleteObject(from);
    window.bodyFont = fonts.body;
    window.statFont = fonts.stat;
    window.titleFont = fonts.title;
    window.smallFont = fonts.small;
    // The columns are measured again with the new fonts; the layout below shares them out.
    chooseBrokenMark(window);
    measureRouteListColumns(window);
    window.filterWidths = {};  // measured again below, after the new size has been laid out
    if (suggested) {
        SetWindowPos(window.mainWindow, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{};
    GetClientRect(window.mainWindow, &client);
    layoutMainWindow(window, client.right, client.bottom);
    measureFilterBoxes(window);
    InvalidateRect(window.mainWindow, nullptr, TRUE);
}
