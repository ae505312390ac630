// The end-to-end driver: process start and end, window queries, posted input, message boxes.
#include "driver.h"

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include <gtest/gtest.h>

namespace e2e {

namespace {
constexpr int resultTreeId = 315;
constexpr int aboutCommandId = 300;

double timeoutScale() {
    static const double scale = [] {
        const char* value = std::getenv("POINTEX_E2E_TIMEOUT_SCALE");
        double parsed = value ? std::atof(value) : 1.0;
        return parsed > 0 ? parsed : 1.0;
    }();
    return scale;
}

bool sameText(const std::wstring& a, const wchar_t* b) {
    return _wcsicmp(a.c_str(), b) == 0;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectProcessWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found.push_back(window);
    }
    return TRUE;
}

// Top-level windows of one process.
std::vector<HWND> topLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

DWORD scaled(DWORD milliseconds) {
    return static_cast<DWORD>(milliseconds * timeoutScale());
}

bool waitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    const DWORD limit = scaled(milliseconds);
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > limit) {
            return condition();
        }
        Sleep(1);
    }
}

std::wstring pointexPath() {
    std::wstring path;
    if (const wchar_t* fromEnvironment = _wgetenv(L"POINTEX_EXE"); fromEnvironment) {
        path = fromEnvironment;
    } else {
        const char* built = POINTEX_EXE;
        path.assign(built, built + std::strlen(built));
    }
    return windowsPath(path);
}

std::wstring windowsPath(std::wstring path) {
    // Wine maps the Unix root to drive Z:.
    if (!path.empty() && path[0] == L'/') {
        path = L"Z:" + path;
    }
    for (auto& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                        scaled(queryTimeout), &length)) {
        ADD_FAILURE() << "WM_GETTEXTLENGTH failed for window " << window;
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, scaled(queryTimeout), &copied);
    text.resize(copied);
    return text;
}

Pointex::~Pointex() {
    end();
    if (info.hProcess) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

bool Pointex::launch(const std::wstring& workingDirectory) {
    const std::wstring exe = pointexPath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed for " << testing::PrintToString(exe) << ", error "
                      << GetLastError();
        info = {};
        return false;
    }
    return true;
}

HWND Pointex::findMainWindow() const {
    for (HWND window : topLevelWindows(info.dwProcessId)) {
        if (sameText(className(window), L"Pointex") && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

bool Pointex::waitForMainWindow() {
    if (!waitFor([&] { return findMainWindow() != nullptr; }, 10000)) {
        return false;
    }
    main = findMainWindow();
    for (HWND child : childWindows(main)) {
        const std::wstring name = className(child);
        if (sameText(name, L"Edit") && (GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE)) {
            jokeArea = child;
        } else if (sameText(name, STATUSCLASSNAMEW)) {
            status = child;
        }
    }
    resultTree = GetDlgItem(main, resultTreeId);
    return jokeArea && status && resultTree;
}

bool Pointex::running() const {
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND Pointex::control(int id) const {
    return GetDlgItem(main, id);
}

LRESULT Pointex::query(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                             scaled(queryTimeout), &result)) {
        ADD_FAILURE() << "message 0x" << std::hex << message << " to window " << window
                      << " was not answered";
        return 0;
    }
    return static_cast<LRESULT>(result);
}

bool Pointex::post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || !PostMessageW(window, message, wParam, lParam)) {
        ADD_FAILURE() << "could not post message 0x" << std::hex << message << " to " << window;
        return false;
    }
    return true;
}

std::vector<std::wstring> Pointex::categoryItems() const {
    HWND list = control(301);
    std::vector<std::wstring> items;
    const auto count = query(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(query(list, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        item.resize(query(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&item[0])));
        items.push_back(item);
    }
    return items;
}

int Pointex::categorySelection() const {
    return static_cast<int>(query(control(301), CB_GETCURSEL, 0, 0));
}

bool Pointex::barrier() {
    // A posted "set" behind the commands, polled with its "get": once the value shows,
    // everything posted before it has been handled.
    barrierValue = barrierValue % 100 + 1;
    const WPARAM expected = barrierValue;
    if (!post(resultTree, TVM_SETSCROLLTIME, expected, 0)) {
        return false;
    }
    const bool passed = waitFor(
        [&] {
            DWORD_PTR value = 0;
            return SendMessageTimeoutW(resultTree, TVM_GETSCROLLTIME, 0, 0, SMTO_ABORTIFHUNG,
                                       scaled(queryTimeout), &value) &&
                   value == expected;
        },
        commandTimeout);
    if (!passed) {
        ADD_FAILURE() << "the program did not reach the barrier in time";
    }
    return passed;
}

bool Pointex::command(int id) {
    return post(main, WM_COMMAND, MAKEWPARAM(id, 0), 0) && barrier();
}

bool Pointex::click(int id) {
    if (!enabled(id)) {
        ADD_FAILURE() << "button " << id << " is disabled and cannot be clicked";
        return false;
    }
    return post(control(id), BM_CLICK, 0, 0) && barrier();
}

bool Pointex::chooseCategory(int position) {
    // The list sends no notification for CB_SETCURSEL; a user's choice sends CBN_SELCHANGE.
    HWND list = control(301);
    query(list, CB_SETCURSEL, position, 0);
    return post(main, WM_COMMAND, MAKEWPARAM(301, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list)) &&
           barrier();
}

bool Pointex::pressKey(int id, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), 0)) << 16;
    return post(control(id), WM_KEYDOWN, key, scan | 1) &&
           post(control(id), WM_KEYUP, key, scan | 0xC0000001) && barrier();
}

bool Pointex::type(int id, const std::wstring& characters) {
    HWND edit = control(id);
    const auto length = query(edit, WM_GETTEXTLENGTH, 0, 0);
    query(edit, EM_SETSEL, length, length);
    for (wchar_t c : characters) {
        if (!post(edit, WM_CHAR, c, 1)) {
            return false;
        }
    }
    return barrier();
}

bool Pointex::replaceText(int id, const std::wstring& characters) {
    HWND edit = control(id);
    query(edit, EM_SETSEL, 0, -1);
    // Typing over a selection replaces it; an empty replacement is a backspace.
    const std::wstring keys = characters.empty() ? std::wstring(1, L'\b') : characters;
    for (wchar_t c : keys) {
        if (!post(edit, WM_CHAR, c, 1)) {
            return false;
        }
    }
    return barrier();
}

bool Pointex::repaint() {
    // The window paints once the queue is empty; BeginPaint then clears the update region.
    if (!InvalidateRect(main, nullptr, FALSE)) {
        return false;
    }
    const bool painted =
        waitFor([&] { return !GetUpdateRect(main, nullptr, FALSE); }, commandTimeout);
    EXPECT_TRUE(painted) << "the main window did not paint";
    return painted;
}

std::vector<MessageBoxSeen> Pointex::messageBoxes() const {
    std::vector<MessageBoxSeen> boxes;
    for (HWND window : topLevelWindows(info.dwProcessId)) {
        if (className(window) != L"#32770" || !IsWindowVisible(window)) {
            continue;
        }
        MessageBoxSeen box;
        box.window = window;
        box.caption = windowText(window);
        // The message is the static that is not the icon.
        for (HWND child : childWindows(window)) {
            const auto style = GetWindowLongW(child, GWL_STYLE);
            if (sameText(className(child), L"Static") && (style & SS_TYPEMASK) != SS_ICON) {
                const std::wstring text = windowText(child);
                if (!text.empty()) {
                    box.text = text;
                }
            }
        }
        boxes.push_back(box);
    }
    return boxes;
}

MessageBoxSeen Pointex::waitForMessageBox() const {
    std::vector<MessageBoxSeen> boxes;
    if (!waitFor(
            [&] {
                boxes = messageBoxes();
                return !boxes.empty();
            },
            commandTimeout)) {
        ADD_FAILURE() << "no message box appeared";
        return {};
    }
    EXPECT_EQ(boxes.size(), 1u) << "more than one message box is open";
    return boxes.front();
}

bool Pointex::dismiss(const MessageBoxSeen& box) const {
    HWND ok = GetDlgItem(box.window, IDOK);
    if (!PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(ok))) {
        ADD_FAILURE() << "could not post OK to the message box";
        return false;
    }
    const bool gone = waitFor([&] { return !IsWindow(box.window); }, commandTimeout);
    EXPECT_TRUE(gone) << "the message box did not close";
    return gone;
}

DWORD Pointex::waitForExit(DWORD milliseconds) {
    if (!info.hProcess) {
        return STILL_ACTIVE;
    }
    WaitForSingleObject(info.hProcess, scaled(milliseconds));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

void Pointex::end() {
    if (!running()) {
        return;
    }
    for (const auto& box : messageBoxes()) {
        PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
    }
    if (HWND window = main ? main : findMainWindow(); window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (waitForExit(3000) == STILL_ACTIVE) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, scaled(3000));
    }
}

SIZE_T Pointex::privateBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters)) {
        ADD_FAILURE() << "GetProcessMemoryInfo failed: " << GetLastError();
        return 0;
    }
    return counters.PagefileUsage;
}

HWND Pointex::openAbout() {
    // The dialog is modal: the command is posted, then the dialog waited for.
    if (!post(main, WM_COMMAND, MAKEWPARAM(aboutCommandId, 0), 0)) {
        ADD_FAILURE() << "could not post the About command";
        return nullptr;
    }
    HWND dialog = nullptr;
    waitFor(
        [&] {
            const auto windows = messageBoxes();
            dialog = windows.size() == 1 ? windows.front().window : nullptr;
            return dialog != nullptr;
        },
        commandTimeout);
    EXPECT_NE(dialog, nullptr) << "the About dialog did not appear";
    return dialog;
}

} // namespace e2e
