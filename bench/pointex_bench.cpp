// The benchmark's command line over the core: construct the library, search it, or read the
// last joke of its largest category, each printing a short result.
#include <cstdio>
#include <cstring>
#include <string>

#include "library/joke_library.h"

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

int main(int argc, char** argv) {
    const char* job = argc > 1 ? argv[1] : "";
    if (std::strcmp(job, "count") == 0 && argc == 2) {
        JokeLibrary library;
        return count(library);
    }
    bool caseSensitive = argc == 4 && std::strcmp(argv[3], "--case") == 0;
    if (std::strcmp(job, "search") == 0 && (argc == 3 || caseSensitive)) {
        JokeLibrary library;
        return search(library, argv[2], caseSensitive);
    }
    if (std::strcmp(job, "last") == 0 && argc == 2) {
        JokeLibrary library;
        return last(library);
    }
    std::fprintf(stderr, "usage: pointex_bench count | search TEXT [--case] | last\n"
                         "Works on the folder Witze in the working directory.\n");
    return 2;
}
