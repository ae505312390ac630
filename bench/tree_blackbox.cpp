// Times the real Pointex.exe putting many hits into its result tree, driven from outside: from
// an empty tree a search, then the same search again onto the first group, then clearing the
// tree. Prints one line per figure (median, then every run) and the items each search added.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/e2e/driver.h"
#include "../resources/resource.h"
#include "blackbox_timing.h"

namespace {

// The number of items in the result tree, or -1 when the program does not answer.
long treeCount(const e2e::Pointex& app) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(app.control(IDC_RESULT_TREE), TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG,
                             e2e::scaled(e2e::queryTimeout), &count)) {
        return -1;
    }
    return static_cast<long>(count);
}

// Clicks the search button and adds its time and the items it added.
bool timedSearch(e2e::Pointex& app, std::vector<double>& times, long& added) {
    long before = treeCount(app);
    double start = now();
    if (!app.click(310)) {
        return false;
    }
    times.push_back(now() - start);
    added = treeCount(app) - before;
    return before >= 0 && added > 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tree_blackbox FOLDER TEXT RUNS\n"
                             "FOLDER holds a folder Witze; POINTEX_EXE names the program.\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring text = argv[2];
    const int runs = std::max(1, _wtoi(argv[3]));

    e2e::Pointex app;
    if (!app.launch(folder) || !app.waitForMainWindow() || !app.replaceText(309, text)) {
        std::fprintf(stderr, "tree_blackbox: Pointex did not start\n");
        return 1;
    }
    std::vector<double> first;
    std::vector<double> second;
    std::vector<double> clear;
    long added = 0;
    for (int i = 0; i < runs; ++i) {
        if (!timedSearch(app, first, added) || !timedSearch(app, second, added)) {
            std::fprintf(stderr, "tree_blackbox: a search added no items\n");
            return 1;
        }
        double start = now();
        if (!app.command(311) || treeCount(app) != 0) {
            std::fprintf(stderr, "tree_blackbox: the tree was not cleared\n");
            return 1;
        }
        clear.push_back(now() - start);
    }
    report("search-first", first);
    report("search-second", second);
    report("clear", clear);
    std::printf("items-per-search\t%ld\n", added);
    app.end();
    return 0;
}
