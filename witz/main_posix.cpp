// witz's entry on POSIX systems: the arguments as UTF-8, decoded like file names.
#include <string>
#include <vector>

#include "library/platform_posix.h"
#include "console.h"
#include "witz.h"

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(platform::decodeName(argv[i]));
    }
    int status = runWitz(args);
    host::flush();
    return status;
}
