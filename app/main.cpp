// The program's globals, in the order they must be built, and its entry point.
#include "app.h"

#include "library/joke_reader.h"
#include "library/platform.h"
#include "resources/version.h"

WNDPROC oldSearchFieldProc = nullptr;
HWND resultTree = nullptr;
HWND statusBar = nullptr;
HWND solveButton = nullptr;
HWND searchButton = nullptr;
HWND searchField = nullptr;
HWND jokeView = nullptr;
HWND categoryCombo = nullptr;
HWND mainWindow = nullptr;
HMENU menuBar = nullptr;

std::wstring composeVersionText() {
    return intToString(POINTEX_VERSION_MAJOR) + L"." + intToString(POINTEX_VERSION_MINOR) +
           intToString(POINTEX_VERSION_PATCH);
}

// Built in this order before wWinMain runs: the library lists and counts the joke folder, so a
// file it cannot open is reported before any window exists.
std::wstring versionText = composeVersionText();
std::wstring titleBase = L"Pointex " + versionText;
JokeLibrary library;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    platform::seedRandom((now.wSecond * now.wMilliseconds) / 2);

    registerMainWindowClass(instance);
    if (!createMainWindow(instance, showCommand)) {
        return 0;
    }
    MSG message;
    // -1 is an error, not a message: it ends the loop instead of spinning on it.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}
