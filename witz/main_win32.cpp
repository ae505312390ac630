// witz's entry on Windows: the arguments as UTF-16, built with -municode.
#include <string>
#include <vector>

#include "system.h"
#include "witz.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    int status = runWitz(args);
    host::flush();
    return status;
}
