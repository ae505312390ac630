// The main window: its class, the window itself, the fourteen controls, the menu bar, and the
// search field's Enter key.
#include "app.h"

#include <commctrl.h>

#include "library/joke_reader.h"
#include "resources/resource.h"

namespace {

// One child control as it is created; text nullptr means a text supplied at creation time.
struct ChildControl {
    const wchar_t* className;
    const wchar_t* text;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
    int id;
    HWND* handle;
    bool defaultFont;
    int icon;
};

constexpr DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT;

// In creation order; the joke view and the status bar take their texts from the library.
const ChildControl controls[] = {
    {L"Combobox", L"", 0, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST, 158,
     20, 512, 22, IDC_CATEGORY_LIST, &categoryCombo, true, 0},
    {L"button", L" Z. Kat. && Witz", 0, buttonStyle, 158, 55, 100, 32, IDC_RANDOM_CATEGORY_JOKE,
     nullptr, true, IDI_RANDOM_CATEGORY_JOKE},
    {L"button", L" Z. Kategorie", 0, buttonStyle, 268, 55, 100, 32, IDC_RANDOM_CATEGORY, nullptr,
     true, IDI_RANDOM_CATEGORY},
    {L"button", L" Zufalls Witz", 0, buttonStyle, 378, 55, 100, 32, IDC_RANDOM_JOKE, nullptr, true,
     IDI_RANDOM_JOKE},
    {L"static", L"Nummer eingeben:", 0, WS_CHILD | WS_VISIBLE | SS_LEFT, 488, 64, 100, 32, 0,
     nullptr, true, 0},
    {L"edit", L"", WS_EX_CLIENTEDGE, editStyle | ES_NUMBER, 598, 60, 72, 22, IDC_JOKE_NUMBER,
     nullptr, true, 0},
    {L"button", L" Zur\u00fcck", 0, buttonStyle, 158, 97, 100, 32, IDC_PREVIOUS_JOKE, nullptr, true,
     IDI_PREVIOUS},
    {L"button", L" Vor", 0, buttonStyle, 268, 97, 100, 32, IDC_NEXT_JOKE, nullptr, true, IDI_NEXT},
    {L"button", L" L\u00f6sen", 0, buttonStyle, 378, 97, 100, 32, IDC_SOLVE, &solveButton, true,
     IDI_SOLVE},
    {L"edit", L"...", WS_EX_CLIENTEDGE, editStyle, 488, 102, 100, 22, IDC_SEARCH_TEXT, &searchField,
     true, 0},
    {L"button", L" Such!", 0, buttonStyle, 598, 97, 72, 32, IDC_SEARCH, &searchButton, true,
     IDI_SEARCH},
    {L"edit", nullptr, WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_READONLY | ES_AUTOVSCROLL | ES_MULTILINE,
     10, 148, 468, 362, 0, &jokeView, true, 0},
    {WC_TREEVIEWW, L"", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 488, 148, 182, 362,
     IDC_RESULT_TREE, &resultTree, true, 0},
    {STATUSCLASSNAMEW, nullptr, 0, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 0, &statusBar, false, 0},
};

void appendItem(HMENU menu, UINT id, const wchar_t* text, UINT flags = MF_STRING) {
    AppendMenuW(menu, flags, id, text);
}

} // namespace

ATOM registerMainWindowClass(HINSTANCE instance) {
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = L"Pointex";
    return RegisterClassExW(&windowClass);
}

bool createMainWindow(HINSTANCE instance, int showCommand) {
    mainWindow = CreateWindowExW(
        0, L"Pointex", titleBase.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, 700, 600, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        return false;
    }
    createControls(mainWindow);
    createMainMenu(mainWindow);

    // Unsorted, so list position k stands for category k + 1.
    const auto& names = library.getCategoryFiles();
    const auto& counts = library.getJokeCounts();
    for (std::uint32_t i = 0; i < library.getCategoryCount(); ++i) {
        std::wstring item =
            names[i] + L"  (" + intToString(static_cast<std::int32_t>(counts[i])) + L")";
        SendMessageW(categoryCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }

    const int partEdges[] = {500, -1};
    SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(partEdges));
    std::wstring totals =
        intToString(static_cast<std::int32_t>(library.totalJokes)) + L" Witze in " +
        intToString(static_cast<std::int32_t>(library.categoryCount)) + L" Kategorien";
    SendMessageW(statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(totals.c_str()));

    ShowWindow(mainWindow, showCommand);
    return true;
}

bool createControls(HWND window) {
    InitCommonControls();
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (const ChildControl& child : controls) {
        std::wstring text;
        if (child.text != nullptr) {
            text = child.text;
        } else if (child.handle == &jokeView) {
            text = library.getInfoText();
        } else {
            text = library.getStatusText();
        }
        HWND control = CreateWindowExW(child.exStyle, child.className, text.c_str(), child.style,
                                       child.x, child.y, child.width, child.height, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                                       instance, nullptr);
        if (child.handle != nullptr) {
            *child.handle = control;
        }
        if (child.defaultFont) {
            setDefaultFont(control);
        }
        if (child.icon != 0) {
            HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(child.icon), IMAGE_ICON, 16, 16, 0);
            SendMessageW(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
        if (child.handle == &solveButton) {
            EnableWindow(control, FALSE);
        }
        if (child.handle == &jokeView) {
            // A solution is appended like typed text, which the edit's default limit of about
            // 30,000 characters would silently drop after a long joke.
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
        }
        if (child.handle == &searchField) {
            oldSearchFieldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(searchFieldProc)));
        }
    }
    return true;
}

bool createMainMenu(HWND window) {
    menuBar = CreateMenu();
    HMENU fileMenu = CreateMenu();
    HMENU jokeMenu = CreateMenu();
    HMENU searchMenu = CreateMenu();
    HMENU categoryMenu = CreateMenu();
    HMENU helpMenu = CreateMenu();

    appendItem(fileMenu, IDC_RANDOM_CATEGORY_JOKE, L"&Zufallskategorie && Witz");
    appendItem(fileMenu, 0, nullptr, MF_SEPARATOR);
    appendItem(fileMenu, IDM_EXIT, L"B&eenden");

    appendItem(jokeMenu, IDC_RANDOM_JOKE, L"Zufalls&witz");
    appendItem(jokeMenu, 0, nullptr, MF_SEPARATOR);
    appendItem(jokeMenu, IDC_PREVIOUS_JOKE, L"Witz &Zur\u00fcck");
    appendItem(jokeMenu, IDC_NEXT_JOKE, L"Witz &Vor");
    appendItem(jokeMenu, 0, nullptr, MF_SEPARATOR);
    appendItem(searchMenu, IDM_MATCH_CASE, L"Gro\u00df/Kleinschreibung &beachten");
    appendItem(searchMenu, IDM_ALL_CATEGORIES, L"&Alle Kategorien", MF_STRING | MF_CHECKED);
    AppendMenuW(jokeMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(searchMenu), L"&Suchen");
    appendItem(jokeMenu, IDM_CLEAR_SEARCH, L"Suche &l\u00f6schen");

    appendItem(categoryMenu, IDC_RANDOM_CATEGORY, L"Zufalls&kategorie");
    appendItem(helpMenu, IDM_ABOUT, L"&\u00dcber");

    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), L"&Datei");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(jokeMenu), L"&Witz");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(categoryMenu), L"&Kategorie");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(helpMenu), L"&Hilfe");
    return SetMenu(window, menuBar) != FALSE;
}

bool setDefaultFont(HWND control) {
    return SendMessageW(control, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE) != 0;
}

bool isMenuItemChecked(HMENU menu, UINT id) {
    return GetMenuState(menu, id, MF_BYCOMMAND) == MF_CHECKED;
}

LRESULT CALLBACK searchFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The click reaches the main window, and the search runs, before the key goes on.
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        SendMessageW(searchButton, BM_CLICK, 0, 0);
    }
    return CallWindowProcW(oldSearchFieldProc, window, message, wParam, lParam);
}
