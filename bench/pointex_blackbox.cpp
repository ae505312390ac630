// Times the real Pointex.exe as a user meets it, driven from outside as the end-to-end tests
// drive it: the start until the window shows its counts, a search in all categories in both
// modes, and the last joke of the largest category by number. Prints one line per figure.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/e2e/driver.h"
#include "blackbox_timing.h"

namespace {

// From CreateProcess until the window's status bar shows the joke and category totals.
bool startUntilCounts(const std::wstring& folder, double& elapsed) {
    e2e::Pointex app;
    double start = now();
    if (!app.launch(folder) || !app.waitForMainWindow() ||
        !e2e::waitFor([&] { return app.statusPart(1).find(L" Witze in ") != std::wstring::npos; },
                      60000)) {
        return false;
    }
    elapsed = now() - start;
    app.end();
    return true;
}

// The list position of the category with the most jokes ("Name  (count)" items).
int largestCategory(const e2e::Pointex& app, unsigned long& jokes) {
    int best = -1;
    jokes = 0;
    std::vector<std::wstring> items = app.categoryItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::size_t open = items[i].rfind(L'(');
        unsigned long count =
            open == std::wstring::npos ? 0 : std::wcstoul(&items[i][open + 1], nullptr, 10);
        if (count > jokes) {
            jokes = count;
            best = static_cast<int>(i);
        }
    }
    return best;
}

double peakWorkingSetMegabytes(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    bool ok = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process) {
        CloseHandle(process);
    }
    return ok ? static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0) : 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: pointex_blackbox FOLDER EMPTY_FOLDER TEXT RUNS\n"
                             "FOLDER and EMPTY_FOLDER hold a folder Witze; POINTEX_EXE names the "
                             "program.\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring empty = argv[2];
    const std::wstring text = argv[3];
    const int runs = std::max(1, _wtoi(argv[4]));

    std::vector<double> full;
    std::vector<double> bare;
    for (int i = 0; i < runs; ++i) {
        double a = 0;
        double b = 0;
        if (!startUntilCounts(folder, a) || !startUntilCounts(empty, b)) {
            std::fprintf(stderr, "pointex_blackbox: the window did not show its counts\n");
            return 1;
        }
        full.push_back(a);
        bare.push_back(b);
    }
    report("start", full);
    report("start-empty", bare);

    e2e::Pointex app;
    if (!app.launch(folder) || !app.waitForMainWindow()) {
        std::fprintf(stderr, "pointex_blackbox: Pointex did not start\n");
        return 1;
    }
    // Case ignored first (the program starts so), then case kept; the tree is emptied between
    // runs (command 311) so that every search appends to an empty tree.
    const char* names[] = {"search-i", "search"};
    for (const char* name : names) {
        if (name != names[0] && !app.command(313)) {
            return 1;
        }
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            if (!app.command(311) || !app.replaceText(309, text)) {
                return 1;
            }
            double start = now();
            if (!app.click(310)) {
                return 1;
            }
            times.push_back(now() - start);
        }
        report(name, times);
    }

    // The number typed digit by digit shows a joke at each digit; only the last digit, which
    // reads the whole file up to the last line, is timed.
    unsigned long jokes = 0;
    int largest = largestCategory(app, jokes);
    if (largest < 0 || !app.chooseCategory(largest)) {
        return 1;
    }
    const std::wstring number = std::to_wstring(jokes);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (!app.replaceText(302, number.substr(0, number.size() - 1))) {
            return 1;
        }
        double start = now();
        if (!app.type(302, number.substr(number.size() - 1))) {
            return 1;
        }
        times.push_back(now() - start);
    }
    report("last", times);
    std::printf("last-joke\t%lu\n", jokes);
    std::printf("peak-mb\t%.1f\n", peakWorkingSetMegabytes(app.processId()));
    app.end();
    return 0;
}
