// The benchmark's command line over the core: construct the library, search it, read the
// last joke of its largest category, or only read every file, each printing a short result.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "library/joke_library.h"
#include "library/platform.h"
#include "peak_memory.h"

namespace {

// Characters up to U+00FF as one byte each, the way the joke files hold them.
std::string bytes(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(static_cast<unsigned char>(c));
    }
    return out;
}

std::wstring characters(const char* text) {
    std::wstring out;
    for (const char* p = text; *p != 0; ++p) {
        out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return out;
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The floor of every job: each file of the joke folder read once through the same text-mode
// blocks as the library reads them, the bytes left untouched.
int readOnly() {
    const std::wstring folder =
        platform::currentDirectory() + platform::pathSeparator + L"Witze" + platform::pathSeparator;
    std::vector<platform::FolderEntry> entries;
    if (!platform::listFolder(folder + L"*", entries)) {
        return 1;
    }
    constexpr std::size_t blockSize = 128 * 1024;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[blockSize]);
    unsigned long long total = 0;
    unsigned files = 0;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isDirectory) {
            continue;
        }
        std::unique_ptr<platform::TextFile> file(platform::openTextFile(folder + entry.name));
        if (!file) {
            continue;
        }
        while (std::size_t got = file->read(buffer.get(), blockSize)) {
            total += got;
        }
        ++files;
    }
    std::printf("%u files, %llu bytes\n", files, total);
    return 0;
}

int count(JokeLibrary& library) {
    std::printf("%u categories, %u jokes\n", library.getCategoryCount(), library.totalJokes);
    return library.getCategoryCount() > 0 ? 0 : 1;
}

int search(JokeLibrary& library, const char* text, bool caseSensitive) {
    std::printf("%u\n", library.search(characters(text), true, caseSensitive));
    return 0;
}

int last(JokeLibrary& library) {
    std::uint32_t largest = 0;
    for (std::uint32_t n = 1; n <= library.getCategoryCount(); ++n) {
        if (largest == 0 || library.getJokeCount(n) > library.getJokeCount(largest)) {
            largest = n;
        }
    }
    if (largest == 0) {
        return 1;
    }
    library.selectCategory(largest);
    std::uint32_t joke = library.getJokeCount(0);
    std::string text = bytes(library.getJokeText(joke));
    std::printf("%s %u: %zu bytes\n%s\n", bytes(library.getCategoryName(0)).c_str(), joke,
                text.size(), text.c_str());
    return 0;
}

} // namespace

// Runs one job; with --time, reports to standard error the milliseconds spent constructing
// the library and in the job itself (from inside the process, so that an emulator's start is
// not part of them) and the peak memory.
int main(int argc, char** argv) {
    bool timed = argc > 1 && std::strcmp(argv[argc - 1], "--time") == 0;
    if (timed) {
        --argc;
    }
    const char* job = argc > 1 ? argv[1] : "";
    bool caseSensitive = argc == 4 && std::strcmp(argv[3], "--case") == 0;
    bool known = (std::strcmp(job, "read") == 0 && argc == 2) ||
                 (std::strcmp(job, "count") == 0 && argc == 2) ||
                 (std::strcmp(job, "search") == 0 && (argc == 3 || caseSensitive)) ||
                 (std::strcmp(job, "last") == 0 && argc == 2);
    if (!known) {
        std::fprintf(stderr, "usage: pointex_bench (read | count | search TEXT [--case] | last) "
                             "[--time]\nWorks on the folder Witze in the working directory.\n");
        return 2;
    }
    Clock::time_point start = Clock::now();
    double constructing = 0;
    int status = 0;
    if (job[0] == 'r') {
        status = readOnly();
    } else {
        JokeLibrary library;
        constructing = millisecondsSince(start);
        if (job[0] == 'c') {
            status = count(library);
        } else if (job[0] == 's') {
            status = search(library, argv[2], caseSensitive);
        } else {
            status = last(library);
        }
    }
    double total = millisecondsSince(start);
    if (timed) {
        std::fflush(stdout);
        std::fprintf(stderr, "construct %.2f ms, job %.2f ms, total %.2f ms, peak %.0f KB\n",
                     constructing, total - constructing, total, peakMemoryBytes() / 1024.0);
    }
    return status;
}
