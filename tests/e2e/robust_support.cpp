// Helpers of the robustness and leak tests: locks held by the test, searches, hits, pixels.
#include "robust_support.h"

FileLock::FileLock(const std::wstring& path)
    : handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle, INVALID_HANDLE_VALUE)
        << "could not lock " << testing::PrintToString(path) << ", error " << GetLastError();
}

void FileLock::release() {
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
}

std::wstring searchFor(e2e::Pointex& app, const std::wstring& text) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(app.control(309), WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                    e2e::scaled(e2e::queryTimeout), &result));
    const std::wstring held = app.text(309);
    EXPECT_TRUE(app.click(310));
    return held;
}

long slowClick(e2e::Pointex& app, int id, DWORD milliseconds) {
    // The driver's barrier with a longer patience: a posted "set" behind the click, polled
    // with its "get" that a busy program leaves unanswered until the click is done. The tree
    // keeps values up to 100, so the value is the one after the tree's current one.
    HWND tree = app.control(315);
    DWORD_PTR current = 0;
    SendMessageTimeoutW(tree, TVM_GETSCROLLTIME, 0, 0, SMTO_ABORTIFHUNG,
                        e2e::scaled(e2e::queryTimeout), &current);
    const WPARAM value = current % 100 + 1;
    const DWORD start = GetTickCount();
    if (!PostMessageW(app.control(id), BM_CLICK, 0, 0) ||
        !PostMessageW(tree, TVM_SETSCROLLTIME, value, 0)) {
        ADD_FAILURE() << "could not post the click on " << id;
        return -1;
    }
    const bool answered = e2e::waitFor(
        [&] {
            DWORD_PTR seen = 0;
            return SendMessageTimeoutW(tree, TVM_GETSCROLLTIME, 0, 0, SMTO_ABORTIFHUNG, 200,
                                       &seen) &&
                   seen == value;
        },
        milliseconds);
    return answered ? static_cast<long>(GetTickCount() - start) : -1;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> newestHits(const e2e::Pointex& app) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> hits;
    const auto roots = app.tree();
    if (roots.empty()) {
        ADD_FAILURE() << "the result tree is empty";
        return hits;
    }
    for (const auto& category : roots.back().children) {
        for (const auto& hit : category.children) {
            const auto value = static_cast<std::uint32_t>(hit.value);
            hits.emplace_back(value % 1000, value / 1000);
        }
    }
    return hits;
}

COLORREF clientPixel(const e2e::Pointex& app, int x, int y) {
    // Under Wine a window context of another process reads the pixels that process drew
    // (seen to give the same colours as GetPixel run on a thread inside the program).
    HDC context = GetDC(app.mainWindow());
    if (!context) {
        ADD_FAILURE() << "GetDC failed for the main window";
        return CLR_INVALID;
    }
    const COLORREF colour = GetPixel(context, x, y);
    ReleaseDC(app.mainWindow(), context);
    return colour;
}
