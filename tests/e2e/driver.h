// The end-to-end driver: starts Pointex.exe and reads and drives its windows from outside.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Unscaled limits: a query a healthy program answers at once, a command with its effects.
constexpr DWORD queryTimeout = 5000;
constexpr DWORD commandTimeout = 3000;

// Milliseconds, multiplied by POINTEX_E2E_TIMEOUT_SCALE (default 1) for slow machines.
DWORD scaled(DWORD milliseconds);
// Polls condition every few milliseconds until it holds or the scaled timeout has passed.
bool waitFor(const std::function<bool()>& condition, DWORD milliseconds);

// The program under test: POINTEX_EXE from the environment, else the path built into the driver.
std::wstring pointexPath();
// A path as Windows takes it: a Unix path (from the build or the environment) on Wine's drive Z:,
// backslashes throughout.
std::wstring windowsPath(std::wstring path);

std::wstring className(HWND window);
// The text of any window, also a child control of another process (WM_GETTEXT).
std::wstring windowText(HWND window);

struct TreeItem {
    HTREEITEM handle = nullptr;
    std::wstring text;
    LPARAM value = 0;
    std::vector<TreeItem> children;
};

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

// A block of memory inside the target, for messages whose pointers Wine does not copy.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, SIZE_T size, DWORD protection = PAGE_READWRITE);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* address() const { return base; }
    bool write(const void* data, SIZE_T size, SIZE_T offset = 0);
    bool read(void* data, SIZE_T size, SIZE_T offset = 0) const;

  private:
    HANDLE process;
    void* base;
};

// One running Pointex process. Ends it on destruction if the test has not.
class Pointex {
  public:
    Pointex() = default;
    ~Pointex();
    Pointex(const Pointex&) = delete;
    Pointex& operator=(const Pointex&) = delete;

    // Starts the program in workingDirectory; false when CreateProcessW fails.
    bool launch(const std::wstring& workingDirectory);
    // Waits for the visible main window and finds its controls.
    bool waitForMainWindow();
    // The visible main window of the process, or null (no waiting).
    HWND findMainWindow() const;
    bool running() const;
    DWORD processId() const { return info.dwProcessId; }

    HWND mainWindow() const { return main; }
    HWND control(int id) const;
    HWND jokeView() const { return jokeArea; }
    HWND statusBar() const { return status; }

    std::wstring title() const { return windowText(main); }
    std::wstring text(int id) const { return windowText(control(id)); }
    std::wstring jokeText() const { return windowText(jokeArea); }
    std::wstring statusPart(int part) const;
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }

    std::vector<std::wstring> categoryItems() const;
    int categorySelection() const;
    std::vector<TreeItem> tree() const;
    // GetMenuState(GetMenu(main), id, MF_BYCOMMAND), run on a thread inside the target.
    UINT menuState(UINT id) const;

    // User actions. All are posted, so a modal box they open cannot block the driver;
    // each waits for the barrier afterwards, so their effects are visible on return.
    bool command(int id);
    bool click(int id);
    bool chooseCategory(int position);
    bool pressKey(int id, WPARAM key);
    bool type(int id, const std::wstring& characters);
    bool replaceText(int id, const std::wstring& characters);
    bool doubleClick(const TreeItem& item);
    // Opens the About dialog from the menu and waits for it; null (and a failure) if none.
    HWND openAbout();
    // Invalidates the main window, which makes it paint once.
    bool repaint();

    // Returns once every message posted before has been handled (also inside a modal loop).
    bool barrier();

    std::vector<MessageBoxSeen> messageBoxes() const;
    // Waits for exactly one visible box of the process and returns it (window null on timeout).
    MessageBoxSeen waitForMessageBox() const;
    bool dismiss(const MessageBoxSeen& box) const;

    // Waits for the process to end; its exit code, or STILL_ACTIVE after the timeout.
    DWORD waitForExit(DWORD milliseconds = 10000);
    // Ends the process if it still runs: WM_CLOSE first, TerminateProcess as the last resort.
    void end();
    SIZE_T privateBytes() const;

  private:
    LRESULT query(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void readChildren(HTREEITEM parent, std::vector<TreeItem>& into, RemoteMemory& memory) const;

    PROCESS_INFORMATION info{};
    HWND main = nullptr;
    HWND jokeArea = nullptr;
    HWND status = nullptr;
    HWND resultTree = nullptr;
    WPARAM barrierValue = 1;
};

} // namespace e2e
