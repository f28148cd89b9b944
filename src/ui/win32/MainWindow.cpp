// The main window: start-up construction of every control, the window procedure and the layout.

#include "ui/win32/MainWindow.h"

#include <array>

#include "library/Settings.h"
#include "ui/CommandDispatch.h"
#include "ui/ControlIds.h"
#include "ui/Layout.h"
#include "ui/ListColors.h"
#include "ui/RouteListLogic.h"

HWND mainWindow = nullptr;
HWND searchBox = nullptr;
HWND languageCombo = nullptr;
HWND startFilterCombo = nullptr;
HWND endFilterCombo = nullptr;
HWND sportFilterCombo = nullptr;
HWND ghostFilterCombo = nullptr;
HWND typeFilterCombo = nullptr;
HWND lengthFilterCombo = nullptr;
HWND resetButton = nullptr;
HWND routeList = nullptr;
HWND titleStatic = nullptr;
HWND subtitleStatic = nullptr;
HWND sketchView = nullptr;
HWND distanceStatic = nullptr;
HWND timeStatic = nullptr;
HWND ascentStatic = nullptr;
HWND pointsStatic = nullptr;
HWND weatherStatic = nullptr;
HWND sportCombo = nullptr;
HWND statusStatic = nullptr;

HFONT bodyFont = nullptr;
HFONT statFont = nullptr;
HFONT titleFont = nullptr;
HFONT smallFont = nullptr;
HBRUSH backgroundBrush = nullptr;
HBRUSH sketchBrush = nullptr;

bool fillingSportCombo = false;
bool fillingLanguageCombo = false;

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_FLAT;
constexpr DWORD kComboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST;
// SS_NOPREFIX: the statics show route names, weather notes and paths from files, in which an "&"
// is text, not the mark of an access key.
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;

COLORREF colorRef(Rgb color) {
    return RGB(color.r, color.g, color.b);
}

HINSTANCE windowInstance() {
    return reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
}

HFONT createUiFont(int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
}

HWND createChild(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* text, int id,
                 HFONT font) {
    HWND window =
        CreateWindowExW(exStyle, className, text, style, 0, 0, 0, 0, mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), windowInstance(), nullptr);
    setControlFont(window, font);
    return window;
}

HWND createStaticWithFont(const wchar_t* text, HFONT font) {
    HWND window = createStatic(text);
    setControlFont(window, font);
    return window;
}

void insertColumns() {
    struct Column {
        const wchar_t* header;
        int width;
    };
    static constexpr std::array<Column, 9> columns = {{{L"Name", 300},
                                                       {L"Datum", 90},
                                                       {L"Sportart", 140},
                                                       {L"L\u00e4nge", 95},
                                                       {L"Zeit", 90},
                                                       {L"Anstieg", 85},
                                                       {L"Punkte", 75},
                                                       {L"Ghost", 65},
                                                       {L"Art", 100}}};
    for (int index = 0; index < static_cast<int>(columns.size()); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[index].width;
        column.pszText = const_cast<wchar_t*>(columns[index].header);
        column.iSubItem = index;
        SendMessageW(routeList, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

void createControls() {
    createChild(L"BUTTON", 0, kButtonStyle, L"\uff0b Importieren", IDC_IMPORT, bodyFont);
    createChild(L"BUTTON", 0, kButtonStyle, L"\u25a3 Ordner", IDC_FOLDER, bodyFont);
    createChild(L"BUTTON", 0, kButtonStyle, L"\u21bb Neu laden", IDC_RELOAD, bodyFont);
    searchBox = createChild(L"EDIT", WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, L"",
                            IDC_SEARCH, bodyFont);
    SendMessageW(searchBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Suchen"));
    languageCombo = createChild(L"COMBOBOX", 0, kComboStyle, L"", IDC_LANGUAGE, smallFont);

    HWND header = createStatic(L"TIRN GPX\r\nTirn GPX Library");
    SetWindowLongPtrW(header, GWLP_ID, IDC_HEADER);
    setControlFont(header, titleFont);

    startFilterCombo = createFilterCombo(IDC_FILTER_START);
    endFilterCombo = createFilterCombo(IDC_FILTER_END);
    sportFilterCombo = createFilterCombo(IDC_FILTER_SPORT);
    ghostFilterCombo = createFilterCombo(IDC_FILTER_GHOST);
    typeFilterCombo = createFilterCombo(IDC_FILTER_TYPE);
    lengthFilterCombo = createFilterCombo(IDC_FILTER_LENGTH);
    resetButton = createChild(L"BUTTON", 0, kButtonStyle, L"\u00d7 Zur\u00fccksetzen", IDC_RESET, smallFont);

    routeList =
        createChild(WC_LISTVIEWW, WS_EX_CLIENTEDGE,
                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                    L"", IDC_ROUTE_LIST, bodyFont);
    SendMessageW(routeList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    insertColumns();

    titleStatic = createStaticWithFont(L"Eine Route w\u00e4hlen", titleFont);
    // A name too long for the panel ends in an ellipsis instead of wrapping out of sight.
    SetWindowLongPtrW(titleStatic, GWL_STYLE, GetWindowLongPtrW(titleStatic, GWL_STYLE) | SS_ENDELLIPSIS);
    subtitleStatic = createStaticWithFont(L"", smallFont);
    sketchView =
        CreateWindowExW(0, L"TirnSketch", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SKETCH)), windowInstance(), nullptr);
    distanceStatic = createStaticWithFont(L"DISTANZ\r\n\u2013", statFont);
    timeStatic = createStaticWithFont(L"ZEIT\r\n\u2013", statFont);
    ascentStatic = createStaticWithFont(L"ANSTIEG\r\n\u2013", statFont);
    pointsStatic = createStaticWithFont(L"PUNKTE\r\n\u2013", statFont);
    weatherStatic = createStaticWithFont(L"", statFont);
    sportCombo = createChild(L"ComboBox", 0, kComboStyle, L"", IDC_SPORT_CHANGE, bodyFont);
    statusStatic = createStaticWithFont(L"", smallFont);
}

LRESULT handleListNotification(const NMHDR* header) {
    if (header->idFrom != static_cast<UINT_PTR>(IDC_ROUTE_LIST)) return 0;
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                change->iItem >= 0) {
                selectedRow = change->iItem;
                refreshDetailPanel();
            }
            return 0;
        }
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header));
            const auto row = static_cast<std::size_t>(info->item.iItem < 0 ? 0 : info->item.iItem);
            if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
                const std::u16string text =
                    routeListCellText(row, static_cast<std::size_t>(info->item.iSubItem));
                lstrcpynW(info->item.pszText, wideText(text), info->item.cchTextMax);
            }
            if ((info->item.mask & LVIF_PARAM) && row < visibleRows.size()) {
                info->item.lParam = static_cast<LPARAM>(visibleRows[row]);
            }
            return 0;
        }
        case LVN_ODFINDITEMW: {
            // Typing in the list jumps to the next row whose name begins with the typed letters.
            const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
            if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
            return findRouteListRow(u16Text(find->lvfi.psz), find->iStart);
        }
        case LVN_DELETEALLITEMS:
            // TRUE spares one LVN_DELETEITEM per row when the list is emptied for a rebuild.
            return TRUE;
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header));
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                const auto row = static_cast<int64_t>(draw->nmcd.dwItemSpec);
                const bool selected =
                    SendMessageW(routeList, LVM_GETITEMSTATE, draw->nmcd.dwItemSpec, LVIS_SELECTED) &
                    LVIS_SELECTED;
                draw->clrText = colorRef(kTextColor);
                draw->clrTextBk = colorRef(rowBackgroundColor(row, selected));
                // Without this the control paints its own highlight over the selected row's colour.
                draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
                return CDRF_NEWFONT;
            }
            return 0;
        }
        default:
            return 0;
    }
}

void handleCommand(HWND hwnd, int id, int code) {
    switch (dispatchCommand(id, code, fillingLanguageCombo, fillingSportCombo, selectedRow)) {
        case Command::importFiles:
            importFiles();
            break;
        case Command::chooseLibraryFolder:
            chooseLibraryFolder();
            break;
        case Command::reload:
            scanLibrary();
            break;
        case Command::rebuildList:
            rebuildRouteList();
            break;
        case Command::resetFilters:
            rebuildFilterBar();
            SetWindowTextW(searchBox, L"");
            rebuildRouteList();
            break;
        case Command::selectLanguage:
            selectLanguage();
            break;
        case Command::changeSport:
            changeSelectedSport(hwnd);
            break;
        case Command::none:
            break;
    }
}

}  // namespace

HWND createStatic(const wchar_t* text) {
    HWND window = CreateWindowExW(0, L"STATIC", text, kStaticStyle, 0, 0, 10, 10, mainWindow, nullptr,
                                  windowInstance(), nullptr);
    setControlFont(window, bodyFont);
    return window;
}

HWND createFilterCombo(int id) {
    return createChild(L"COMBOBOX", 0, kComboStyle, L"", id, smallFont);
}

void setControlFont(HWND window, HFONT font) {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void layoutMainWindow(int clientWidth, int clientHeight) {
    const auto rects =
        layoutControls(static_cast<uint16_t>(clientWidth), static_cast<uint16_t>(clientHeight));
    const std::array<HWND, layoutSlotCount> windows = {GetDlgItem(mainWindow, IDC_IMPORT),
                                                       GetDlgItem(mainWindow, IDC_FOLDER),
                                                       GetDlgItem(mainWindow, IDC_RELOAD),
                                                       languageCombo,
                                                       searchBox,
                                                       GetDlgItem(mainWindow, IDC_HEADER),
                                                       startFilterCombo,
                                                       endFilterCombo,
                                                       sportFilterCombo,
                                                       ghostFilterCombo,
                                                       typeFilterCombo,
                                                       lengthFilterCombo,
                                                       resetButton,
                                                       routeList,
                                                       statusStatic,
                                                       titleStatic,
                                                       subtitleStatic,
                                                       sketchView,
                                                       distanceStatic,
                                                       timeStatic,
                                                       ascentStatic,
                                                       pointsStatic,
                                                       weatherStatic,
                                                       sportCombo};
    for (std::size_t slot = 0; slot < layoutSlotCount; ++slot) {
        const ControlRect& rect = rects[slot];
        MoveWindow(windows[slot], rect.left, rect.top, rect.width, rect.height, TRUE);
    }
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            layoutMainWindow(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush);
            return 1;
        }
        case WM_NOTIFY:
            return handleListNotification(reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            handleCommand(hwnd, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colorRef(kTextColor));
            SetBkColor(dc, colorRef(kBackgroundColor));
            return reinterpret_cast<LRESULT>(backgroundBrush);
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND createMainWindow(HINSTANCE instance) {
    WNDCLASSW mainClass{};
    mainClass.style = 0;
    mainClass.lpfnWndProc = mainWindowProc;
    mainClass.hInstance = instance;
    mainClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = CreateSolidBrush(colorRef(kBackgroundColor));
    mainClass.lpszClassName = L"TirnGpxLibraryWindow";
    RegisterClassW(&mainClass);

    mainWindow = CreateWindowExW(0, L"TirnGpxLibraryWindow", L"Tirn GPX Library",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 1380,
                                 860, nullptr, nullptr, instance, nullptr);
    HANDLE smallIcon = LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    SendMessageW(mainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    loadSettings();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&controls);

    bodyFont = createUiFont(18, FW_NORMAL);
    statFont = createUiFont(19, FW_SEMIBOLD);
    titleFont = createUiFont(34, FW_BOLD);
    smallFont = createUiFont(15, FW_NORMAL);
    backgroundBrush = CreateSolidBrush(colorRef(kBackgroundColor));
    sketchBrush = CreateSolidBrush(colorRef(kSketchBackgroundColor));

    WNDCLASSW sketchClass{};
    sketchClass.lpfnWndProc = sketchWindowProc;
    sketchClass.hInstance = instance;
    sketchClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    sketchClass.lpszClassName = L"TirnSketch";
    RegisterClassW(&sketchClass);

    createControls();
    applyLanguage();
    scanLibrary();
    return mainWindow;
}

int runMainWindow(int showCommand) {
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
