// witz's entry on Windows: the arguments as UTF-16, built with -municode. Started from Explorer,
// by a double-click or with files dropped on it, witz waits for Enter before its window closes.
#include <string>
#include <vector>

#include "dropped.h"
#include "console.h"
#include "witz.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    bool dropped = isDrop(args);
    int status = dropped ? importDropped(args, host::programPath()) : runWitz(args);
    // A console of its own closes with witz, before anyone could read it; in cmd it stays.
    if ((dropped || args.empty()) && host::ownsConsole()) {
        say(L"\nWeiter mit der Eingabetaste.");
        host::flush();
        host::waitForEnter();
    }
    host::flush();
    return status;
}
