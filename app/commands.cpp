// The main window procedure: commands, the result tree's double-click, painting and ending.
#include "app.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include <commctrl.h>

#include "about/about_dialog.h"
#include "library/joke_reader.h"
#include "resources/resource.h"
#include "search/result_tree.h"

namespace {

HINSTANCE instanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

void setStatusText(const std::wstring& text) {
    SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void setText(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void showSolution() {
    int end = GetWindowTextLengthW(jokeView);
    SendMessageW(jokeView, EM_SETSEL, end, end);
    std::wstring part = L"\r\n\r\n" + library.getSolution();
    SendMessageW(jokeView, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
    if (!library.getHasSolution()) {
        EnableWindow(solveButton, FALSE);
    }
}

void showNumberedJoke(HWND numberField) {
    auto length = static_cast<int>(SendMessageW(numberField, EM_LINELENGTH, 0, 0));
    // EM_GETLINE takes the buffer's size in its first word and does not terminate the text.
    std::vector<wchar_t> line(static_cast<std::size_t>(length) + 2, L'\0');
    line[0] = static_cast<wchar_t>(length + 1);
    auto copied = static_cast<std::size_t>(
        SendMessageW(numberField, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line.data())));
    line[std::min(copied, static_cast<std::size_t>(length))] = L'\0';
    showJoke(static_cast<std::uint32_t>(_wtoi(line.data())));
}

void runSearch() {
    auto length = static_cast<int>(SendMessageW(searchField, EM_LINELENGTH, 0, 0));
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(searchField, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text[static_cast<std::size_t>(length)] = L'\0';
    bool caseSensitive = isMenuItemChecked(menuBar, IDM_MATCH_CASE);
    bool allCategories = isMenuItemChecked(menuBar, IDM_ALL_CATEGORIES);
    library.search(text.data(), allCategories, caseSensitive);
    showSearchResults();
}

void toggleCheckMark(UINT id) {
    UINT state = GetMenuState(menuBar, id, MF_BYCOMMAND);
    if (state == MF_CHECKED) {
        CheckMenuItem(menuBar, id, MF_BYCOMMAND | MF_UNCHECKED);
    } else if (state == 0) {
        CheckMenuItem(menuBar, id, MF_BYCOMMAND | MF_CHECKED);
    }
}

// Commands whose handler ignores the notification code, and those that act on code 0 only
// (BN_CLICKED, and every menu command).
struct Command {
    int id;
    bool anyCode;
    void (*run)(HWND window, HWND control, int code);
};

const Command commands[] = {
    {IDM_ABOUT, true,
     [](HWND window, HWND, int) {
         DialogBoxParamW(instanceOf(window), MAKEINTRESOURCEW(IDD_ABOUT), window, aboutDialogProc,
                         0);
     }},
    {IDC_CATEGORY_LIST, true,
     [](HWND, HWND list, int code) {
         if (code == CBN_SELCHANGE) {
             showCategory(static_cast<std::uint32_t>(SendMessageW(list, CB_GETCURSEL, 0, 0) + 1));
         }
     }},
    {IDC_JOKE_NUMBER, true,
     [](HWND, HWND field, int code) {
         if (code == EN_CHANGE) {
             showNumberedJoke(field);
         }
     }},
    {IDC_SOLVE, true, [](HWND, HWND, int) { showSolution(); }},
    {IDC_RANDOM_CATEGORY, false, [](HWND, HWND, int) { showCategory(0); }},
    {IDC_RANDOM_JOKE, false, [](HWND, HWND, int) { showJoke(0); }},
    {IDC_RANDOM_CATEGORY_JOKE, false,
     [](HWND, HWND, int) {
         showCategory(0);
         showJoke(0);
     }},
    {IDC_PREVIOUS_JOKE, false,
     [](HWND, HWND, int) {
         library.previousJoke();
         showJoke(library.getCurrentJoke());
     }},
    {IDC_NEXT_JOKE, false,
     [](HWND, HWND, int) {
         library.nextJoke();
         showJoke(library.getCurrentJoke());
     }},
    {IDC_SEARCH, false, [](HWND, HWND, int) { runSearch(); }},
    {IDM_CLEAR_SEARCH, false,
     [](HWND, HWND, int) {
         SendMessageW(resultTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
     }},
    {IDM_MATCH_CASE, true, [](HWND, HWND, int) { toggleCheckMark(IDM_MATCH_CASE); }},
    {IDM_ALL_CATEGORIES, true, [](HWND, HWND, int) { toggleCheckMark(IDM_ALL_CATEGORIES); }},
    {IDM_EXIT, true, [](HWND, HWND, int) { PostQuitMessage(0); }},
};

void onCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    for (const Command& command : commands) {
        if (command.id == id && (command.anyCode || code == 0)) {
            command.run(window, reinterpret_cast<HWND>(lParam), code);
            return;
        }
    }
}

// A double-click on a hit of the result tree shows that joke; headings do nothing.
void onNotify(WPARAM wParam, const NMHDR* header) {
    if (wParam != IDC_RESULT_TREE || header->code != static_cast<UINT>(NM_DBLCLK)) {
        return;
    }
    auto item =
        reinterpret_cast<HTREEITEM>(SendMessageW(header->hwndFrom, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr) {
        return;
    }
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!SendMessageW(header->hwndFrom, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) ||
        data.lParam == ID_RESULT_HEADER) {
        return;
    }
    auto value = static_cast<std::uint32_t>(data.lParam);
    std::uint32_t category = value % 1000;
    showCategory(category);
    showJoke((value - category) / 1000);
}

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

void onPaint(HWND window) {
    // Loaded once and kept for the window's life, so repainting never leaks an icon.
    static OwnedIcon picture(static_cast<HICON>(
        LoadImageW(instanceOf(window), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 128, 128, 0)));
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    DrawIconEx(context, 10, 10, picture.get(), 128, 128, 0, nullptr, DI_NORMAL);
    EndPaint(window, &paint);
}

} // namespace

void showJoke(std::uint32_t n) {
    setText(jokeView, library.getJokeText(n));
    setStatusText(library.getStatusText());
    EnableWindow(solveButton, library.getHasSolution());
}

void showCategory(std::uint32_t n) {
    std::uint32_t k = library.selectCategory(n);
    SendMessageW(categoryCombo, CB_SETCURSEL, static_cast<WPARAM>(k) - 1, 0);
    setText(jokeView, library.getInfoText());
    setStatusText(library.getStatusText());
    setText(mainWindow, titleBase + L" - [" + library.getCategoryName(0) + L"]");
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        SendMessageW(statusBar, WM_SIZE, 0, 0);
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {700, 600};
        return 0;
    case WM_NOTIFY:
        onNotify(wParam, reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_COMMAND:
        onCommand(window, wParam, lParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
