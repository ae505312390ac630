// The fuzz targets' joke folder (in memory, or on disk), size modes and reference reading.
#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "byte_scan.h"
#include "memory_files.h"
#include "platform.h"

namespace fuzz {

namespace {
const std::wstring memoryRoot = L"/pointex-fuzz";
std::filesystem::path root;
std::filesystem::path previous;
std::vector<std::wstring> boxes;

int recordBox(const std::wstring& text, const std::wstring&, unsigned) {
    boxes.push_back(text);
    return 1;
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

MemoryFileSystem& memoryFiles() {
    static MemoryFileSystem files(memoryRoot);
    return files;
}

void removeRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string visible(const std::wstring& text) {
    std::string shown;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '<') {
            shown += static_cast<char>(c);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "<%02X>", static_cast<unsigned>(c));
            shown += code;
        }
    }
    return shown;
}
} // namespace

InWorkingDirectory::InWorkingDirectory() {
    if (!realFiles()) {
        memoryFiles();
        platform::messageBox = recordBox;
        openFiles = MemoryFileSystem::openFiles();
        return;
    }
    previous = std::filesystem::current_path();
    if (root.empty()) {
        char pattern[] = "/tmp/pointex-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        root = pattern;
        std::filesystem::create_directory(root / "Witze");
        std::atexit(removeRoot);
        platform::messageBox = recordBox;
    }
    std::filesystem::current_path(root);
    openFiles = openDescriptors();
}

void InWorkingDirectory::expectFilesClosed() const {
    expectEqual("open files", openFiles,
                realFiles() ? openDescriptors() : MemoryFileSystem::openFiles());
}

// The memory files go with the input that wrote them: left for the next input to free, they made
// inputs that write more than the one before look like leaks to libFuzzer, which then ran each
// such input again, and then LeakSanitizer's whole-heap scan.
InWorkingDirectory::~InWorkingDirectory() {
    if (realFiles()) {
        std::filesystem::current_path(previous);
    } else {
        memoryFiles().removeAll();
    }
}

// POINTEX_FUZZ_REAL_FILES=1 puts the joke folder on disk, so that the system's side of the
// seam is fuzzed too.
bool realFiles() {
    static const bool real = [] {
        const char* value = std::getenv("POINTEX_FUZZ_REAL_FILES");
        return value != nullptr && *value != '\0' && std::string(value) != "0";
    }();
    return real;
}

std::wstring jokeFolder() {
    return realFiles() ? (root / "Witze").wstring() : memoryRoot + L"/Witze";
}

void clearJokeFolder() {
    if (!realFiles()) {
        memoryFiles().removeAll();
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(root / "Witze")) {
        std::filesystem::remove(entry.path());
    }
}

void writeJokeFile(const std::string& name, Bytes bytes) {
    if (!realFiles()) {
        memoryFiles().writeFile(jokeFolder() + L"/" + widen(name), std::move(bytes));
        return;
    }
    std::ofstream out(root / "Witze" / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) {
        std::fprintf(stderr, "cannot write the joke file %s\n", name.c_str());
        std::abort();
    }
}

std::vector<std::wstring> takeMessageBoxes() {
    std::vector<std::wstring> taken;
    taken.swap(boxes);
    return taken;
}

Bytes expand(unsigned mode, std::size_t offset, const Bytes& filler, const Bytes& data) {
    switch (mode % 16) {
    case 1:
    case 3: {
        std::size_t length = (mode % 16 == 1 ? 1 : 2) * blockSize - 1 - offset % 256;
        return repeat(filler.empty() ? "x" : filler, length, data);
    }
    case 2:
        if (data.empty()) {
            return data;
        }
        return repeat(data, (2 * blockSize + blockSize / 2 + data.size() - 1) / data.size() *
                                data.size());
    default:
        return data;
    }
}

Bytes repeat(const Bytes& pattern, std::size_t length, const Bytes& then) {
    Bytes bytes(length + then.size(), '\0');
    for (std::size_t i = 0; i < length; i += pattern.size()) {
        std::copy_n(pattern.begin(), std::min(pattern.size(), length - i), bytes.begin() + i);
    }
    std::copy(then.begin(), then.end(), bytes.begin() + length);
    return bytes;
}

// Written into a string of the full size and cut at the end: appending byte by byte calls into
// the library for every byte, most of a search input's reference time.
Bytes textMode(const Bytes& raw, std::vector<std::size_t>* atBoundaries) {
    Bytes text(raw.size(), '\0');
    std::size_t length = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (atBoundaries != nullptr && i > 0 && i % blockSize == 0) {
            atBoundaries->push_back(length);
        }
        if (raw[i] == '\x1A') {
            break;
        }
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue;
        }
        text[length++] = raw[i];
    }
    text.resize(length);
    return text;
}

std::vector<Bytes> split(const Bytes& text, char separator) {
    std::vector<Bytes> pieces(1);
    for (char c : text) {
        if (c == separator) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

std::wstring widen(const Bytes& bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    }
    return text;
}

Bytes crlfFor(const Bytes& text, char from) {
    Bytes result;
    for (char c : text) {
        result += c == from ? Bytes("\r\n") : Bytes(1, c);
    }
    return result;
}

void fail(const std::string& what, const std::wstring& expected, const std::wstring& actual) {
    // Shows both texts from a little before the first difference.
    std::size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first]) {
        ++first;
    }
    std::size_t from = first > 40 ? first - 40 : 0;
    std::string shownExpected = visible(expected.substr(from, 300));
    std::string shownActual = visible(actual.substr(from, 300));
    std::fprintf(stderr,
                 "MISMATCH: %s (%s byte loops)\n  first difference at %zu; shown from %zu\n"
                 "  expected (%zu): %s\n  actual   (%zu): %s\n",
                 what.c_str(), scanLoops() == ScanLoops::sse2 ? "SSE2" : "plain", first, from,
                 expected.size(), shownExpected.c_str(), actual.size(), shownActual.c_str());
    // libFuzzer writes the crashing input relative to the working directory; abort skips the
    // removal at exit.
    if (realFiles()) {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        removeRoot();
    }
    std::abort();
}

void expectEqual(const std::string& what, const std::wstring& expected,
                 const std::wstring& actual) {
    if (expected != actual) {
        fail(what, expected, actual);
    }
}

void expectEqual(const std::string& what, std::size_t expected, std::size_t actual) {
    if (expected != actual) {
        fail(what, std::to_wstring(expected), std::to_wstring(actual));
    }
}

} // namespace fuzz
